#include "graphics/cohort_plot.h"

#include <algorithm>
#include <cmath>

#include "model/numtext.h"

namespace sinkview {

namespace {

constexpr double kMmPerPoint = 25.4 / 72;
// One text row and a character's mean width, in millimetres.
constexpr double kRowMm = 1.35 * kCohortTextPoints * kMmPerPoint;
constexpr double kCharMm = 0.55 * kCohortTextPoints * kMmPerPoint;
constexpr double kTickMm = 1.0, kRightMm = 3.0;
constexpr std::size_t kNameChars = 12; // of a group's name in the rows of n

const Rgb kBlack{0, 0, 0};

bool Usable(double v) { return std::isfinite(v); }

struct Range {
  double low = 0, high = 0;
  void Take(double v) {
    if (!Usable(v)) return;
    low = std::min(low, v);
    high = std::max(high, v);
  }
};

std::string ShortName(const std::string& name) {
  return name.size() <= kNameChars ? name : name.substr(0, kNameChars - 1) + "\u2026";
}

// The user coordinates of the figure: the diagram's data range, and the
// millimetres of paper in user units.
struct Frame {
  double xMax = 12, yLow = -1, yHigh = 1;
  double xPerMm = 1, yPerMm = 1;
  double leftMm = 0, topMm = 0, bottomMm = 0;
  double pixelsPerMm = 1;
  double Left() const { return -leftMm * xPerMm; }
  double Top() const { return yHigh + topMm * yPerMm; }
  double Bottom() const { return yLow - bottomMm * yPerMm; }
  double Right() const { return xMax + kRightMm * xPerMm; }
  int Pixels(double mm) const { return std::max(1, static_cast<int>(std::lround(mm * pixelsPerMm))); }
};

int LegendRows(const CohortPlot& plot) {
  return static_cast<int>(plot.groups.size()) + 1 + (plot.primaryMonths ? 1 : 0);
}

Frame FrameFor(const CohortPlot& plot) {
  Range x, y;
  x.Take(12); // at least a year, so a cohort of early visits is not stretched
  y.Take(plot.thresholdMm);
  y.Take(-plot.thresholdMm);
  if (plot.primaryMonths) x.Take(*plot.primaryMonths);
  for (const CohortCourse& course : plot.courses) {
    for (std::size_t i = 0; i < course.months.size() && i < course.changeMm.size(); ++i) {
      if (!Usable(course.months[i]) || !Usable(course.changeMm[i])) continue;
      x.Take(course.months[i]);
      y.Take(course.changeMm[i]);
    }
  }
  for (const CohortGroup& group : plot.groups) {
    for (const CohortMean& mean : group.means) {
      if (!mean.meanMm) continue;
      x.Take(mean.months);
      y.Take(*mean.meanMm);
      if (mean.lowMm) y.Take(*mean.lowMm);
      if (mean.highMm) y.Take(*mean.highMm);
    }
  }
  Frame f;
  const double xStep = TickStep(x.high, 10, true);
  const double yStep = TickStep(y.high - y.low, 8, false);
  f.xMax = std::ceil(x.high / xStep) * xStep;
  f.yLow = std::floor(y.low / yStep) * yStep;
  f.yHigh = std::ceil(y.high / yStep) * yStep;
  if (f.yHigh - f.yLow < yStep) f.yHigh = f.yLow + yStep;

  std::size_t labelChars = 1;
  for (int i = 0; f.yLow + i * yStep <= f.yHigh + yStep / 1000; ++i)
    labelChars = std::max(labelChars, TickLabel(f.yLow + i * yStep, yStep).size());
  for (const CohortGroup& group : plot.groups)
    labelChars = std::max(labelChars, ShortName(group.name).size());
  f.leftMm = kTickMm + 1 + kCharMm * static_cast<double>(labelChars);
  f.bottomMm = kTickMm + kRowMm * (static_cast<double>(plot.groups.size()) + 2.3);
  f.topMm = kRowMm * (LegendRows(plot) + 1.5);
  const double diagramWidth = std::max(10.0, plot.widthMm - f.leftMm - kRightMm);
  const double diagramHeight = std::max(10.0, plot.heightMm - f.topMm - f.bottomMm);
  f.xPerMm = f.xMax / diagramWidth;
  f.yPerMm = (f.yHigh - f.yLow) / diagramHeight;
  f.pixelsPerMm = Usable(plot.pixelsPerMm) && plot.pixelsPerMm > 0 ? plot.pixelsPerMm : 1;
  return f;
}

// A line dashed by `dashMm` on paper (solid for 0): dashes and gaps of equal length.
void StyledLine(Surface& s, const Frame& f, double x1, double y1, double x2, double y2, double dashMm,
                Rgb colour) {
  const double lengthMm = std::hypot((x2 - x1) / f.xPerMm, (y2 - y1) / f.yPerMm);
  if (dashMm <= 0 || !Usable(lengthMm) || lengthMm <= dashMm) {
    s.Line(x1, y1, x2, y2, colour);
    return;
  }
  const int dashes = static_cast<int>(std::min(1000.0, std::ceil(lengthMm / (2 * dashMm))));
  for (int i = 0; i < dashes; ++i) {
    const double from = 2 * i * dashMm / lengthMm, to = std::min(1.0, (2 * i + 1) * dashMm / lengthMm);
    s.Line(x1 + from * (x2 - x1), y1 + from * (y2 - y1), x1 + to * (x2 - x1), y1 + to * (y2 - y1), colour);
  }
}

void DrawMarker(Surface& s, const Frame& f, double x, double y, Marker marker, Rgb colour) {
  const double rx = 0.8 * f.xPerMm, ry = 0.8 * f.yPerMm;
  std::vector<Surface::Point> corners;
  switch (marker) {
  case Marker::Circle:
    for (int i = 0; i < 16; ++i) {
      const double a = i * 3.14159265358979 / 8;
      corners.push_back({x + rx * std::cos(a), y + ry * std::sin(a)});
    }
    break;
  case Marker::Square:
    corners = {{x - rx, y - ry}, {x + rx, y - ry}, {x + rx, y + ry}, {x - rx, y + ry}};
    break;
  case Marker::Triangle:
    corners = {{x - 1.1 * rx, y - ry}, {x + 1.1 * rx, y - ry}, {x, y + 1.2 * ry}};
    break;
  case Marker::Diamond:
    corners = {{x, y - 1.2 * ry}, {x + 1.2 * rx, y}, {x, y + 1.2 * ry}, {x - 1.2 * rx, y}};
    break;
  }
  s.Fill(corners, colour);
}

// Halfway to white: the hips' lines stay behind the means.
Rgb Tint(Rgb c) {
  const auto half = [](int v) { return static_cast<std::uint8_t>(v + (255 - v) * 55 / 100); };
  return Rgb{half(c.red), half(c.green), half(c.blue)};
}

void DrawCourses(const CohortPlot& plot, Surface& s, const Frame& f) {
  s.SetDrawWidth(f.Pixels(0.15));
  for (const CohortCourse& course : plot.courses) {
    const Rgb colour = Tint(StyleOfGroup(course.group).colour);
    const std::size_t n = std::min(course.months.size(), course.changeMm.size());
    for (std::size_t i = 1; i < n; ++i) {
      const double x1 = course.months[i - 1], y1 = course.changeMm[i - 1];
      const double x2 = course.months[i], y2 = course.changeMm[i];
      if (Usable(x1) && Usable(y1) && Usable(x2) && Usable(y2)) s.Line(x1, y1, x2, y2, colour);
    }
  }
}

// Each group's means, moved aside a little so the intervals of groups at
// one visit do not hide each other.
void DrawMeans(const CohortPlot& plot, Surface& s, const Frame& f) {
  const double groups = static_cast<double>(plot.groups.size());
  for (std::size_t g = 0; g < plot.groups.size(); ++g) {
    const GroupStyle style = StyleOfGroup(static_cast<int>(g));
    const double dodge = (static_cast<double>(g) - (groups - 1) / 2) * 1.2 * f.xPerMm;
    const CohortMean* previous = nullptr;
    for (const CohortMean& mean : plot.groups[g].means) {
      if (!mean.meanMm || !Usable(*mean.meanMm) || mean.months > f.xMax) continue;
      const double x = mean.months + dodge;
      s.SetDrawWidth(f.Pixels(0.45));
      if (previous)
        StyledLine(s, f, previous->months + dodge, *previous->meanMm, x, *mean.meanMm, style.dashMm,
                   style.colour);
      s.SetDrawWidth(f.Pixels(0.25));
      if (mean.lowMm && mean.highMm && Usable(*mean.lowMm) && Usable(*mean.highMm)) {
        const double cap = 0.6 * f.xPerMm;
        s.Line(x, *mean.lowMm, x, *mean.highMm, style.colour);
        s.Line(x - cap, *mean.lowMm, x + cap, *mean.lowMm, style.colour);
        s.Line(x - cap, *mean.highMm, x + cap, *mean.highMm, style.colour);
      }
      DrawMarker(s, f, x, *mean.meanMm, style.marker, style.colour);
      previous = &mean;
    }
  }
}

// Short bars at plus and minus the threshold over the primary visit only:
// the threshold is judged there, not along the whole course.
void DrawThresholdMark(Surface& s, const Frame& f, double x, double thresholdMm) {
  s.SetDrawWidth(f.Pixels(0.35));
  const double half = 2.5 * f.xPerMm;
  for (const double y : {thresholdMm, -thresholdMm}) s.Line(x - half, y, x + half, y, kThresholdColour);
}

void DrawAxes(const CohortPlot& plot, Surface& s, const Frame& f) {
  s.SetDrawWidth(f.Pixels(0.25));
  s.Line(0, f.yLow, f.xMax, f.yLow, kBlack);
  s.Line(0, f.yLow, 0, f.yHigh, kBlack);
  const double tickX = kTickMm * f.xPerMm, tickY = kTickMm * f.yPerMm;
  const double row = kRowMm * f.yPerMm;

  const double xStep = TickStep(f.xMax, 10, true);
  const double labelRow = f.yLow - tickY - 0.6 * row;
  for (int i = 0; i * xStep <= f.xMax + xStep / 1000; ++i) {
    const double x = i * xStep;
    s.Line(x, f.yLow, x, f.yLow - tickY, kBlack);
    s.TextAt(x, labelRow, TickLabel(x, xStep), Surface::Anchor::Centre);
  }
  const double yStep = TickStep(f.yHigh - f.yLow, 8, false);
  for (int i = 0; f.yLow + i * yStep <= f.yHigh + yStep / 1000; ++i) {
    const double y = f.yLow + i * yStep;
    s.Line(0, y, -tickX, y, kBlack);
    s.TextAt(-1.5 * tickX, y, TickLabel(y, yStep), Surface::Anchor::Right);
  }
  if (f.yLow < 0 && f.yHigh > 0) s.Line(0, 0, f.xMax, 0, Rgb{170, 170, 170});

  // The hips of each group at each visit, a row per group under the labels.
  for (std::size_t g = 0; g < plot.groups.size(); ++g) {
    const double y = labelRow - (static_cast<double>(g) + 1) * row;
    s.TextAt(-1.5 * tickX, y, ShortName(plot.groups[g].name), Surface::Anchor::Right);
    for (const CohortMean& mean : plot.groups[g].means)
      if (mean.months <= f.xMax) s.TextAt(mean.months, y, std::to_string(mean.n), Surface::Anchor::Centre);
  }
  const double titleRow = labelRow - (static_cast<double>(plot.groups.size()) + 1.1) * row;
  s.TextAt(f.xMax / 2, titleRow, kMonthsTitle, Surface::Anchor::Centre);
  s.TextAt(f.Left() + 0.5 * f.xPerMm, f.yHigh + 0.9 * row, kSubsidenceTitle, Surface::Anchor::Left);
}

void DrawLegend(const CohortPlot& plot, Surface& s, const Frame& f) {
  const double sample = 8 * f.xPerMm, textX = sample + 2 * f.xPerMm;
  const double row = kRowMm * f.yPerMm;
  double y = f.Top() - 0.7 * row;
  for (std::size_t g = 0; g < plot.groups.size(); ++g, y -= row) {
    const GroupStyle style = StyleOfGroup(static_cast<int>(g));
    s.SetDrawWidth(f.Pixels(0.45));
    StyledLine(s, f, 0, y, sample, y, style.dashMm, style.colour);
    DrawMarker(s, f, sample / 2, y, style.marker, style.colour);
    s.TextAt(textX, y, GroupLegend(plot.groups[g]), Surface::Anchor::Left);
  }
  s.SetDrawWidth(f.Pixels(0.15));
  s.Line(0, y, sample, y, Tint(StyleOfGroup(0).colour));
  s.TextAt(textX, y, kCoursesLegend, Surface::Anchor::Left);
  if (plot.primaryMonths) {
    y -= row;
    s.SetDrawWidth(f.Pixels(0.35));
    s.Line(sample / 2 - 2.5 * f.xPerMm, y, sample / 2 + 2.5 * f.xPerMm, y, kThresholdColour);
    s.TextAt(textX, y, ThresholdLegend(plot.thresholdMm, plot.primaryVisit), Surface::Anchor::Left);
  }
}

} // namespace

double CohortFigureHeightMm(double widthMm) { return 40 + 0.35 * widthMm; }

GroupStyle StyleOfGroup(int group) {
  // Okabe and Ito's colours, each with its own dash and marker.
  static constexpr GroupStyle kStyles[] = {
      {{0, 114, 178}, 0, Marker::Circle},     {{213, 94, 0}, 1.6, Marker::Square},
      {{0, 158, 115}, 0.6, Marker::Triangle}, {{204, 121, 167}, 3.0, Marker::Diamond},
      {{230, 159, 0}, 0, Marker::Square},     {{86, 180, 233}, 1.6, Marker::Triangle},
      {{0, 0, 0}, 0.6, Marker::Diamond},      {{240, 228, 66}, 3.0, Marker::Circle},
  };
  constexpr int count = static_cast<int>(std::size(kStyles));
  return kStyles[((group % count) + count) % count];
}

std::string GroupLegend(const CohortGroup& group) {
  return group.name + " (n = " + std::to_string(group.hips) + (group.hips == 1 ? " hip)" : " hips)");
}

std::string ThresholdLegend(double thresholdMm, const std::string& visit) {
  return "Threshold \u00B1" + TickLabel(thresholdMm, 0.01) + " mm at " + visit;
}

double TickStep(double span, int maxTicks, bool months) {
  if (!Usable(span) || span <= 0) return 1;
  if (months) {
    for (const double step : {1.0, 3.0, 6.0, 12.0, 24.0, 60.0, 120.0})
      if (span / step <= maxTicks) return step;
  }
  const double power = std::pow(10.0, std::floor(std::log10(span / maxTicks)));
  for (const double factor : {1.0, 2.0, 5.0, 10.0})
    if (span / (factor * power) <= maxTicks) return factor * power;
  return 10 * power;
}

std::string TickLabel(double value, double step) {
  int decimals = 0;
  while (decimals < 6 &&
         std::abs(step * std::pow(10.0, decimals) - std::round(step * std::pow(10.0, decimals))) >
             1e-6 * step * std::pow(10.0, decimals))
    ++decimals;
  // The figure goes with the study's CSV files, never with the locale.
  return RoundedText(value, decimals, kFileDecimalPoint);
}

void DrawCohortPlot(const CohortPlot& plot, Surface& s) {
  const Frame f = FrameFor(plot);
  s.Scale(f.Left(), f.Top(), f.Right(), f.Bottom());
  s.Cls();
  s.SetFontSize(kCohortTextPoints);
  DrawCourses(plot, s, f);
  if (plot.primaryMonths) DrawThresholdMark(s, f, *plot.primaryMonths, plot.thresholdMm);
  DrawMeans(plot, s, f);
  DrawAxes(plot, s, f);
  DrawLegend(plot, s, f);
  s.SetDrawWidth(1);
}

void DashedLine(Surface& s, double x1, double x2, double y, double dash, Rgb colour) {
  for (double x = x1; x < x2; x += 2 * dash) s.Line(x, y, std::min(x + dash, x2), y, colour);
}

} // namespace sinkview
