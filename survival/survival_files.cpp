#include "survival/survival_files.h"

#include <utility>

#include "study/study_csv.h"
#include "survival/survival_hips.h"
#include "survival/survival_script.h"

namespace sinkview {

Expected<void, Failure> AddSurvivalFiles(FileSet& set, const StudyResult& result,
                                         const SurvivalEstimates* estimates, const OutputFolder& folder) {
  const SurvivalHips hips = SurvivalHipsOf(result);
  NamedTexts files = {{kSurvivalHipsCsv, SurvivalHipsCsv(hips)},
                      {kSurvivalRejectedCsv, SurvivalRejectedCsv(hips)},
                      {kSurvivalScript, SurvivalScriptText(result.protocol.survivalYears)}};
  if (estimates) {
    files.emplace_back(kSurvivalCsv, estimates->survivalCsv);
    files.emplace_back(kSurvivalTestsCsv, estimates->testsCsv);
    files.emplace_back(kSurvivalSoftwareCsv, estimates->softwareCsv);
    files.emplace_back(kSurvivalStepsCsv, estimates->stepsCsv);
  }
  return AddTextFiles(set, folder, files);
}

} // namespace sinkview
