#include "graphics/diagram_axes.h"

#include <algorithm>
#include <cmath>

#include "base/numtext.h"

namespace sinkview {

namespace {

// A scale without extent (one radiograph, a clamped range) is drawn around
// its value, as the box's surface does: the box spans one unit there.
struct Span {
  double from, extent;
};
Span SpanOf(double low, double high) {
  if (high == low) return {low - 0.5, 1};
  return {low, high - low};
}

// The distance between a label and the box, in digits.
constexpr double kGapDigits = 0.6;

} // namespace

std::string BreakNote(const MeasurementModel& m) {
  for (int i = 1; i < RadiographsDrawn(m); ++i) {
    if (m.DisconnectionFlag[i] == 1)
      return "Across a gap in a black curve the change was not measured: the curves go on from their "
             "level before the gap, and values after it leave that change out.";
  }
  return {};
}

std::string GridValueText(double value) { return RoundedText(value, 2, kFileDecimalPoint); }

std::vector<AxisValueLabel> AxisValueLabels(const DrawnDiagram& diagram) {
  std::vector<AxisValueLabel> labels;
  // The stacked zeros lie within every band the curves give: each curve
  // starts on its zero.
  if (!diagram.curveZeros.empty()) {
    for (const CurveZero& zero : diagram.curveZeros) labels.push_back({zero.y, zero.name + ": 0"});
    return labels;
  }
  for (const double value : diagram.scale.grid)
    labels.push_back({value, GridValueText(value - diagram.zero)});
  return labels;
}

long long LabelStep(double spacing, double needed) {
  if (!(spacing > 0) || !std::isfinite(spacing)) return 1;
  const double step = std::ceil(needed / spacing);
  if (!(step >= 1)) return 1;
  return static_cast<long long>(std::min(step, 1e15));
}

void DrawDiagramAxes(const DrawnDiagram& diagram, const AxesRoom& room, Surface& s) {
  const DiagramScale& scale = diagram.scale;
  const Span x = SpanOf(scale.t1, scale.tn), y = SpanOf(scale.lo, scale.hi);
  const double perPixelX = x.extent / room.boxWidth, perPixelY = y.extent / room.boxHeight;
  const double top = y.from + y.extent, bottom = y.from;
  s.Scale(x.from - room.left * perPixelX, top + room.top * perPixelY,
          x.from + x.extent + room.right * perPixelX, bottom - room.bottom * perPixelY);

  const double valueX = x.from - kGapDigits * room.charWidth * perPixelX;
  const std::vector<AxisValueLabel> labels = AxisValueLabels(diagram);
  if (!labels.empty()) {
    const long long every = LabelStep(1 / perPixelY, 1.1 * room.row);
    for (const AxisValueLabel& label : labels) {
      if (std::llround(label.y - labels.front().y) % every == 0)
        s.TextAt(valueX, label.y, label.text, Surface::Anchor::Right);
    }
  }

  const std::vector<int> years = YearTickMonths(scale);
  if (!years.empty()) {
    const std::string widest = LabelText(years.back(), kFileDecimalPoint);
    const long long every =
        LabelStep(12 * kDaysPerMonth / perPixelX, (static_cast<double>(widest.size()) + 1) * room.charWidth);
    const double labelY = bottom - room.bottom / 2 * perPixelY;
    for (const int month : years) {
      if (month / 12 % every == 0)
        s.TextAt(scale.t1 + month * kDaysPerMonth, labelY, LabelText(month, kFileDecimalPoint),
                 Surface::Anchor::Centre);
    }
  }

  s.TextAt(x.from - room.left * perPixelX, top + room.top / 2 * perPixelY, diagram.quantity,
           Surface::Anchor::Left);
}

} // namespace sinkview
