#include "graphics/survival_plot.h"

#include <algorithm>
#include <cmath>

namespace sinkview {

namespace {

constexpr double kTickMm = 1.0, kKaplanMeierDashMm = 0.8;
constexpr std::size_t kNameChars = 12; // of a group's name in the rows at risk

bool Usable(double v) { return std::isfinite(v); }

std::string ShortName(const std::string& name) {
  return name.size() <= kNameChars ? name : name.substr(0, kNameChars - 1) + "\u2026";
}

// Three quarters to white: a band stays behind every curve.
Rgb BandColour(Rgb c) {
  const auto pale = [](int v) { return static_cast<std::uint8_t>(v + (255 - v) * 75 / 100); };
  return Rgb{pale(c.red), pale(c.green), pale(c.blue)};
}

PlotFrame FrameFor(const SurvivalPlot& plot) {
  double xHigh = 1, yHigh = 1; // at least a year and a percent
  std::size_t nameChars = 0;
  for (const SurvivalCurves& group : plot.groups) {
    nameChars = std::max(nameChars, ShortName(group.name).size());
    for (const auto* curve : {&group.incidence, &group.oneMinusKaplanMeier})
      for (const SurvivalStep& step : *curve) {
        if (Usable(step.years)) xHigh = std::max(xHigh, step.years);
        for (const std::optional<double>& y : {std::optional(step.estimate), step.high})
          if (y && Usable(*y)) yHigh = std::max(yHigh, 100 * *y);
      }
  }
  PlotFrame f;
  const double groups = static_cast<double>(plot.groups.size());
  f.bottomMm = kTickMm + kPlotRowMm * (groups + 2.3);
  f.topMm = kPlotRowMm * (groups + 2.5);
  FitPlotFrame(f, xHigh, 0, std::min(100.0, yHigh), nameChars, plot.widthMm, plot.heightMm, plot.pixelsPerMm);
  return f;
}

// Each step's interval as a box to the next step, within the frame.
void DrawBand(Surface& s, const PlotFrame& f, const std::vector<SurvivalStep>& steps, Rgb colour) {
  for (std::size_t i = 0; i + 1 < steps.size(); ++i) {
    const SurvivalStep& step = steps[i];
    if (!step.low || !step.high || !Usable(*step.low) || !Usable(*step.high) || step.years > f.xMax) continue;
    const double x1 = step.years, x2 = std::min(steps[i + 1].years, f.xMax);
    const double y1 = std::clamp(100 * *step.low, f.yLow, f.yHigh),
                 y2 = std::clamp(100 * *step.high, f.yLow, f.yHigh);
    if (Usable(x1) && Usable(x2) && x2 > x1) s.Fill({{x1, y1}, {x2, y1}, {x2, y2}, {x1, y2}}, colour);
  }
}

// Across to the next step's time, then up to its estimate.
void DrawSteps(Surface& s, const PlotFrame& f, const std::vector<SurvivalStep>& steps, double dashMm,
               Rgb colour) {
  for (std::size_t i = 0; i + 1 < steps.size(); ++i) {
    const double x1 = steps[i].years, x2 = std::min(steps[i + 1].years, f.xMax);
    const double y1 = 100 * steps[i].estimate, y2 = 100 * steps[i + 1].estimate;
    if (!Usable(x1) || !Usable(x2) || !Usable(y1) || !Usable(y2) || x1 > f.xMax) continue;
    StyledLine(s, f, x1, y1, x2, y1, dashMm, colour);
    if (steps[i + 1].years <= f.xMax && y2 != y1) StyledLine(s, f, x2, y1, x2, y2, dashMm, colour);
  }
}

void DrawCurves(const SurvivalPlot& plot, Surface& s, const PlotFrame& f) {
  for (std::size_t g = 0; g < plot.groups.size(); ++g)
    DrawBand(s, f, plot.groups[g].incidence, BandColour(StyleOfGroup(static_cast<int>(g)).colour));
  for (std::size_t g = 0; g < plot.groups.size(); ++g) {
    const SurvivalCurves& group = plot.groups[g];
    const GroupStyle style = StyleOfGroup(static_cast<int>(g));
    s.SetDrawWidth(f.Pixels(0.25));
    DrawSteps(s, f, group.oneMinusKaplanMeier, kKaplanMeierDashMm, style.colour);
    s.SetDrawWidth(f.Pixels(0.45));
    DrawSteps(s, f, group.incidence, 0, style.colour);
    // The group's marker where its curve ends, so a grey print keeps the groups apart.
    if (!group.incidence.empty() && group.incidence.back().years <= f.xMax)
      DrawMarker(s, f, group.incidence.back().years, 100 * group.incidence.back().estimate, style.marker,
                 style.colour);
  }
}

void DrawAxes(const SurvivalPlot& plot, Surface& s, const PlotFrame& f) {
  const double labelRow = DrawPlotAxes(s, f);
  const double tickX = kTickMm * f.xPerMm, row = kPlotRowMm * f.yPerMm;
  for (std::size_t g = 0; g < plot.groups.size(); ++g) {
    const double y = labelRow - (static_cast<double>(g) + 1) * row;
    s.TextAt(-1.5 * tickX, y, ShortName(plot.groups[g].name), Surface::Anchor::Right);
    for (const SurvivalAtRisk& at : plot.groups[g].atRisk)
      if (Usable(at.years) && at.years <= f.xMax)
        s.TextAt(at.years, y, std::to_string(at.hips), Surface::Anchor::Centre);
  }
  const double titleRow = labelRow - (static_cast<double>(plot.groups.size()) + 1.1) * row;
  s.TextAt(f.xMax / 2, titleRow, kSurvivalYearsTitle, Surface::Anchor::Centre);
  s.TextAt(f.Left() + 0.5 * f.xPerMm, f.yHigh + 0.9 * row, kSurvivalIncidenceTitle, Surface::Anchor::Left);
}

void DrawLegend(const SurvivalPlot& plot, Surface& s, const PlotFrame& f) {
  const double sample = 8 * f.xPerMm, textX = sample + 2 * f.xPerMm, row = kPlotRowMm * f.yPerMm;
  double y = f.Top() - 0.7 * row;
  for (std::size_t g = 0; g < plot.groups.size(); ++g, y -= row) {
    const GroupStyle style = StyleOfGroup(static_cast<int>(g));
    s.SetDrawWidth(f.Pixels(0.45));
    s.Line(0, y, sample, y, style.colour);
    DrawMarker(s, f, sample, y, style.marker, style.colour);
    const long hips = plot.groups[g].atRisk.empty() ? 0 : plot.groups[g].atRisk.front().hips;
    s.TextAt(textX, y, GroupLegend({plot.groups[g].name, static_cast<int>(hips), {}}), Surface::Anchor::Left);
  }
  s.TextAt(textX, y, kSurvivalLegend, Surface::Anchor::Left);
}

} // namespace

void DrawSurvivalPlot(const SurvivalPlot& plot, Surface& s) {
  const PlotFrame f = FrameFor(plot);
  s.Scale(f.Left(), f.Top(), f.Right(), f.Bottom());
  s.Cls();
  s.SetFontSize(kCohortTextPoints);
  DrawCurves(plot, s, f);
  DrawAxes(plot, s, f);
  DrawLegend(plot, s, f);
  s.SetDrawWidth(1);
}

} // namespace sinkview
