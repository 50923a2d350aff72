#pragma once

// Welch's differences of the raw means (comparison.csv's rows) as the main
// result page shows them beside the model's. Plain C++, no Qt.

#include <string>
#include <vector>

#include "study/study.h"

namespace sinkview {

struct WelchTable {
  std::string title; // "Subsidence, all hips: Welch's differences from A (secondary)"
  std::vector<std::string> headers;
  std::vector<std::vector<std::string>> cells; // by visit, then group; none with one group
};

// The table of one series; `primary` as the protocol's primary_analysis says.
WelchTable BuildWelchTable(const StudyResult& result, CohortSeries series, bool primary);

} // namespace sinkview
