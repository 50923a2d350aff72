#include "rrunner/model_step.h"

#include <cstdlib>
#include <filesystem>

#include "base/reader_text.h"
#include "rrunner/r_script.h"
#include "rrunner/run_process.h"
#include "study/analysis_script.h"

namespace fs = std::filesystem;

namespace sinkview {

namespace {

// How analysis.R begins the line of a fit it left out, and of one it fitted
// otherwise than asked (or with fewer hips).
constexpr std::string_view kNotFitted = "not fitted: ", kNote = "note: ";

constexpr RScriptWords kModelWords{
    "model", "R could not fit it",
    "; the model was not fitted (on Debian: apt install r-base-core r-cran-nlme r-cran-emmeans "
    "r-cran-survival r-cran-cmprsk), analysis.R is written for a later run"};

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
  const auto run = RunRScript(folder, kAnalysisScript, kModelWords, options);
  if (!run) return Unexpected(run.error());
  auto results = ReadModelResults(folder);
  if (!results) return Unexpected(ModelNotFitted{false, false, Failure{"model: " + results.error().message}});
  for (std::string_view rest = *run; !rest.empty();) {
    const std::size_t end = std::min(rest.find('\n'), rest.size());
    if (rest.substr(0, end).starts_with(kNotFitted) || rest.substr(0, end).starts_with(kNote))
      results->notes.push_back("model: " + OneLine(rest.substr(0, end)));
    rest.remove_prefix(std::min(end + 1, rest.size()));
  }
  return std::move(*results);
}

} // namespace sinkview
