#include "graphics/cohort_plot.h"

#include <algorithm>
#include <cmath>

#include "base/numtext.h"

namespace sinkview {

namespace {

constexpr double kMmPerPoint = 25.4 / 72;
// A character's mean width, in millimetres.
constexpr double kCharMm = 0.55 * kCohortTextPoints * kMmPerPoint;
constexpr double kTickMm = 1.0;
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

using Frame = PlotFrame;

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
  f.bottomMm = kTickMm + kPlotRowMm * (static_cast<double>(plot.groups.size()) + 2.3);
  f.topMm = kPlotRowMm * (LegendRows(plot) + 1.5);
  std::size_t nameChars = 0;
  for (const CohortGroup& group : plot.groups) nameChars = std::max(nameChars, ShortName(group.name).size());
  FitPlotFrame(f, x.high, y.low, y.high, nameChars, plot.widthMm, plot.heightMm, plot.pixelsPerMm);
  return f;
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
    std::vector<MeanMark> marks;
    for (const CohortMean& mean : plot.groups[g].means)
      marks.push_back({mean.months, mean.meanMm, mean.lowMm, mean.highMm});
    DrawGroupMeans(s, f, static_cast<int>(g), (static_cast<double>(g) - (groups - 1) / 2) * 1.2, marks);
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
  const double labelRow = DrawPlotAxes(s, f);
  const double tickX = kTickMm * f.xPerMm, row = kPlotRowMm * f.yPerMm;
  // The hips of each group at each visit, a row per group under the labels.
  for (std::size_t g = 0; g < plot.groups.size(); ++g) {
    const double y = labelRow - (static_cast<double>(g) + 1) * row;
    s.TextAt(-1.5 * tickX, y, ShortName(plot.groups[g].name), Surface::Anchor::Right);
    for (const CohortMean& mean : plot.groups[g].means)
      if (mean.months <= f.xMax) s.TextAt(mean.months, y, std::to_string(mean.n), Surface::Anchor::Centre);
  }
  const double titleRow = labelRow - (static_cast<double>(plot.groups.size()) + 1.1) * row;
  s.TextAt(f.xMax / 2, titleRow, plot.monthsTitle, Surface::Anchor::Centre);
  s.TextAt(f.Left() + 0.5 * f.xPerMm, f.yHigh + 0.9 * row, kSubsidenceTitle, Surface::Anchor::Left);
}

void DrawLegend(const CohortPlot& plot, Surface& s, const Frame& f) {
  const double sample = 8 * f.xPerMm, textX = sample + 2 * f.xPerMm;
  const double row = kPlotRowMm * f.yPerMm;
  std::vector<std::string> texts;
  for (const CohortGroup& group : plot.groups) texts.push_back(GroupLegend(group));
  double y = DrawGroupLegend(s, f, texts);
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

void StyledLine(Surface& s, const PaperScale& f, double x1, double y1, double x2, double y2, double dashMm,
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

void DrawMarker(Surface& s, const PaperScale& f, double x, double y, Marker marker, Rgb colour) {
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

int PlotFrame::Pixels(double mm) const {
  return std::max(1, static_cast<int>(std::lround(mm * pixelsPerMm)));
}

void FitPlotFrame(PlotFrame& f, double xHigh, double yLow, double yHigh, std::size_t nameChars,
                  double widthMm, double heightMm, double pixelsPerMm) {
  const double xStep = TickStep(xHigh, 10, true);
  const double yStep = TickStep(yHigh - yLow, 8, false);
  f.xMax = std::ceil(xHigh / xStep) * xStep;
  f.yLow = std::floor(yLow / yStep) * yStep;
  f.yHigh = std::ceil(yHigh / yStep) * yStep;
  if (f.yHigh - f.yLow < yStep) f.yHigh = f.yLow + yStep;

  std::size_t labelChars = std::max<std::size_t>(1, nameChars);
  for (int i = 0; f.yLow + i * yStep <= f.yHigh + yStep / 1000; ++i)
    labelChars = std::max(labelChars, TickLabel(f.yLow + i * yStep, yStep).size());
  f.leftMm = kTickMm + 1 + kCharMm * static_cast<double>(labelChars);
  const double diagramWidth = std::max(10.0, widthMm - f.leftMm - f.rightMm);
  const double diagramHeight = std::max(10.0, heightMm - f.topMm - f.bottomMm);
  f.xPerMm = f.xMax / diagramWidth;
  f.yPerMm = (f.yHigh - f.yLow) / diagramHeight;
  f.pixelsPerMm = Usable(pixelsPerMm) && pixelsPerMm > 0 ? pixelsPerMm : 1;
}

double DrawPlotAxes(Surface& s, const PlotFrame& f) {
  s.SetDrawWidth(f.Pixels(0.25));
  s.Line(0, f.yLow, f.xMax, f.yLow, kBlack);
  s.Line(0, f.yLow, 0, f.yHigh, kBlack);
  const double tickX = kTickMm * f.xPerMm, tickY = kTickMm * f.yPerMm;
  const double row = kPlotRowMm * f.yPerMm;

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
  return labelRow;
}

void DrawGroupMeans(Surface& s, const PlotFrame& f, int group, double dodgeMm,
                    const std::vector<MeanMark>& means) {
  const GroupStyle style = StyleOfGroup(group);
  const double dodge = dodgeMm * f.xPerMm;
  const MeanMark* previous = nullptr;
  for (const MeanMark& mean : means) {
    if (!mean.meanMm || !Usable(*mean.meanMm) || !Usable(mean.months) || mean.months > f.xMax) continue;
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

double DrawGroupLegend(Surface& s, const PlotFrame& f, const std::vector<std::string>& texts) {
  const double sample = 8 * f.xPerMm, textX = sample + 2 * f.xPerMm;
  const double row = kPlotRowMm * f.yPerMm;
  double y = f.Top() - 0.7 * row;
  for (std::size_t g = 0; g < texts.size(); ++g, y -= row) {
    const GroupStyle style = StyleOfGroup(static_cast<int>(g));
    s.SetDrawWidth(f.Pixels(0.45));
    StyledLine(s, f, 0, y, sample, y, style.dashMm, style.colour);
    DrawMarker(s, f, sample / 2, y, style.marker, style.colour);
    s.TextAt(textX, y, texts[g], Surface::Anchor::Left);
  }
  return y;
}

double CohortFigureHeightMm(double widthMm) { return 40 + 0.35 * widthMm; }

GroupStyle StyleOfGroup(int group) {
  // Colours that readers with a colour-vision deficiency still tell apart, each with its own
  // dash and marker, so a grey print keeps the groups apart too.
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
