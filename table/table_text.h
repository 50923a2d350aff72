#pragma once

#include "model/model.h"
#include "ui/surface.h"

namespace sinkview {

// Clears the surface and prints the whole table onto it in its current
// font: the nine header lines, then one row per radiograph with the changes
// since the start of its segment, dots for an incomparable radiograph.
void RenderTable(const MeasurementModel& m, Surface& surface);

} // namespace sinkview
