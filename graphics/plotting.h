#pragma once

#include <array>
#include <cstdint>
#include <vector>

#include "model/model.h"
#include "model/settings.h"
#include "ui/surface.h"

namespace sinkview {

// The line diagrams of the graphics window. Every diagram runs over the
// time since the first radiograph (ElapsedDays) on x and the value of its
// series on y; they draw only lines, no text.

// The grid, the right-edge ticks and the radiograph lines: RGB value 8 (red
// 8, green 0, blue 0), not a palette colour.
inline constexpr Rgb kGridColour = Rgb::FromLong(8);
// The month ticks of the stacked distance diagram: RGB value 7.
inline constexpr Rgb kDistanceTickColour = Rgb::FromLong(7);
// Days per month on the time axis.
inline constexpr double kDaysPerMonth = 365.0 / 12.0;

// The scale a diagram was drawn in: x from t1 (left) to tn (right), y from
// lo (bottom) to hi (top), and its grid lines at whole steps from the first
// one, in the order they were drawn. A figure reads its axes from it.
struct DiagramScale {
  double t1 = 0, tn = 0, lo = 0, hi = 0;
  std::vector<double> grid;
};

// The months since the first radiograph at the diagram's long (year) ticks.
std::vector<int> YearTickMonths(const DiagramScale& scale);

// One series in a diagram of its own: y from CInt(min - zoomRange) to
// CInt(max + zoomRange), the grid anchored at values(1), the curve two
// pixels wide and broken after each radiograph k with DisconnectionFlag(k) = 1.
// Leaves the surface with that scale and draw width 1, and returns it.
DiagramScale PlotSeries(const MeasurementModel& m, const Series& values, float zoomRange, Surface& pic);

// A second series over a diagram that PlotSeries has just drawn, in its
// scale and draw width, as one unbroken polyline.
void OverlaySeries(const MeasurementModel& m, const Series& values, Surface& pic);

// Where each of the four stacked distance curves reads zero, curve1 to curve4.
inline constexpr std::array<double, 4> kStackedZeros = {3, 2, 1, 0};

// Four distance series stacked in one diagram, each drawn as its change
// since radiograph 1 plus its stacked zero (3, 2, 1 or 0 mm), re-based in
// copies. y runs from CInt(min of curve4 - 1) to CInt(max of curve1 + 1)
// with the grid at whole units. Returns the scale it drew in.
DiagramScale PlotDistanceCurves(const MeasurementModel& m, const Series& curve1, const Series& curve2,
                                const Series& curve3, const Series& curve4, Surface& pic);

// The number of radiographs the diagrams draw: RadiographCount, kept within
// the slots of a series.
int RadiographsDrawn(const MeasurementModel& m);

// The y limit of a diagram: CInt of the value, and beyond the range of a
// 16-bit integer the nearest end of that range (0 for a value that is not a
// number), so that an absurd value still gives a diagram.
std::int16_t AxisLimit(double value);

} // namespace sinkview
