#pragma once

#include <optional>
#include <string>
#include <vector>

#include "ui/surface.h"

namespace sinkview {

// The cohort figure of a study, made for a paper: each group's hips as thin
// lines, the group's mean with its 95 % interval at each visit, the number
// of hips per group and visit under the axis, and the threshold marked at
// the primary visit. Laid out in millimetres, so its texts keep their size
// in points at any width.

// One hip's subsidence change (mm) at its measured visits, against its
// study months (since surgery).
struct CohortCourse {
  std::vector<double> months, changeMm;
  int group = 0; // index into CohortPlot::groups
};

// A group at one visit, at the visit's target.
struct CohortMean {
  double months = 0;
  int n = 0;
  std::optional<double> meanMm;        // none when no hip has a value
  std::optional<double> lowMm, highMm; // the 95 % interval; none for n < 2
};

struct CohortGroup {
  std::string name;
  int hips = 0;
  std::vector<CohortMean> means; // one per visit, in order of time
};

inline constexpr const char* kMonthsTitle = "Months since surgery";

// What every figure of a study for a paper has: the primary visit it marks,
// its size on paper and the device's resolution.
struct PaperPlot {
  std::optional<double> primaryMonths;
  std::string primaryVisit;
  std::string monthsTitle = kMonthsTitle;
  double widthMm = 170, heightMm = 100, pixelsPerMm = 96 / 25.4;
};

// The threshold is marked at the primary visit.
struct CohortPlot : PaperPlot {
  std::vector<CohortGroup> groups;
  std::vector<CohortCourse> courses;
  double thresholdMm = 1.5;
};

// The figure's height for a width on paper.
double CohortFigureHeightMm(double widthMm);

// The smallest text size of the figure, in points.
inline constexpr double kCohortTextPoints = 7.5;

// A group's look: a colour-blind-safe colour, and a line dash and marker
// that still tell the groups apart in greyscale.
enum class Marker { Circle, Square, Triangle, Diamond };
struct GroupStyle {
  Rgb colour;
  double dashMm; // 0: a solid line
  Marker marker;
};
GroupStyle StyleOfGroup(int group);

// Millimetres of paper in a plot's user units, for marks that keep their
// size on paper whatever the plot's scale.
struct PaperScale {
  double xPerMm = 1, yPerMm = 1;
};

// A line dashed by `dashMm` on paper (solid for 0): dashes and gaps of equal length.
void StyledLine(Surface& surface, const PaperScale& paper, double x1, double y1, double x2, double y2,
                double dashMm, Rgb colour);
// A group's marker, filled in its colour, centred on (x, y).
void DrawMarker(Surface& surface, const PaperScale& paper, double x, double y, Marker marker, Rgb colour);

// One text row of a figure, in millimetres.
inline constexpr double kPlotRowMm = 1.35 * kCohortTextPoints * 25.4 / 72;

// The user coordinates of a figure: its diagram's data range, the margins
// around it on paper, and the millimetres of paper in user units.
struct PlotFrame : PaperScale {
  double xMax = 12, yLow = -1, yHigh = 1;
  double leftMm = 0, topMm = 0, bottomMm = 0, rightMm = 3;
  double pixelsPerMm = 1;
  double Left() const { return -leftMm * xPerMm; }
  double Top() const { return yHigh + topMm * yPerMm; }
  double Bottom() const { return yLow - bottomMm * yPerMm; }
  double Right() const { return xMax + rightMm * xPerMm; }
  // A width on paper in device pixels, at least one.
  int Pixels(double mm) const;
};

// A mean with its 95 % interval at a visit's target, as the figures mark it.
struct MeanMark {
  double months = 0;
  std::optional<double> meanMm, lowMm, highMm;
};

// A group's means joined in its dash, each with its capped interval and its
// marker, all moved `dodgeMm` aside on paper so the groups at one visit
// stand apart.
void DrawGroupMeans(Surface& surface, const PlotFrame& frame, int group, double dodgeMm,
                    const std::vector<MeanMark>& means);
// The legend's row of each group from the top of the figure: its line, its
// marker and its text; returns where the row below them stands.
double DrawGroupLegend(Surface& surface, const PlotFrame& frame, const std::vector<std::string>& texts);

// Fits `frame` (its top and bottom margins set) to data from 0 to `xHigh`
// months and `yLow` to `yHigh` on whole ticks, with room left of the axis
// for the tick labels or `nameChars` characters, in a figure of the size
// given on paper.
void FitPlotFrame(PlotFrame& frame, double xHigh, double yLow, double yHigh, std::size_t nameChars,
                  double widthMm, double heightMm, double pixelsPerMm);
// The axes with their ticks and labels, and zero where it lies inside;
// returns where the months' labels stand.
double DrawPlotAxes(Surface& surface, const PlotFrame& frame);

inline constexpr Rgb kThresholdColour{80, 80, 80};

// The legend's texts, shared with the tests and the report.
std::string GroupLegend(const CohortGroup& group);
std::string ThresholdLegend(double thresholdMm, const std::string& visit);
inline constexpr const char* kCoursesLegend = "Thin lines: each hip; markers: mean with 95 % CI";
inline constexpr const char* kSubsidenceTitle = "Subsidence (mm)";

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
