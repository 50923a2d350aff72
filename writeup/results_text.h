#pragma once

// results.md: the run's numbers in sentences, each formatted as the
// report's tables format it, each from the value a CSV file of the set
// holds.

#include <string>
#include <string_view>
#include <vector>

#include "writeup/writeup_inputs.h"

namespace sinkview {

inline constexpr std::string_view kResultsMd = "results.md";

std::string ResultsMarkdown(const WriteupInputs& inputs);

// Pieces reporting.csv shares. "a mean of 5 days (SD 2 days, range 1 to 9
// days)"; empty without hips.
std::string DaysDescriptionText(const Description& days);
// "-0.80 mm (95 % CI -1.22 to -0.39 mm)" and "p = 0.337" or "p < 0.001".
std::string MmWithInterval(std::optional<double> value, std::optional<double> low,
                           std::optional<double> high);
std::string PText(std::optional<double> p);
// "6 of 7 hips measured (not measured: missed 1)", the flow's row in words.
std::string FlowRowText(const FlowRow& row);
// The model's estimates of `kind` for the subsidence of all hips at `visit`.
std::vector<const ModelEstimate*> PrimaryEstimates(const ModelResults* model, const std::string& visit,
                                                   std::string_view kind);
// Each group's continuous migrators, "group A 1 of 5 hips (20.0 %, 95 % CI ...)".
std::vector<std::string> MigratorTexts(const StudyResult& result);

} // namespace sinkview
