#pragma once

// Table 1 (baseline.csv) for reading, as the report shows it: a row per
// characteristic, level and group, counts with their percent, numbers as
// mean (SD), median (quartiles) and range, each with one decimal.

#include <string>
#include <vector>

#include "study/baseline_table.h"

namespace sinkview {

struct BaselineReading {
  std::vector<std::string> headers;
  std::vector<std::vector<std::string>> rows;
};

BaselineReading BaselineReadingOf(const std::vector<BaselineRow>& table);

} // namespace sinkview
