#pragma once

#include <QRectF>
#include <QSize>
#include <string>

#include "model/figure_files.h"
#include "model/prepared_series.h"

class QPainter;

namespace sinkview {

// The per-patient figure with scales: the graphics window's five boxes drawn
// as the window draws them, each diagram with the values of its grid lines,
// the months at its year ticks and its quantity beside it; the header and
// titles above, broken into lines where the width needs it. Laid out in
// `area` of the painter's device, with texts in points and lines as wide on
// paper as the window's at its 96 dots per inch.
void DrawGraphicsFigureWithAxes(QPainter& painter, const QRectF& area, const PreparedSeries& prepared,
                                const std::string& programDirectory);

// That figure's size in pixels at kPrintDotsPerInch, `widthMm` wide on paper:
// the window's proportions and room for the scales.
QSize GraphicsFigurePixels(double widthMm);

} // namespace sinkview
