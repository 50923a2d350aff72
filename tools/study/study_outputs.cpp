#include "tools/study/study_outputs.h"

#include <filesystem>

#include "model/reader_text.h"
#include "protocol/protocol_toml.h"
#include "study/analysis_script.h"
#include "study/csv_columns.h"
#include "study/study_csv.h"
#include "workbook/study_workbook.h"

namespace sinkview {

namespace {

bool Stopped(const StudyOutputsRequest& request) { return request.stop && *request.stop; }

Expected<void, Failure> AddText(FileSet& set, const OutputFolder& folder, std::string_view name,
                                std::string_view text) {
  auto file = AtomicFile::Open(folder, name);
  if (!file) return Unexpected(file.error());
  file->Write(text);
  set.Add(std::move(*file));
  return {};
}

// model.csv and model_fit.csv as R wrote them; without a fit, those of an
// earlier run go when the set is put in place.
Expected<void, Failure> AddModelFiles(FileSet& set, const FittedModel* model, const OutputFolder& folder) {
  if (!model) {
    for (std::string_view name : {kModelCsv, kModelFitCsv}) set.Remove(folder, std::string(name));
    return {};
  }
  if (auto added = AddText(set, folder, kModelCsv, model->modelCsv); !added) return added;
  return AddText(set, folder, kModelFitCsv, model->modelFitCsv);
}

} // namespace

std::vector<NamedOutput> StudyOutputPaths(const StudyOutputsRequest& request) {
  std::vector<std::string_view> inFolder;
  for (const CsvFileColumns& csv : StudyCsvColumns()) inFolder.push_back(csv.file); // model.csv among them
  if (!request.protocolFile.empty()) inFolder.push_back(kProtocolUsedFileName);
  inFolder.push_back(kAnalysisScript);
  std::vector<NamedOutput> outputs;
  for (std::string_view name : inFolder)
    outputs.push_back({"--output-dir", (std::filesystem::path(request.outputDir) / name).native()});
  outputs.push_back({"--figure", request.figureFile});
  outputs.push_back({"--model-figure", request.modelFigureFile});
  outputs.push_back({"--report", request.reportFile});
  outputs.push_back({"--workbook", request.workbookFile});
  outputs.push_back({"--bland-altman", request.blandAltmanFile});
  return outputs;
}

Expected<PendingWorkbook, Failure> StudyWorkbookOfSet(const FileSet& set, const std::string& path,
                                                      const StudyOptions& options, const std::string& program,
                                                      CalendarDate runDate) {
  std::vector<RunFile> written;
  for (const AtomicFile& file : set.Files()) written.push_back({file.Path(), file.ReadBackPath()});
  return StudyWorkbookInTemporary(path, written, options, program, runDate);
}

Expected<std::vector<std::string>, Failure> AddStudyOutputs(FileSet& set, const StudyOutputsRequest& request,
                                                            const StudyResult& result,
                                                            const StudyOptions& options,
                                                            const OutputFolder& folder) {
  if (auto added = AddStudyCsvFiles(set, result, folder); !added) return Unexpected(added.error());
  if (!request.protocolFile.empty()) {
    if (auto added = AddText(set, folder, kProtocolUsedFileName,
                             ProtocolToml(options.protocol, SINKVIEW_VERSION, request.runDate));
        !added)
      return Unexpected(added.error());
  }
  // analysis.R beside the CSV files it reads, and what it made of them.
  if (auto added = AddText(set, folder, kAnalysisScript, AnalysisScriptText()); !added)
    return Unexpected(added.error());
  if (auto added = AddModelFiles(set, request.model, folder); !added) return Unexpected(added.error());
  if (!request.figureFile.empty() && !Stopped(request)) {
    if (auto added = set.Add(CohortFigureInTemporary(request.figureFile, result, request.figureWidthMm));
        !added)
      return Unexpected(added.error());
  }
  std::vector<std::string> notes;
  // Without R's fit the other files stand; the figure of its means is told missing.
  if (!request.modelFigureFile.empty() && !request.model)
    notes.push_back(ShownFileName(request.modelFigureFile) + ": not drawn, since the model was not fitted");
  if (!request.modelFigureFile.empty() && request.model && !Stopped(request)) {
    if (auto added = set.Add(ModelFigureInTemporary(request.modelFigureFile, result, &request.model->results,
                                                    request.figureWidthMm));
        !added)
      return Unexpected(added.error());
  }
  if (!request.blandAltmanFile.empty() && !Stopped(request)) {
    if (auto added =
            set.Add(BlandAltmanFigureInTemporary(request.blandAltmanFile, result, request.figureWidthMm));
        !added)
      return Unexpected(added.error());
  }
  if (!request.reportFile.empty() && !Stopped(request)) {
    const ModelResults* model = request.model ? &request.model->results : nullptr;
    if (auto added =
            set.Add(StudyReportInTemporary(request.reportFile, result, options, model, request.stop));
        !added)
      return Unexpected(added.error());
  }
  if (!request.workbookFile.empty() && !Stopped(request)) {
    auto workbook = StudyWorkbookOfSet(set, request.workbookFile, options, request.program, request.runDate);
    if (!workbook) return Unexpected(workbook.error());
    for (const std::string& note : workbook->notes)
      notes.push_back(ShownFileName(request.workbookFile) + ": " + note);
    set.Add(std::move(workbook->file));
  }
  return notes;
}

} // namespace sinkview
