#pragma once

#include <functional>

#include "model/model.h"
#include "model/prepared_series.h"
#include "ui/surface.h"

namespace sinkview {

// The table window's client area at design size, in twips.
inline constexpr double kTableClientWidth = 8832, kTableClientHeight = 6588;
// The top of the buttons below the table at design size, in twips.
inline constexpr double kTableButtonsTop = 6120;

// The font size of the table at a width: the design size scaled with the
// width, so the text grows and shrinks with the window.
inline double TableFontSize(double designPoints, double width, double designWidth) {
  return width * designPoints / designWidth;
}

// The lines the table takes: its header and one row per radiograph.
int TableLineCount(const MeasurementModel& m);

// The font size that keeps the whole table readable: `widthRule`, made
// smaller where `lines` lines would be taller than `height`. lineHeight
// gives a line's height at a font size, in the units of `height`.
double FittingTableFontSize(double widthRule, int lines, double height,
                            const std::function<double(double points)>& lineHeight);

// Clears the surface and prints the whole table onto it in its current
// font: the nine header lines, then one row per radiograph with the changes
// since the start of its segment, dots for an incomparable radiograph.
void RenderTable(const PreparedSeries& p, Surface& surface);

} // namespace sinkview
