#pragma once

// The study's mixed model, fitted by R: analysis.R (study/analysis_script.h),
// written beside the CSV files, run by Rscript as a separate process, and
// its model.csv and model_fit.csv read back.

#include <atomic>
#include <chrono>
#include <string>
#include <vector>

#include "base/expected.h"
#include "base/failure.h"
#include "rrunner/model_results.h"

namespace sinkview {

struct ModelRunOptions {
  std::string rscript = "Rscript"; // found on PATH
  std::chrono::milliseconds timeLimit{120'000};
  const std::atomic<bool>* cancel = nullptr; // set: R is stopped and the fit is "cancelled"
  std::string temporaryFolder;               // R's own temporary files; empty: R's choice
};

// Why there is no model: R or one of its packages is not installed
// (`rMissing`; the message says what to install), or R failed, in one
// bounded line.
struct ModelNotFitted {
  bool rMissing = false;
  bool noRscript = false; // Rscript itself is not there: one message says so for every script
  Failure failure;
};

// R's whole environment: the caller's PATH, HOME and locale, the temporary
// folder (empty: the caller's TMPDIR), and no library but the site's, so
// that neither R_LIBS nor a library under HOME chooses the packages the
// model loads.
std::vector<std::string> REnvironment(const std::string& temporaryFolder);

// Runs analysis.R in `folder` (written there with the study's files) and
// reads its results back; the earlier model files are discarded first.
Expected<ModelResults, ModelNotFitted> RunModel(const std::string& folder,
                                                const ModelRunOptions& options = {});

} // namespace sinkview
