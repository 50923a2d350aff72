#include "graphics/model_means_plot.h"

#include <algorithm>
#include <cmath>

#include "graphics/cohort_plot.h"

namespace sinkview {

namespace {

// Between the groups at a visit: wider than an interval's caps (1.2 mm),
// so none hides another.
constexpr double kDodgeMm = 1.6;
// At least half a point, as every line of the figure.
constexpr double kThinMm = 0.25, kPrimaryDashMm = 1.0;

bool Usable(double v) { return std::isfinite(v); }
bool Usable(const std::optional<double>& v) { return v && Usable(*v); }

using Frame = PlotFrame;

int LegendRows(const ModelMeansPlot& plot) {
  return static_cast<int>(plot.groups.size()) + 1 + (plot.primaryMonths ? 1 : 0);
}

Frame FrameFor(const ModelMeansPlot& plot) {
  double xHigh = 12, yLow = 0, yHigh = 0; // at least a year, and zero in sight
  const auto takeX = [&](double x) { xHigh = Usable(x) ? std::max(xHigh, x) : xHigh; };
  const auto takeY = [&](const std::optional<double>& y) {
    if (!Usable(y)) return;
    yLow = std::min(yLow, *y);
    yHigh = std::max(yHigh, *y);
  };
  if (plot.primaryMonths) takeX(*plot.primaryMonths);
  for (const ModelMeansGroup& group : plot.groups) {
    for (const MeanMark& mean : group.means) {
      if (!Usable(mean.meanMm)) continue;
      takeX(mean.months);
      for (const auto& y : {mean.meanMm, mean.lowMm, mean.highMm}) takeY(y);
    }
  }
  Frame f;
  f.bottomMm = 1 + kPlotRowMm * 2.3;
  f.topMm = kPlotRowMm * (LegendRows(plot) + 1.5);
  FitPlotFrame(f, xHigh, yLow, yHigh, 0, plot.widthMm, plot.heightMm, plot.pixelsPerMm);
  return f;
}

void DrawAxes(Surface& s, const Frame& f, const std::string& monthsTitle) {
  const double labelRow = DrawPlotAxes(s, f);
  const double row = kPlotRowMm * f.yPerMm;
  s.TextAt(f.xMax / 2, labelRow - 1.1 * row, monthsTitle, Surface::Anchor::Centre);
  s.TextAt(f.Left() + 0.5 * f.xPerMm, f.yHigh + 0.9 * row, kSubsidenceTitle, Surface::Anchor::Left);
}

// Each group moved aside by its place among the groups.
void DrawMeans(const ModelMeansPlot& plot, Surface& s, const Frame& f) {
  const double groups = static_cast<double>(plot.groups.size());
  for (std::size_t g = 0; g < plot.groups.size(); ++g)
    DrawGroupMeans(s, f, static_cast<int>(g), (static_cast<double>(g) - (groups - 1) / 2) * kDodgeMm,
                   plot.groups[g].means);
}

void DrawPrimaryVisit(Surface& s, const Frame& f, double months) {
  s.SetDrawWidth(f.Pixels(kThinMm));
  StyledLine(s, f, months, f.yLow, months, f.yHigh, kPrimaryDashMm, kThresholdColour);
}

void DrawLegend(const ModelMeansPlot& plot, Surface& s, const Frame& f) {
  const double sample = 8 * f.xPerMm, textX = sample + 2 * f.xPerMm;
  const double row = kPlotRowMm * f.yPerMm;
  std::vector<std::string> names;
  for (const ModelMeansGroup& group : plot.groups) names.push_back(group.name);
  double y = DrawGroupLegend(s, f, names);
  s.TextAt(textX, y, kModelMeansLegend, Surface::Anchor::Left);
  if (plot.primaryMonths) {
    y -= row;
    s.SetDrawWidth(f.Pixels(kThinMm));
    StyledLine(s, f, 0, y, sample, y, kPrimaryDashMm, kThresholdColour);
    s.TextAt(textX, y, PrimaryVisitLegend(plot.primaryVisit), Surface::Anchor::Left);
  }
}

} // namespace

double ModelMeansFigureHeightMm(double widthMm) { return 30 + 0.35 * widthMm; }

std::string PrimaryVisitLegend(const std::string& visit) {
  return "Dashed grey line: primary visit (" + visit + ")";
}

void DrawModelMeansPlot(const ModelMeansPlot& plot, Surface& s) {
  const Frame f = FrameFor(plot);
  s.Scale(f.Left(), f.Top(), f.Right(), f.Bottom());
  s.Cls();
  s.SetFontSize(kCohortTextPoints);
  if (plot.primaryMonths && Usable(*plot.primaryMonths) && *plot.primaryMonths <= f.xMax)
    DrawPrimaryVisit(s, f, *plot.primaryMonths);
  DrawMeans(plot, s, f);
  DrawAxes(s, f, plot.monthsTitle);
  DrawLegend(plot, s, f);
  s.SetDrawWidth(1);
}

} // namespace sinkview
