#include "graphics/bland_altman_plot.h"

#include <algorithm>
#include <cmath>

#include "graphics/cohort_plot.h"

namespace sinkview {

namespace {

// The margins around the diagram, as fractions of the panel: the tick
// labels and the axis title at the left and below, the line labels at the
// right, the title and the legend above.
constexpr double kLeft = 0.2, kRight = 0.25, kTop = 0.16, kBottom = 0.2;
// A pixel of the screen, whatever the device's resolution.
constexpr double kLineMm = 0.25;

struct Frame {
  double xLow, xHigh, yLow, yHigh, xStep, yStep;
  double xUnit, yUnit; // the whole panel's width and height in user units
};

double Floor(double v, double step) { return std::floor(v / step) * step; }
double Ceil(double v, double step) { return std::ceil(v / step) * step; }

Frame FrameFor(const BlandAltmanPanel& p) {
  Frame f{};
  const auto [xMin, xMax] = std::minmax_element(p.meansMm.begin(), p.meansMm.end());
  double xLow = p.meansMm.empty() ? 0 : *xMin, xHigh = p.meansMm.empty() ? 1 : *xMax;
  double yLow = std::min(p.lowMm, 0.0), yHigh = std::max(p.highMm, 0.0);
  for (double d : p.differencesMm) {
    yLow = std::min(yLow, d);
    yHigh = std::max(yHigh, d);
  }
  if (xHigh - xLow <= 0) xHigh = xLow + 1;
  if (yHigh - yLow <= 0) yHigh = yLow + 1;
  f.xStep = TickStep(xHigh - xLow, 5, false);
  f.yStep = TickStep(yHigh - yLow, 6, false);
  f.xLow = Floor(xLow, f.xStep);
  f.xHigh = Ceil(xHigh, f.xStep);
  f.yLow = Floor(yLow, f.yStep);
  f.yHigh = Ceil(yHigh, f.yStep);
  if (f.xHigh - f.xLow < f.xStep) f.xHigh = f.xLow + f.xStep;
  if (f.yHigh - f.yLow < f.yStep) f.yHigh = f.yLow + f.yStep;
  f.xUnit = (f.xHigh - f.xLow) / (1 - kLeft - kRight);
  f.yUnit = (f.yHigh - f.yLow) / (1 - kTop - kBottom);
  return f;
}

void DrawAxes(Surface& s, const Frame& f) {
  const Rgb black{0, 0, 0};
  s.Line(f.xLow, f.yLow, f.xHigh, f.yLow, black);
  s.Line(f.xLow, f.yLow, f.xLow, f.yHigh, black);
  const double tickX = 0.015 * f.xUnit, tickY = 0.012 * f.yUnit;
  for (int i = 0; f.xLow + i * f.xStep <= f.xHigh + f.xStep / 1000; ++i) {
    const double x = f.xLow + i * f.xStep;
    s.Line(x, f.yLow, x, f.yLow - tickY, black);
    s.TextAt(x, f.yLow - 0.045 * f.yUnit, TickLabel(x, f.xStep), Surface::Anchor::Centre);
  }
  for (int i = 0; f.yLow + i * f.yStep <= f.yHigh + f.yStep / 1000; ++i) {
    const double y = f.yLow + i * f.yStep;
    s.Line(f.xLow, y, f.xLow - tickX, y, black);
    s.TextAt(f.xLow - 1.5 * tickX, y, TickLabel(y, f.yStep), Surface::Anchor::Right);
  }
  const double centre = (f.xLow + f.xHigh) / 2;
  s.TextAt(centre, f.yLow - 0.12 * f.yUnit, kBlandAltmanXTitle, Surface::Anchor::Centre);
  // The surface writes no turned text: the y title stands above the axis.
  s.TextAt(f.xLow - kLeft * f.xUnit + 0.01 * f.xUnit, f.yHigh + 0.04 * f.yUnit, kBlandAltmanYTitle,
           Surface::Anchor::Left);
}

} // namespace

std::string BiasLabel(double biasMm) { return "Bias " + TickLabel(biasMm, 0.01); }

std::string LimitLabel(bool upper, double limitMm) {
  return std::string(upper ? "+1.96 SD " : "\u22121.96 SD ") + TickLabel(limitMm, 0.01);
}

void DrawBlandAltmanPanel(const BlandAltmanPanel& p, Surface& s) {
  const Frame f = FrameFor(p);
  s.Scale(f.xLow - kLeft * f.xUnit, f.yHigh + kTop * f.yUnit, f.xHigh + kRight * f.xUnit,
          f.yLow - kBottom * f.yUnit);
  s.Cls();
  s.SetFontSize(kBlandAltmanFontPoints);
  s.SetDrawWidth(std::max(1, static_cast<int>(std::lround(kLineMm * p.pixelsPerMm))));
  if (f.yLow < 0 && f.yHigh > 0) s.Line(f.xLow, 0, f.xHigh, 0, Rgb{190, 190, 190});
  s.Line(f.xLow, p.biasMm, f.xHigh, p.biasMm, kAgreementColour);
  const double dash = 0.015 * f.xUnit, labelX = f.xHigh + 0.02 * f.xUnit;
  for (const double limit : {p.lowMm, p.highMm})
    DashedLine(s, f.xLow, f.xHigh, limit, dash, kAgreementColour);
  s.TextAt(labelX, p.biasMm, BiasLabel(p.biasMm), Surface::Anchor::Left);
  s.TextAt(labelX, p.highMm, LimitLabel(true, p.highMm), Surface::Anchor::Left);
  s.TextAt(labelX, p.lowMm, LimitLabel(false, p.lowMm), Surface::Anchor::Left);
  // Each pair as a small open square.
  const double dx = 0.008 * f.xUnit, dy = 0.011 * f.yUnit;
  const std::size_t n = std::min(p.meansMm.size(), p.differencesMm.size());
  for (std::size_t i = 0; i < n; ++i)
    s.Line(p.meansMm[i] - dx, p.differencesMm[i] - dy, p.meansMm[i] + dx, p.differencesMm[i] + dy,
           Rgb{0, 0, 0}, true);
  DrawAxes(s, f);
  s.TextAt(f.xLow - kLeft * f.xUnit + 0.01 * f.xUnit, f.yHigh + 0.11 * f.yUnit,
           p.title + " (n = " + std::to_string(n) + " pairs)", Surface::Anchor::Left);
}

} // namespace sinkview
