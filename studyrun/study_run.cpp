#include "studyrun/study_run.h"

#include "base/file_set.h"
#include "study/long_csv.h"
#include "survival/survival_hips.h"

namespace sinkview {

std::optional<FittedModel> FitStudyModel(bool runModel, const StudyResult& result, std::string& notFitted,
                                         const std::atomic<bool>* stop, const StudyNote& note) {
  if (!runModel) return std::nullopt;
  auto fitted = FitModelInScratch(result, stop);
  if (!fitted) {
    notFitted = fitted.error().failure.message;
    if (!(stop && *stop)) note(notFitted);
    return std::nullopt;
  }
  for (const std::string& line : fitted->results.notes) note(line);
  return std::move(*fitted);
}

std::optional<SurvivalEstimates> EstimateStudySurvival(bool runModel, const StudyResult& result,
                                                       const std::atomic<bool>* stop, const StudyNote& note) {
  if (!runModel) return std::nullopt;
  auto estimates = EstimateSurvivalInScratch(SurvivalHipsOf(result), result.protocol.survivalYears, stop);
  if (!estimates) {
    // R not there at all the model has said already.
    if (!(stop && *stop) && !estimates.error().noRscript) note(estimates.error().failure.message);
    return std::nullopt;
  }
  for (const std::string& line : estimates->notes) note(line);
  return std::move(*estimates);
}

Expected<void, Failure> CommitStudySet(Expected<AtomicFile, Failure> longCsv,
                                       const StudyOutputsRequest& request, const StudyResult& result,
                                       const StudyOptions& options, const OutputFolder& folder,
                                       const StudyNote& note) {
  const auto notReplaced = [](const Failure& failure) {
    return Unexpected(Failure{failure.message + " No file that belongs with it was replaced."});
  };
  if (!longCsv) return notReplaced(longCsv.error());
  FileSet set;
  set.Add(std::move(*longCsv));
  auto notes = AddStudyOutputs(set, request, result, options, folder);
  if (!notes) return notReplaced(notes.error());
  for (const std::string& line : *notes) note(line);
  if (request.stop && *request.stop) return Unexpected(Failure{"Stopped: no file was replaced."});
  return set.Commit();
}

Expected<std::vector<std::string>, Failure>
CommitWorkbookAlone(Expected<AtomicFile, Failure> longCsv, const StudyOutputsRequest& request,
                    const StudyResult& result, const StudyOptions& options, const OutputFolder& folder,
                    const OutputFile& target) {
  if (!longCsv) return Unexpected(longCsv.error());
  FileSet tables;
  tables.Add(std::move(*longCsv));
  if (auto added = AddStudyOutputs(tables, request, result, options, folder); !added) return added;
  auto workbook = StudyWorkbookOfSet(tables, target, options, request.program, request.runDate);
  if (!workbook) return Unexpected(workbook.error());
  if (request.stop && *request.stop) return Unexpected(Failure{"Stopped: no file was replaced."});
  if (auto committed = workbook->file.Commit(); !committed) return Unexpected(committed.error());
  return std::move(workbook->notes);
}

StudyRun RunStudyToFileSet(const StudyCommand& command, StudyOutputsRequest& request,
                           const OutputFolder& folder, const StudyProgress& progress,
                           const std::atomic<bool>* stop, const StudyNote& note) {
  const auto stopped = [stop] { return stop && *stop; };
  // long.csv is written while the files are read, the others from the
  // result; all are put in place together.
  Expected<AtomicFile, Failure> longCsv = OpenLongCsv(folder);
  LongRowsSink longRows;
  if (longCsv) longRows = [&file = *longCsv](std::string_view rows) { file.Write(rows); };
  StudyOptions options = command.options;
  options.keepPrepared = !command.reportFile.empty();
  StudyRun run;
  run.result = RunStudy(command.folders, options, progress, stop, longRows);
  if ((run.stopped = stopped())) return run;
  for (const RejectedFile& rejected : run.result.rejected) note(rejected.reason);

  const std::optional<FittedModel> model =
      FitStudyModel(command.runModel, run.result, request.modelNotFitted, stop, note);
  if ((run.stopped = stopped())) return run;
  const std::optional<SurvivalEstimates> survival =
      EstimateStudySurvival(command.runModel, run.result, stop, note);
  if ((run.stopped = stopped())) return run;

  request.model = model ? &*model : nullptr;
  request.survival = survival ? &*survival : nullptr;
  request.stop = stop;
  run.written = CommitStudySet(std::move(longCsv), request, run.result, command.options, folder, note);
  request.model = nullptr; // the model and the estimates die with this call
  request.survival = nullptr;
  run.stopped = stopped();
  return run;
}

} // namespace sinkview
