#pragma once

#include <optional>
#include <string>
#include <vector>

#include "ui/surface.h"

namespace sinkview {

// The cohort figure of a study: every patient's subsidence course, the
// cohort's mean with its confidence band and the threshold, in one diagram
// with axes, ticks and a legend.

// One patient's corrected subsidence change since the first radiograph (mm)
// against the months since it.
struct CohortCourse {
  std::vector<double> months, changeMm;
};

// The cohort at one follow-up time that some patient reaches.
struct CohortMean {
  double months = 0;
  int n = 0;
  double meanMm = 0;
  std::optional<double> lowMm, highMm; // the 95 % interval; empty for n = 1
};

struct CohortPlot {
  std::vector<CohortCourse> courses;
  std::vector<CohortMean> means; // in order of time
  double thresholdMm = 1.5;
};

inline constexpr Rgb kCourseColour{165, 165, 165};
inline constexpr Rgb kMeanColour{0, 70, 170};
inline constexpr Rgb kBandColour{196, 214, 245};
inline constexpr Rgb kThresholdColour{200, 0, 0};

// The legend's texts, shared with the tests and the report.
std::string CoursesLegend(int patients);
std::string ThresholdLegend(double thresholdMm);
inline constexpr const char* kMeanLegend = "Mean with its 95 % confidence interval";

// Draws the figure over the whole surface (which it clears first).
void DrawCohortPlot(const CohortPlot& plot, Surface& surface);

// The step between ticks: a 1, 2 or 5 times a power of ten giving at most
// `maxTicks` intervals over `span` (months use 1, 3, 6, 12, 24, 60 or 120).
double TickStep(double span, int maxTicks, bool months);

// A dashed horizontal line from x1 to x2: dashes and gaps of equal length.
void DashedLine(Surface& surface, double x1, double x2, double y, double dash, Rgb colour);

// A tick label with as many decimals as the step needs.
std::string TickLabel(double value, double step);

} // namespace sinkview
