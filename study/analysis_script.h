#pragma once

// analysis.R, the study's mixed model for R, and the small file it needs
// beside the study's CSV files. No data text ever goes into the script: R
// reads visits.csv and primary_visit.csv itself.

#include <optional>
#include <string>
#include <string_view>

namespace sinkview {

inline constexpr std::string_view kAnalysisScript = "analysis.R", kPrimaryVisitCsv = "primary_visit.csv";
// What the script writes.
inline constexpr std::string_view kModelCsv = "model.csv", kModelFitCsv = "model_fit.csv",
                                  kModelTestsCsv = "model_tests.csv", kRSoftwareCsv = "r_software.csv";

// The text of analysis.R, as kept in study/analysis.R.
std::string_view AnalysisScriptText();

// primary_visit.csv: the protocol's primary visit, for the complete cases,
// and its number in the protocol (1 the first; none when it is no visit).
std::string PrimaryVisitCsv(std::string_view primaryVisit, std::optional<std::size_t> number);

} // namespace sinkview
