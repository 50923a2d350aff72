#pragma once

// One R script run by Rscript in a folder, as the study's model and its
// survival estimates are: a time limit, cancel, R's own environment, and
// one line saying why it failed, with what to install where R or a package
// is missing.

#include <string>
#include <string_view>

#include "rrunner/model_step.h"

namespace sinkview {

// What the messages call the script's work.
struct RScriptWords {
  std::string_view what;        // "model": the failures start "model: "
  std::string_view couldNot;    // "R could not fit it"
  std::string_view installHint; // follows "Rscript is not installed" and R's word of a missing package
};

// Runs `script` (found in `folder`) there; gives R's stderr when it ends
// well. The script ends with exit status 3 when it lacks a package.
Expected<std::string, ModelNotFitted> RunRScript(const std::string& folder, std::string_view script,
                                                 const RScriptWords& words, const ModelRunOptions& options);

// R's stderr as one line: "Error: " and "Execution halted" dropped, line
// ends and controls as blanks, runs of blanks as one, cut at the limit.
std::string OneLine(std::string_view text);

} // namespace sinkview
