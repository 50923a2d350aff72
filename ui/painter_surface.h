#pragma once

#include <QColor>
#include <QFont>
#include <QFontMetricsF>
#include <QPainter>
#include <QRectF>
#include <optional>

#include "ui/surface.h"

namespace sinkview {

inline QColor ToQColor(Rgb colour) { return QColor(colour.red, colour.green, colour.blue); }

// The height of a line of `font` at `points` on `device`, as PainterSurface
// advances by it.
double LineHeight(QFont font, double points, const QPaintDevice* device);

// `text` cut where no line could show more of it: laying out the rest (a
// data file's megabyte-long name, say) would take seconds for nothing.
QString AsOneLineShowsIt(QString text);

// The drawing surface on a QPainter: user coordinates of the last Scale are
// mapped onto the target rectangle, lines are drawn anti-aliased with
// widths in device-independent pixels.
class PainterSurface : public Surface {
public:
  PainterSurface(QPainter& painter, const QRectF& target, QColor background, QColor foreColor, QFont font);

  void Scale(double x1, double y1, double x2, double y2) override;
  void Cls() override;
  void Line(double x1, double y1, double x2, double y2, std::optional<Rgb> colour = {},
            bool box = false) override;
  void SetDrawWidth(int pixels) override { drawWidth_ = pixels; }
  int DrawWidth() const override { return drawWidth_; }
  void SetFontSize(double points) override;
  double FontSize() const override { return font_.pointSizeF(); }
  void Tab(int column) override;
  void PrintText(std::string_view text) override;
  void EndLine() override;
  void TextAt(double x, double y, std::string_view text, Anchor anchor) override;
  void Fill(const std::vector<Point>& corners, Rgb colour) override;

  QPointF ToDevice(double x, double y) const;
  // Device pixels per pixel of draw width: a figure at print resolution
  // keeps the window's line widths on paper.
  void SetLineScale(double devicePixels) { lineScale_ = devicePixels; }

private:
  // The metrics of the current font on the target device, kept until the
  // font size changes: the table asks for them at every item.
  const QFontMetricsF& Metrics();

  QPainter& painter_;
  QRectF target_;
  QColor background_, foreColor_;
  QFont font_;
  std::optional<QFontMetricsF> metrics_;
  double left_ = 0, top_ = 0, right_ = 1, bottom_ = 1;
  int drawWidth_ = 1;
  double lineScale_ = 1;
  double printX_ = 0, printY_ = 0;
};

} // namespace sinkview
