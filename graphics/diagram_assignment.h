#pragma once

#include <optional>
#include <string>
#include <string_view>

#include "graphics/plotting.h"
#include "model/model.h"
#include "model/prepared_series.h"
#include "ui/surface.h"

namespace sinkview {

// True for a right replacement: the side is exactly "right"; every other
// value is drawn as a left one.
bool IsRightSide(const MeasurementModel& m);

// What a diagram box shows on its y axis, with the unit, for a figure's scale.
inline constexpr std::string_view kMedialQuantity = "Medial distances (mm)";
inline constexpr std::string_view kLateralQuantity = "Lateral distances (mm)";
// The stem/cement curve is shifted onto the subsidence's start: the axis
// reads subsidence only.
inline constexpr std::string_view kSubsidenceQuantity = "Subsidence (mm)";
inline constexpr std::string_view kAngleQuantity = "Bone/stem angle (\u00B0)";

// A diagram as drawn: its scale and what its y axis shows.
struct DrawnDiagram {
  DiagramScale scale;
  std::string_view quantity;
};

// The subsidence diagram: the corrected subsidence series chosen by the
// reference point and the trochanter, with the raw series over it when
// ShowRawData is 1 and the aligned stem/cement curve when the file has
// stem/cement values.
DrawnDiagram PlotSubsidence(const PreparedSeries& p, Surface& box);

// The stem/cement curve over a diagram just drawn, shifted so that it starts
// at reference(1); light red, one unbroken polyline in the current width.
void OverlayAlignedSeries(const MeasurementModel& m, const Series& reference, const Series& series,
                          Surface& box);

// What picture box `number` (1 to 5) of the graphics window draws:
// 1 the sketch, 2 and 4 the medial and lateral distances, 3 and 5 the
// subsidence and the bone/stem angle, the sides exchanged for a right
// replacement. Returns the diagram's scale; nothing for the sketch.
std::optional<DrawnDiagram> PaintPicture(int number, const PreparedSeries& p,
                                         const std::string& programDirectory, Surface& box);

} // namespace sinkview
