#pragma once

// The curves of R's survival_steps.csv, read back for the survival figure.

#include <string>
#include <string_view>
#include <vector>

#include "base/expected.h"
#include "base/failure.h"
#include "graphics/survival_plot.h"

namespace sinkview {

// Rows beyond this many are refused: no figure needs them, and a file that
// has them was not written by survival.R for a study.
inline constexpr std::size_t kMaxSurvivalSteps = 1'000'000;

// Each of the study's `groups` in that order, so that it keeps its cohort
// figure's colour; one without hips that enter has no rows. Refuses a file that is not as survival.R
// writes it, naming its line and column.
Expected<std::vector<SurvivalCurves>, Failure> SurvivalCurvesOf(std::string_view stepsCsv,
                                                                const std::vector<std::string>& groups);

} // namespace sinkview
