#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "graphics/diagram_assignment.h"
#include "ui/surface.h"

namespace sinkview {

// The scale of a diagram box written beside the box, for figures: the
// values of its grid lines on the left, the months at its year ticks below
// and its quantity above the values. All of it is read from the scale the
// box was drawn in.

// The box and the room around it on the surface, in the surface's pixels.
struct AxesRoom {
  double boxWidth = 1, boxHeight = 1;
  double left = 0, top = 0, right = 0, bottom = 0; // room beside the box
  double row = 1;                                  // the height of a text row
  double charWidth = 1;                            // the width of a digit
};

// Draws onto a surface over the box and its room, in the surface's colour
// and font; the box itself is left as it is.
void DrawDiagramAxes(const DrawnDiagram& diagram, const AxesRoom& room, Surface& surface);

// What the x axis of every diagram counts, written once under a figure's
// diagrams.
inline constexpr std::string_view kTimeAxisCaption = "Months since the first radiograph";

// What the curves assume across a break, written under a figure's diagrams
// when a drawn curve has one: the change there was not measured, so the
// corrected courses go on from their level before it. Empty without a break.
std::string BreakNote(const MeasurementModel& m);

// A number on a diagram's value axis and the drawn y it stands at.
struct AxisValueLabel {
  double y;
  std::string text;
};

// What the value axis of a diagram writes where there is room for all: the
// reading of each grid line (its value less the diagram's zero), or for
// stacked curves each one's zero, named.
std::vector<AxisValueLabel> AxisValueLabels(const DrawnDiagram& diagram);

// The value of a grid line as written: up to two decimals, with the decimal
// point of figures whatever the locale.
std::string GridValueText(double value);

// Every how many marks `spacing` pixels apart one is labelled, for labels
// that need `needed` pixels each.
long long LabelStep(double spacing, double needed);

} // namespace sinkview
