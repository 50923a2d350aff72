#include "survival/survival_step.h"

#include <filesystem>

#include "base/atomic_file.h"
#include "base/small_text_file.h"
#include "rrunner/model_results.h"
#include "rrunner/r_script.h"
#include "rrunner/scratch_folder.h"
#include "study/survival_columns.h"
#include "survival/survival_script.h"

namespace fs = std::filesystem;

namespace sinkview {

namespace {

constexpr RScriptWords kSurvivalWords{
    "survival", "R could not estimate it",
    "; the survival estimates were not made (on Debian: apt install r-base-core r-cran-survival "
    "r-cran-cmprsk), survival.R is written for a later run"};

// How survival.R begins the line of a test it left out.
constexpr std::string_view kNotTested = "not tested: ";

Unexpected<ModelNotFitted> CannotEstimate(const std::string& why) {
  return Unexpected(ModelNotFitted{false, false, Failure{"survival: " + why}});
}

// One of R's files, which must have the columns the study names.
Expected<std::string, Failure> ReadBack(const std::string& folder, std::string_view name) {
  auto text = ReadSmallTextFile((fs::path(folder) / name).native(), kMaxModelFileBytes);
  if (!text) return text;
  if (const std::string header = CsvHeader(name); !text->starts_with(header))
    return Unexpected(Failure{std::string(name) + " as R wrote it has not the columns " +
                              header.substr(0, header.size() - 2)});
  return text;
}

} // namespace

Expected<SurvivalEstimates, ModelNotFitted> RunSurvival(const std::string& folder,
                                                        const ModelRunOptions& options) {
  for (std::string_view name : {kSurvivalCsv, kSurvivalTestsCsv, kSurvivalStepsCsv, kSurvivalSoftwareCsv}) {
    std::error_code ignored; // none there is as good as removed
    fs::remove(fs::path(folder) / name, ignored);
  }
  const auto run = RunRScript(folder, kSurvivalScript, kSurvivalWords, options);
  if (!run) return Unexpected(run.error());
  SurvivalEstimates estimates;
  auto survival = ReadBack(folder, kSurvivalCsv);
  if (!survival) return CannotEstimate(survival.error().message);
  auto tests = ReadBack(folder, kSurvivalTestsCsv);
  if (!tests) return CannotEstimate(tests.error().message);
  auto software = ReadBack(folder, kSurvivalSoftwareCsv);
  if (!software) return CannotEstimate(software.error().message);
  estimates.softwareCsv = std::move(*software);
  auto steps = ReadBack(folder, kSurvivalStepsCsv);
  if (!steps) return CannotEstimate(steps.error().message);
  estimates.survivalCsv = std::move(*survival);
  estimates.testsCsv = std::move(*tests);
  estimates.stepsCsv = std::move(*steps);
  for (std::string_view rest = *run; !rest.empty();) {
    const std::size_t end = std::min(rest.find('\n'), rest.size());
    if (rest.substr(0, end).starts_with(kNotTested))
      estimates.notes.push_back("survival: " + OneLine(rest.substr(0, end)));
    rest.remove_prefix(std::min(end + 1, rest.size()));
  }
  return estimates;
}

Expected<SurvivalEstimates, ModelNotFitted> EstimateSurvivalInScratch(const SurvivalHips& hips,
                                                                      const std::vector<double>& years,
                                                                      const std::atomic<bool>* cancel,
                                                                      ModelRunOptions options) {
  const ScratchFolder scratch;
  if (scratch.Path().empty()) return CannotEstimate("no scratch folder can be made in the temporary folder");
  const auto folder = OutputFolder::Open(scratch.Path());
  if (!folder) return CannotEstimate(folder.error().message);
  for (const auto& [name, text] :
       {std::pair{kSurvivalHipsCsv, SurvivalHipsCsv(hips)}, {kSurvivalScript, SurvivalScriptText(years)}})
    if (auto written = WriteFileAtomically(*folder, name, text, FlushToDisk::Later); !written)
      return CannotEstimate(written.error().message);
  options.cancel = cancel;
  // R killed when cancelled leaves its own temporary folder: in the scratch folder, it goes too.
  options.temporaryFolder = scratch.Path();
  return RunSurvival(scratch.Path(), options);
}

} // namespace sinkview
