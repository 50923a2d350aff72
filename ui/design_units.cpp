#include "ui/design_units.h"

#include <cmath>

namespace sinkview {

int TwipsToPixels(double twips) { return static_cast<int>(std::lround(twips / kTwipsPerPixel)); }

QRect TwipsRect(double left, double top, double width, double height) {
  const int x = TwipsToPixels(left), y = TwipsToPixels(top);
  // Right and bottom edges are converted as edges, so neighbours stay flush.
  return QRect(x, y, TwipsToPixels(left + width) - x, TwipsToPixels(top + height) - y);
}

QFont DesignFont() {
  QFont font(QStringLiteral("Liberation Sans"));
  font.setStyleHint(QFont::SansSerif);
  font.setPointSizeF(7.8);
  font.setBold(true);
  return font;
}

} // namespace sinkview
