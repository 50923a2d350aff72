#pragma once

// survival.R, the study's revision survival for R; it reads
// survival_hips.csv and writes survival.csv and survival_tests.csv
// (study/survival_columns.h) beside it.

#include <string>
#include <string_view>
#include <vector>

namespace sinkview {

inline constexpr std::string_view kSurvivalScript = "survival.R";

// survival.R as kept in survival/survival.R, its times the defaults.
std::string_view KeptSurvivalScript();

// survival.R with the protocol's times (years after surgery).
std::string SurvivalScriptText(const std::vector<double>& years);

} // namespace sinkview
