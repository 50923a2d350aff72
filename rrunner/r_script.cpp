#include "rrunner/r_script.h"

#include <cerrno>
#include <filesystem>

#include "base/reader_text.h"
#include "rrunner/run_process.h"

namespace fs = std::filesystem;

namespace sinkview {

namespace {

// A script's exit status when one of its packages is not installed.
constexpr int kPackageMissing = 3;
constexpr std::size_t kMessageLimit = 300;

Unexpected<ModelNotFitted> NotRun(bool rMissing, std::string message) {
  return Unexpected(ModelNotFitted{rMissing, false, Failure{std::move(message)}});
}

} // namespace

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

Expected<std::string, ModelNotFitted> RunRScript(const std::string& folder, std::string_view script,
                                                 const RScriptWords& words, const ModelRunOptions& options) {
  const std::string what = std::string(words.what) + ": ";
  ProcessCall call{options.rscript, {"--vanilla", std::string(script)}, folder, options.timeLimit};
  call.cancel = options.cancel;
  call.environment = REnvironment(options.temporaryFolder);
  const auto run = RunProcess(call);
  if (!run) {
    if (run.error().error == ENOENT)
      return Unexpected(ModelNotFitted{
          true, true, Failure{options.rscript + " is not installed" + std::string(words.installHint)}});
    return NotRun(false, what + run.error().failure.message);
  }
  if (run->cancelled) return NotRun(false, what + "cancelled");
  if (run->timedOut) {
    return NotRun(false, what + "R did not finish within " +
                             std::to_string(options.timeLimit.count() / 1000) + " s and was stopped");
  }
  if (run->exitStatus == kPackageMissing)
    return NotRun(true, OneLine(run->stderrText) + std::string(words.installHint));
  if (run->exitStatus != 0) {
    return NotRun(false, what + std::string(words.couldNot) + ": " + OneLine(run->stderrText) + " (" +
                             ShownFileName((fs::path(folder) / script).native()) + ")");
  }
  return run->stderrText;
}

} // namespace sinkview
