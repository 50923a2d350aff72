#include "graphics/cohort_plot.h"

#include <algorithm>
#include <cmath>

#include "model/numtext.h"

namespace sinkview {

namespace {

// The margins around the diagram, as fractions of the figure: room for the
// tick labels and the "n" row below, the legend above.
constexpr double kLeft = 0.09, kRight = 0.03, kTop = 0.2, kBottom = 0.15;
// One text row, as a fraction of the figure's height.
constexpr double kRow = 0.045;

bool Usable(double v) { return std::isfinite(v); }

struct Range {
  double low = 0, high = 0;
  void Take(double v) {
    if (!Usable(v)) return;
    low = std::min(low, v);
    high = std::max(high, v);
  }
};

// The user coordinates of the figure: the diagram's data range and the
// margins beyond it.
struct Frame {
  double xMax, yLow, yHigh; // the diagram
  double xUnit, yUnit;      // one whole figure's width and height in user units
  double Left() const { return -kLeft * xUnit; }
  double Top() const { return yHigh + kTop * yUnit; }
};

Frame FrameFor(const CohortPlot& plot) {
  Range x, y;
  x.Take(12); // at least a year, so a cohort of early radiographs is not stretched
  y.Take(plot.thresholdMm);
  y.Take(-plot.thresholdMm);
  for (const CohortCourse& course : plot.courses) {
    for (std::size_t i = 0; i < course.months.size() && i < course.changeMm.size(); ++i) {
      if (!Usable(course.months[i]) || !Usable(course.changeMm[i])) continue;
      x.Take(course.months[i]);
      y.Take(course.changeMm[i]);
    }
  }
  for (const CohortMean& mean : plot.means) {
    x.Take(mean.months);
    y.Take(mean.meanMm);
    if (mean.lowMm) y.Take(*mean.lowMm);
    if (mean.highMm) y.Take(*mean.highMm);
  }
  const double xStep = TickStep(x.high, 10, true);
  const double yStep = TickStep(y.high - y.low, 8, false);
  Frame f{};
  f.xMax = std::ceil(x.high / xStep) * xStep;
  f.yLow = std::floor(y.low / yStep) * yStep;
  f.yHigh = std::ceil(y.high / yStep) * yStep;
  if (f.yHigh - f.yLow < yStep) f.yHigh = f.yLow + yStep;
  f.xUnit = f.xMax / (1 - kLeft - kRight);
  f.yUnit = (f.yHigh - f.yLow) / (1 - kTop - kBottom);
  return f;
}

void DrawBand(const CohortPlot& plot, Surface& s) {
  // One polygon per run of follow-up times that have an interval.
  std::vector<const CohortMean*> run;
  const auto flush = [&] {
    if (run.size() >= 2) {
      std::vector<Surface::Point> corners;
      for (const CohortMean* m : run) corners.push_back({m->months, *m->highMm});
      for (auto m = run.rbegin(); m != run.rend(); ++m) corners.push_back({(*m)->months, *(*m)->lowMm});
      s.Fill(corners, kBandColour);
    }
    run.clear();
  };
  for (const CohortMean& mean : plot.means) {
    if (mean.lowMm && mean.highMm && Usable(*mean.lowMm) && Usable(*mean.highMm)) {
      run.push_back(&mean);
    } else {
      flush();
    }
  }
  flush();
}

void DrawCourses(const CohortPlot& plot, Surface& s) {
  s.SetDrawWidth(1);
  for (const CohortCourse& course : plot.courses) {
    const std::size_t n = std::min(course.months.size(), course.changeMm.size());
    for (std::size_t i = 1; i < n; ++i) {
      const double x1 = course.months[i - 1], y1 = course.changeMm[i - 1];
      const double x2 = course.months[i], y2 = course.changeMm[i];
      if (Usable(x1) && Usable(y1) && Usable(x2) && Usable(y2)) s.Line(x1, y1, x2, y2, kCourseColour);
    }
  }
}

void DrawMeans(const CohortPlot& plot, Surface& s, const Frame& f) {
  s.SetDrawWidth(2);
  const CohortMean* previous = nullptr;
  for (const CohortMean& mean : plot.means) {
    if (!Usable(mean.meanMm)) continue;
    if (previous) s.Line(previous->months, previous->meanMm, mean.months, mean.meanMm, kMeanColour);
    // A small cross marks each time, so a mean of n = 1 is seen too.
    const double dx = 0.004 * f.xUnit, dy = 0.006 * f.yUnit;
    s.Line(mean.months - dx, mean.meanMm, mean.months + dx, mean.meanMm, kMeanColour);
    s.Line(mean.months, mean.meanMm - dy, mean.months, mean.meanMm + dy, kMeanColour);
    previous = &mean;
  }
  s.SetDrawWidth(1);
}

void DrawAxes(const CohortPlot& plot, Surface& s, const Frame& f) {
  const Rgb black{0, 0, 0};
  s.Line(0, f.yLow, f.xMax, f.yLow, black);
  s.Line(0, f.yLow, 0, f.yHigh, black);
  const double tickX = 0.008 * f.xUnit, tickY = 0.012 * f.yUnit;

  const double xStep = TickStep(f.xMax, 10, true);
  for (int i = 0; i * xStep <= f.xMax + xStep / 1000; ++i) {
    const double x = i * xStep;
    s.Line(x, f.yLow, x, f.yLow - tickY, black);
    s.TextAt(x, f.yLow - 0.035 * f.yUnit, TickLabel(x, xStep), Surface::Anchor::Centre);
  }
  const double yStep = TickStep(f.yHigh - f.yLow, 8, false);
  for (int i = 0; f.yLow + i * yStep <= f.yHigh + yStep / 1000; ++i) {
    const double y = f.yLow + i * yStep;
    s.Line(0, y, -tickX, y, black);
    s.TextAt(-1.5 * tickX, y, TickLabel(y, yStep), Surface::Anchor::Right);
  }
  if (f.yLow < 0 && f.yHigh > 0) s.Line(0, 0, f.xMax, 0, Rgb{120, 120, 120});

  // The number of patients at each follow-up time, under the tick labels.
  const double nRow = f.yLow - (0.035 + kRow) * f.yUnit;
  s.TextAt(-1.5 * tickX, nRow, "n", Surface::Anchor::Right);
  for (const CohortMean& mean : plot.means)
    s.TextAt(mean.months, nRow, std::to_string(mean.n), Surface::Anchor::Centre);
  s.TextAt(f.xMax / 2, f.yLow - (0.035 + 2 * kRow) * f.yUnit, "months", Surface::Anchor::Centre);
  s.TextAt(f.Left() + 0.015 * f.xUnit, (f.yLow + f.yHigh) / 2, "mm", Surface::Anchor::Left);
}

void DrawLegend(const CohortPlot& plot, Surface& s, const Frame& f) {
  const double sample = 0.04 * f.xUnit, textX = sample + 0.01 * f.xUnit;
  double y = f.Top() - 0.6 * kRow * f.yUnit;
  s.TextAt(0, y, "Change of the corrected subsidence since the first radiograph", Surface::Anchor::Left);
  const auto row = [&] { return y -= kRow * f.yUnit; };

  row();
  s.Line(0, y, sample, y, kCourseColour);
  s.TextAt(textX, y, CoursesLegend(static_cast<int>(plot.courses.size())), Surface::Anchor::Left);

  row();
  s.Fill({{0, y - 0.012 * f.yUnit},
          {sample, y - 0.012 * f.yUnit},
          {sample, y + 0.012 * f.yUnit},
          {0, y + 0.012 * f.yUnit}},
         kBandColour);
  s.SetDrawWidth(2);
  s.Line(0, y, sample, y, kMeanColour);
  s.SetDrawWidth(1);
  s.TextAt(textX, y, kMeanLegend, Surface::Anchor::Left);

  row();
  DashedLine(s, 0, sample, y, sample / 7, kThresholdColour);
  s.TextAt(textX, y, ThresholdLegend(plot.thresholdMm), Surface::Anchor::Left);
}

} // namespace

void DashedLine(Surface& s, double x1, double x2, double y, double dash, Rgb colour) {
  for (double x = x1; x < x2; x += 2 * dash) s.Line(x, y, std::min(x + dash, x2), y, colour);
}

std::string CoursesLegend(int patients) { return "Each patient (n = " + std::to_string(patients) + ")"; }

std::string ThresholdLegend(double thresholdMm) {
  return "Threshold \u00B1" + TickLabel(thresholdMm, 0.01) + " mm";
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
  s.Scale(f.Left(), f.Top(), f.xMax + kRight * f.xUnit, f.yLow - kBottom * f.yUnit);
  s.Cls();
  s.SetDrawWidth(1);
  DrawBand(plot, s);
  DrawCourses(plot, s);
  const double dash = 0.008 * f.xUnit;
  DashedLine(s, 0, f.xMax, plot.thresholdMm, dash, kThresholdColour);
  DashedLine(s, 0, f.xMax, -plot.thresholdMm, dash, kThresholdColour);
  DrawMeans(plot, s, f);
  DrawAxes(plot, s, f);
  DrawLegend(plot, s, f);
}

} // namespace sinkview
