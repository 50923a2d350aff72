#include "studyrun/study_outputs.h"

#include <filesystem>

#include "base/reader_text.h"
#include "protocol/protocol_toml.h"
#include "provenance/provenance_files.h"
#include "study/analysis_script.h"
#include "study/csv_columns.h"
#include "study/study_csv.h"
#include "survival/survival_files.h"
#include "survival/survival_script.h"
#include "workbook/study_workbook.h"
#include "writeup/methods_text.h"
#include "writeup/results_text.h"
#include "writeup/writeup_files.h"

namespace sinkview {

namespace {

bool Stopped(const StudyOutputsRequest& request) { return request.stop && *request.stop; }

Expected<void, Failure> AddText(FileSet& set, const OutputFolder& folder, std::string_view name,
                                std::string_view text) {
  return AddTextFiles(set, folder, {{name, std::string(text)}});
}

// The model's files as R wrote them, when it did.
Expected<void, Failure> AddModelFiles(FileSet& set, const FittedModel* model, const OutputFolder& folder) {
  if (!model) return {};
  for (auto [name, text] : {std::pair{kModelCsv, &model->modelCsv},
                            {kModelFitCsv, &model->modelFitCsv},
                            {kModelTestsCsv, &model->modelTestsCsv},
                            {kRSoftwareCsv, &model->rSoftwareCsv}})
    if (auto added = AddText(set, folder, name, *text); !added) return added;
  return {};
}

} // namespace

std::vector<std::string> StudyFolderNames() {
  std::vector<std::string> names;
  for (const CsvFileColumns& csv : StudyCsvColumns()) names.emplace_back(csv.file); // model.csv among them
  names.emplace_back(kProtocolUsedFileName);
  names.emplace_back(kAnalysisScript);
  names.emplace_back(kSurvivalScript);
  names.emplace_back(kMethodsMd);
  names.emplace_back(kResultsMd);
  return names;
}

std::vector<NamedOutput> StudyOutputPaths(const StudyOutputsRequest& request) {
  std::vector<NamedOutput> outputs;
  for (const std::string& name : StudyFolderNames())
    outputs.push_back({"--output-dir", (std::filesystem::path(request.outputDir) / name).native()});
  outputs.push_back({"--figure", request.figureFile.Path()});
  outputs.push_back({"--model-figure", request.modelFigureFile.Path()});
  outputs.push_back({"--survival-figure", request.survivalFigureFile.Path()});
  outputs.push_back({"--report", request.reportFile.Path()});
  outputs.push_back({"--workbook", request.workbookFile.Path()});
  outputs.push_back({"--bland-altman", request.blandAltmanFile.Path()});
  return outputs;
}

Expected<void, Failure> OpenOutputFolders(StudyOutputsRequest& request) {
  for (OutputFile* file : {&request.figureFile, &request.modelFigureFile, &request.survivalFigureFile,
                           &request.reportFile, &request.workbookFile, &request.blandAltmanFile}) {
    if (file->Empty()) continue;
    if (auto opened = file->OpenFolder(); !opened) return opened;
  }
  return {};
}

Expected<PendingWorkbook, Failure> StudyWorkbookOfSet(const FileSet& set, const OutputFile& target,
                                                      const StudyOptions& options, const std::string& program,
                                                      CalendarDate runDate) {
  std::vector<RunFile> written;
  for (const AtomicFile& file : set.Files()) written.push_back({file.Path(), file.ReadBackPath()});
  return StudyWorkbookInTemporary(target, written, options, program, runDate);
}

Expected<std::vector<std::string>, Failure> AddStudyOutputs(FileSet& set, const StudyOutputsRequest& request,
                                                            const StudyResult& result,
                                                            const StudyOptions& options,
                                                            const OutputFolder& folder) {
  // An earlier run's files this one does not write (its model, precision,
  // protocol) go when the set is put in place.
  set.Claim(folder, StudyFolderNames());
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
  if (auto added = AddSurvivalFiles(set, result, request.survival, folder); !added)
    return Unexpected(added.error());
  const auto provenance = AddProvenanceFiles(
      set, folder, result, request.protocolFile, request.model ? request.model->rSoftwareCsv : std::string(),
      request.survival ? request.survival->softwareCsv : std::string());
  if (!provenance) return Unexpected(provenance.error());
  const ModelResults* fitted = request.model ? &request.model->results : nullptr;
  if (auto added = AddWriteupFiles(set, folder,
                                   {result, fitted, request.modelNotFitted, request.survival, &*provenance});
      !added)
    return Unexpected(added.error());
  if (!request.figureFile.Empty() && !Stopped(request)) {
    if (auto added = set.Add(CohortFigureInTemporary(request.figureFile, result, request.figureWidthMm));
        !added)
      return Unexpected(added.error());
  }
  std::vector<std::string> notes;
  // Without R's fit the other files stand; the figure of its means is told missing.
  if (!request.modelFigureFile.Empty() && !request.model)
    notes.push_back(ShownFileName(request.modelFigureFile.Path()) +
                    ": not drawn, since the model was not fitted");
  if (!request.modelFigureFile.Empty() && request.model && !Stopped(request)) {
    if (auto added = set.Add(ModelFigureInTemporary(request.modelFigureFile, result, &request.model->results,
                                                    request.figureWidthMm));
        !added)
      return Unexpected(added.error());
  }
  if (!request.survivalFigureFile.Empty() && !request.survival)
    notes.push_back(ShownFileName(request.survivalFigureFile.Path()) +
                    ": not drawn, since R made no survival estimates");
  if (!request.survivalFigureFile.Empty() && request.survival && !Stopped(request)) {
    if (auto added = set.Add(SurvivalFigureInTemporary(request.survivalFigureFile, result, request.survival,
                                                       request.figureWidthMm));
        !added)
      return Unexpected(added.error());
  }
  if (!request.blandAltmanFile.Empty() && !Stopped(request)) {
    if (auto added =
            set.Add(BlandAltmanFigureInTemporary(request.blandAltmanFile, result, request.figureWidthMm));
        !added)
      return Unexpected(added.error());
  }
  if (!request.reportFile.Empty() && !Stopped(request)) {
    const ModelResults* model = request.model ? &request.model->results : nullptr;
    if (auto added =
            set.Add(StudyReportInTemporary(request.reportFile, result, options, model, request.modelNotFitted,
                                           request.stop, request.survival, &*provenance));
        !added)
      return Unexpected(added.error());
  }
  if (!request.workbookFile.Empty() && !Stopped(request)) {
    auto workbook = StudyWorkbookOfSet(set, request.workbookFile, options, request.program, request.runDate);
    if (!workbook) return Unexpected(workbook.error());
    for (const std::string& note : workbook->notes)
      notes.push_back(ShownFileName(request.workbookFile.Path()) + ": " + note);
    set.Add(std::move(workbook->file));
  }
  return notes;
}

} // namespace sinkview
