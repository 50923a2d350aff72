#pragma once

// The survival estimates for reading, as the report shows them: per group
// and time the hips at risk, the revisions and deaths so far, the
// cumulative incidence of revision with its interval beside one minus
// Kaplan-Meier, and what the estimates assume with Gray's p-values.

#include <string>
#include <vector>

#include "base/expected.h"
#include "base/failure.h"
#include "survival/survival_step.h"

namespace sinkview {

struct SurvivalReading {
  std::vector<std::string> headers;
  std::vector<std::vector<std::string>> rows;
  std::vector<std::string> notes; // a line each
};

// Refuses files that are not as survival.R writes them, naming the line.
Expected<SurvivalReading, Failure> SurvivalReadingOf(const SurvivalEstimates& estimates);

} // namespace sinkview
