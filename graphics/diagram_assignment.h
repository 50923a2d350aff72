#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "graphics/plotting.h"
#include "model/model.h"
#include "model/prepared_series.h"
#include "ui/surface.h"

namespace sinkview {

// True for a right replacement: the side is exactly "right"; every other
// value is drawn as a left one.
bool IsRightSide(const MeasurementModel& m);

// What a diagram box shows on its y axis, with the unit, for a figure's scale.
// The stacked distances are changes, each curve on a zero of its own, with
// the grid a millimetre apart.
inline constexpr std::string_view kMedialQuantity = "Medial changes, grid 1 mm";
inline constexpr std::string_view kLateralQuantity = "Lateral changes, grid 1 mm";
// Subsidence is the change since the first radiograph; the stem/cement
// curve starts on the same zero and so reads its own change.
inline constexpr std::string_view kSubsidenceQuantity = "Subsidence (mm)";
inline constexpr std::string_view kAngleQuantity = "Bone/stem angle (\u00B0)";

// Where a stacked curve, named by its distance's number, reads zero.
struct CurveZero {
  double y;
  std::string name;
};

// A diagram as drawn: its scale, what its y axis shows and how the axis
// reads the drawn values: a single series' value less `zero`; stacked
// curves have no common value, only each one's zero.
struct DrawnDiagram {
  DiagramScale scale;
  std::string_view quantity;
  double zero = 0;
  std::vector<CurveZero> curveZeros = {}; // top to bottom
};

// The subsidence diagram: the corrected subsidence series chosen by the
// reference point and the trochanter, with the raw series over it when
// ShowRawData is 1 and the aligned stem/cement curve when the file has
// stem/cement values.
DrawnDiagram PlotSubsidence(const PreparedSeries& p, Surface& box);

// The stem/cement curve over a diagram just drawn, shifted so that it starts
// at reference(1), where the diagram's axis reads zero; light red, one unbroken polyline in the current
// width.
void OverlayAlignedSeries(const MeasurementModel& m, const Series& reference, const Series& series,
                          Surface& box);

// What picture box `number` (1 to 5) of the graphics window draws:
// 1 the sketch, 2 and 4 the medial and lateral distances, 3 and 5 the
// subsidence and the bone/stem angle, the sides exchanged for a right
// replacement. Returns the diagram's scale; nothing for the sketch.
std::optional<DrawnDiagram> PaintPicture(int number, const PreparedSeries& p,
                                         const std::string& programDirectory, Surface& box);

} // namespace sinkview
