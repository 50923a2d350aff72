#include "rrunner/model_step.h"

#include <cerrno>
#include <cstdlib>
#include <filesystem>

#include "model/reader_text.h"
#include "rrunner/run_process.h"
#include "study/analysis_script.h"

namespace fs = std::filesystem;

namespace sinkview {

namespace {

// analysis.R's exit status when nlme or emmeans is not installed.
constexpr int kPackageMissing = 3;
constexpr std::size_t kMessageLimit = 300;
// How analysis.R begins the line of a fit it left out, and of one it fitted
// otherwise than asked (or with fewer hips).
constexpr std::string_view kNotFitted = "not fitted: ", kNote = "note: ";

constexpr std::string_view kInstallHint =
    "; the model was not fitted (on Debian: apt install r-base-core r-cran-nlme r-cran-emmeans), "
    "analysis.R is written for a later run";

// R's stderr as one line: "Error: " and "Execution halted" dropped, line
// ends and controls as blanks, runs of blanks as one, cut at the limit.
std::string OneLine(std::string_view text) {
  std::string line;
  for (char c : WithoutControlCharacters(std::string(text))) {
    if (c != ' ' || (!line.empty() && line.back() != ' ')) line += c;
  }
  for (std::string_view noise : {"Execution halted", "Error: ", "Error in "}) {
    if (const auto at = line.find(noise); at != std::string::npos) line.erase(at, noise.size());
  }
  while (!line.empty() && line.back() == ' ') line.pop_back();
  if (line.size() > kMessageLimit) {
    std::size_t cut = kMessageLimit;
    while (cut > 0 && (static_cast<unsigned char>(line[cut]) & 0xC0) == 0x80) --cut; // whole UTF-8 characters
    line.resize(cut);
    line += "...";
  }
  return line;
}

Unexpected<ModelNotFitted> NotFitted(bool rMissing, std::string message) {
  return Unexpected(ModelNotFitted{rMissing, Failure{std::move(message)}});
}

// Removes the model's files of an earlier run from `folder`, so
// none is left that does not belong to the study's files beside it.
void DiscardModelFiles(const std::string& folder) {
  for (std::string_view name : {kModelCsv, kModelFitCsv, kModelTestsCsv, kRSoftwareCsv}) {
    std::error_code ignored; // none there is as good as removed
    fs::remove(fs::path(folder) / name, ignored);
  }
}

} // namespace

std::vector<std::string> REnvironment(const std::string& temporaryFolder) {
  std::vector<std::string> environment = MinimalEnvironment();
  // --vanilla leaves R_LIBS_USER to R, which then takes a library under HOME.
  environment.push_back("R_LIBS_USER=NULL");
  if (!temporaryFolder.empty()) {
    environment.push_back("TMPDIR=" + temporaryFolder);
  } else if (const char* const temporary = std::getenv("TMPDIR")) {
    environment.push_back("TMPDIR=" + std::string(temporary));
  }
  return environment;
}

Expected<ModelResults, ModelNotFitted> RunModel(const std::string& folder, const ModelRunOptions& options) {
  DiscardModelFiles(folder);
  ProcessCall call{options.rscript, {"--vanilla", std::string(kAnalysisScript)}, folder, options.timeLimit};
  call.cancel = options.cancel;
  call.environment = REnvironment(options.temporaryFolder);
  const auto run = RunProcess(call);
  if (!run) {
    if (run.error().error == ENOENT)
      return NotFitted(true, options.rscript + " is not installed" + std::string(kInstallHint));
    return NotFitted(false, "model: " + run.error().failure.message);
  }
  if (run->cancelled) return NotFitted(false, "model: cancelled");
  if (run->timedOut) {
    return NotFitted(false, "model: R did not finish within " +
                                std::to_string(options.timeLimit.count() / 1000) + " s and was stopped");
  }
  if (run->exitStatus == kPackageMissing)
    return NotFitted(true, OneLine(run->stderrText) + std::string(kInstallHint));
  if (run->exitStatus != 0) {
    return NotFitted(false, "model: R could not fit it: " + OneLine(run->stderrText) + " (" +
                                ShownFileName((fs::path(folder) / kAnalysisScript).native()) + ")");
  }
  auto results = ReadModelResults(folder);
  if (!results) return NotFitted(false, "model: " + results.error().message);
  for (std::string_view rest = run->stderrText; !rest.empty();) {
    const std::size_t end = std::min(rest.find('\n'), rest.size());
    if (rest.substr(0, end).starts_with(kNotFitted) || rest.substr(0, end).starts_with(kNote))
      results->notes.push_back("model: " + OneLine(rest.substr(0, end)));
    rest.remove_prefix(std::min(end + 1, rest.size()));
  }
  return std::move(*results);
}

} // namespace sinkview
