#pragma once

// The survival figure of a study, beside the cohort figure and in its
// style: each group's cumulative incidence of revision as steps over its
// shaded 95 % interval, one minus Kaplan-Meier dashed, and the hips at risk
// per group at each year under the time axis. Every number comes from R's
// curves; the figure only draws them.

#include <optional>
#include <string>
#include <vector>

#include "graphics/cohort_plot.h"
#include "ui/surface.h"

namespace sinkview {

// From `years` on the curve stands at `estimate` (a fraction), within its
// interval where R gives one.
struct SurvivalStep {
  double years = 0, estimate = 0;
  std::optional<double> low, high;
};

struct SurvivalAtRisk {
  double years = 0;
  long hips = 0;
};

struct SurvivalCurves {
  std::string name;
  std::vector<SurvivalStep> incidence, oneMinusKaplanMeier; // in order of time, from 0
  std::vector<SurvivalAtRisk> atRisk;                       // at each whole year
};

struct SurvivalPlot : PaperPlot {
  std::vector<SurvivalCurves> groups; // in the cohort figure's order, so each keeps its colour
};

inline constexpr const char* kSurvivalYearsTitle = "Years since surgery";
inline constexpr const char* kSurvivalIncidenceTitle = "Cumulative incidence of revision (%)";
inline constexpr const char* kSurvivalLegend =
    "Steps: cumulative incidence, death competing (shaded: 95 % CI); dashed: 1 - Kaplan-Meier";

// Draws the figure over the whole surface (which it clears first), as
// high as the cohort figure for its width.
void DrawSurvivalPlot(const SurvivalPlot& plot, Surface& surface);

} // namespace sinkview
