#pragma once

// The columns of the survival files, for their writers (survival/) and
// dictionary.csv.

#include <string_view>
#include <vector>

#include "study/csv_columns.h"

namespace sinkview {

inline constexpr std::string_view kSurvivalHipsCsv = "survival_hips.csv",
                                  kSurvivalRejectedCsv = "survival_rejected.csv",
                                  kSurvivalCsv = "survival.csv", kSurvivalTestsCsv = "survival_tests.csv",
                                  kSurvivalStepsCsv = "survival_steps.csv",
                                  kSurvivalSoftwareCsv = "survival_software.csv";

// In the dictionary's order; survival.csv, survival_tests.csv,
// survival_steps.csv and survival_software.csv are R's.
std::vector<CsvFileColumns> SurvivalColumns();

} // namespace sinkview
