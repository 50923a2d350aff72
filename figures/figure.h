#pragma once

#include <QPoint>
#include <QSize>
#include <functional>
#include <string>
#include <string_view>

#include "base/atomic_file.h"
#include "base/failure.h"
#include "model/prepared_series.h"
#include "ui/design_units.h"

class QPainter;

namespace sinkview {

// Figures for reports, drawn without a window by the same routines the
// graphics and table windows use.

// The graphics window's content at `size` (device-independent pixels): the
// header, the titles and the five boxes, laid out as the window lays itself
// out at that size.
void DrawGraphicsFigure(QPainter& painter, QSize size, const PreparedSeries& prepared,
                        const std::string& programDirectory);

// Where a label of the graphics window (by its design name) stands in the
// figure of `size`: as the window places it, except that the slash and the
// red stem/cement title keep beside the subsidence title, wherever that
// title moves with the size.
QPoint FigureLabelPosition(std::string_view name, QSize size);

// The table window's text at `size`, in the font size the window would use
// at that width.
void DrawTableFigure(QPainter& painter, QSize size, const PreparedSeries& prepared);

// The size of the graphics and of the table window's client area at design size.
QSize GraphicsDesignSize();
QSize TableDesignSize();

// Writes a figure to `path`: PNG, TIFF, PDF or SVG by the file's ending
// (model/figure_files.h; vectors for PDF and SVG), through a temporary file
// renamed into place; else a message naming the file and the reason.
// `dotsPerInch` as for DrawingInTemporary. GraphicsWithAxes is the graphics
// figure with scales (figures/axes_figure.h).
enum class Figure { Graphics, GraphicsWithAxes, Table };
[[nodiscard]] Expected<void, Failure> WriteFigure(Figure figure, const std::string& path, QSize size,
                                                  const PreparedSeries& prepared,
                                                  const std::string& programDirectory,
                                                  int dotsPerInch = kDotsPerInch);

// What `draw` paints on a canvas of `size`, for `path` as WriteFigure writes
// it, whole in its temporary file for the caller to commit; a name with an
// ending of no figure format is refused. `dotsPerInch` is the layout's
// resolution: its fonts' points and its size on paper, and a PNG's. A TIFF
// has the same size on paper at 600 dpi: the canvas drawn scaled to its
// pixels, LZW-compressed.
[[nodiscard]] Expected<AtomicFile, Failure> DrawingInTemporary(const OutputFile& target, QSize size,
                                                               const std::function<void(QPainter&)>& draw,
                                                               int dotsPerInch = kDotsPerInch);

} // namespace sinkview
