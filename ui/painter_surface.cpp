#include "ui/painter_surface.h"

#include <QFontMetricsF>
#include <QPen>
#include <QPolygonF>
#include <cmath>

#include "base/text_encoding.h"

namespace sinkview {

namespace {

// Scales of zero extent (one radiograph, a series without spread) would
// divide by zero; such an axis is drawn around its single value instead.
double Extent(double from, double to) {
  const double extent = to - from;
  return extent == 0 ? 1.0 : extent;
}

} // namespace

double LineHeight(QFont font, double points, const QPaintDevice* device) {
  font.setPointSizeF(points);
  return QFontMetricsF(font, device).height();
}

PainterSurface::PainterSurface(QPainter& painter, const QRectF& target, QColor background, QColor foreColor,
                               QFont font)
    : painter_(painter), target_(target), background_(background), foreColor_(foreColor),
      font_(std::move(font)) {
  left_ = target.left();
  top_ = target.top();
  right_ = target.right();
  bottom_ = target.bottom();
  painter_.setRenderHint(QPainter::Antialiasing, true);
  painter_.setRenderHint(QPainter::TextAntialiasing, true);
  painter_.setClipRect(target_);
  printX_ = target_.left();
  printY_ = target_.top();
}

void PainterSurface::Scale(double x1, double y1, double x2, double y2) {
  left_ = x1;
  top_ = y1;
  right_ = x2;
  bottom_ = y2;
}

void PainterSurface::Cls() {
  painter_.fillRect(target_, background_);
  printX_ = target_.left();
  printY_ = target_.top();
}

QPointF PainterSurface::ToDevice(double x, double y) const {
  const double width = Extent(left_, right_), height = Extent(top_, bottom_);
  const double fx = left_ == right_ ? 0.5 : (x - left_) / width;
  const double fy = top_ == bottom_ ? 0.5 : (y - top_) / height;
  // The edges of the user system lie on the centres of the outermost pixels,
  // so lines along the edges (the first and last radiograph) stay visible.
  const QRectF inner = target_.adjusted(0.5, 0.5, -0.5, -0.5);
  return {inner.left() + fx * inner.width(), inner.top() + fy * inner.height()};
}

void PainterSurface::Line(double x1, double y1, double x2, double y2, std::optional<Rgb> colour, bool box) {
  const QColor c = colour ? ToQColor(*colour) : foreColor_;
  QPen pen(c, std::max(1, drawWidth_) * lineScale_);
  pen.setCapStyle(Qt::FlatCap);
  painter_.setPen(pen);
  painter_.setBrush(Qt::NoBrush);
  const QPointF a = ToDevice(x1, y1), b = ToDevice(x2, y2);
  if (box) {
    painter_.drawRect(QRectF(a, b).normalized());
  } else {
    painter_.drawLine(a, b);
  }
}

void PainterSurface::SetFontSize(double points) {
  if (points > 0 && points != font_.pointSizeF()) {
    font_.setPointSizeF(points);
    metrics_.reset();
  }
}

const QFontMetricsF& PainterSurface::Metrics() {
  if (!metrics_) metrics_.emplace(font_, painter_.device());
  return *metrics_;
}

void PainterSurface::Tab(int column) {
  const double x = target_.left() + (std::max(column, 1) - 1) * Metrics().averageCharWidth();
  if (printX_ > x + 0.01) EndLine();
  printX_ = x;
}

QString AsOneLineShowsIt(QString text) {
  // No page or window is a thousand characters wide.
  constexpr qsizetype kMaxShown = 1000;
  if (text.size() > kMaxShown)
    text.truncate(text[kMaxShown - 1].isHighSurrogate() ? kMaxShown - 1 : kMaxShown);
  return text;
}

namespace {

QString Displayed(std::string_view text) {
  const std::string utf8 = DisplayUtf8(text);
  return AsOneLineShowsIt(QString::fromUtf8(utf8.data(), static_cast<qsizetype>(utf8.size())));
}

} // namespace

void PainterSurface::PrintText(std::string_view text) {
  const QString s = Displayed(text);
  if (painter_.font() != font_) painter_.setFont(font_);
  painter_.setPen(foreColor_);
  painter_.drawText(QPointF(printX_, printY_ + Metrics().ascent()), s);
  printX_ += Metrics().horizontalAdvance(s);
}

void PainterSurface::TextAt(double x, double y, std::string_view text, Anchor anchor) {
  const QString s = Displayed(text);
  if (painter_.font() != font_) painter_.setFont(font_);
  painter_.setPen(foreColor_);
  const QPointF at = ToDevice(x, y);
  const double width = Metrics().horizontalAdvance(s);
  const double left = anchor == Anchor::Left     ? at.x()
                      : anchor == Anchor::Centre ? at.x() - width / 2
                                                 : at.x() - width;
  painter_.drawText(QPointF(left, at.y() + (Metrics().ascent() - Metrics().descent()) / 2), s);
}

void PainterSurface::Fill(const std::vector<Point>& corners, Rgb colour) {
  QPolygonF polygon;
  for (const Point& p : corners) polygon << ToDevice(p.x, p.y);
  painter_.setPen(Qt::NoPen);
  painter_.setBrush(ToQColor(colour));
  painter_.drawPolygon(polygon);
  painter_.setBrush(Qt::NoBrush);
}

void PainterSurface::EndLine() {
  printX_ = target_.left();
  printY_ += Metrics().height();
}

} // namespace sinkview
