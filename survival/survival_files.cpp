#include "survival/survival_files.h"

#include <utility>

#include "study/study_csv.h"
#include "survival/survival_hips.h"
#include "survival/survival_script.h"

namespace sinkview {

Expected<void, Failure> AddSurvivalFiles(FileSet& set, const StudyResult& result,
                                         const SurvivalEstimates* estimates, const OutputFolder& folder) {
  // One row or none per hip: written a piece at a time, as summary.csv is.
  if (auto added = AddRowsFile(set, folder, kSurvivalHipsCsv,
                               [&](const PieceSink& sink) { SurvivalHipsRows(result, sink); });
      !added)
    return added;
  if (auto added = AddRowsFile(set, folder, kSurvivalRejectedCsv,
                               [&](const PieceSink& sink) { SurvivalRejectedRows(result, sink); });
      !added)
    return added;
  NamedTexts files = {{kSurvivalScript, SurvivalScriptText(result.protocol.survivalYears)}};
  if (estimates) {
    files.emplace_back(kSurvivalCsv, estimates->survivalCsv);
    files.emplace_back(kSurvivalTestsCsv, estimates->testsCsv);
    files.emplace_back(kSurvivalSoftwareCsv, estimates->softwareCsv);
    files.emplace_back(kSurvivalStepsCsv, estimates->stepsCsv);
  }
  return AddTextFiles(set, folder, files);
}

} // namespace sinkview
