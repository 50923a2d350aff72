#include "graphics/diagram_assignment.h"

#include "graphics/plotting.h"
#include "graphics/stem_sketch.h"

namespace sinkview {

namespace {

void PlotMedial(const MeasurementModel& m, Surface& box) {
  PlotDistanceCurves(m, m.CorrectedMedial1, m.CorrectedMedial2, m.CorrectedMedial3, m.CorrectedMedial4, box);
}

void PlotLateral(const MeasurementModel& m, Surface& box) {
  PlotDistanceCurves(m, m.CorrectedLateral5, m.CorrectedLateral6, m.CorrectedLateral7, m.CorrectedLateral8,
                     box);
}

void PlotAngle(const PreparedSeries& p, Surface& box) {
  PlotSeries(p.model, p.model.CorrectedAngle, p.settings.ZoomRange, box);
}

} // namespace

bool IsRightSide(const MeasurementModel& m) { return m.ProsthesisSide == "right"; }

void OverlayAlignedSeries(const MeasurementModel& m, const Series& reference, const Series& series,
                          Surface& box) {
  const auto offset = static_cast<float>(static_cast<double>(reference[1]) - static_cast<double>(series[1]));
  const auto y = [&](int i) { return static_cast<float>(static_cast<double>(series[i]) + offset); };
  for (int i = 1; i < RadiographsDrawn(m); ++i)
    box.Line(m.ElapsedDays[i], y(i), m.ElapsedDays[i + 1], y(i + 1), kLightRed);
}

void PlotSubsidence(const PreparedSeries& p, Surface& box) {
  const MeasurementModel& m = p.model;
  const Series& raw = RawSubsidence(p);
  PlotSeries(m, CorrectedSubsidence(p), p.settings.ZoomRange, box);
  if (p.settings.ShowRawData == RawData::Shown) OverlaySeries(m, raw, box);
  if (m.HasStemCementData) OverlayAlignedSeries(m, raw, m.CorrectedStemCement, box);
}

void PaintPicture(int number, const PreparedSeries& p, const std::string& programDirectory, Surface& box) {
  const MeasurementModel& m = p.model;
  const bool right = IsRightSide(m);
  switch (number) {
  case 1:
    DrawStemSketch(m.ProsthesisSide, programDirectory, box);
    break;
  case 2:
    right ? PlotLateral(m, box) : PlotMedial(m, box);
    break;
  case 3:
    right ? PlotAngle(p, box) : PlotSubsidence(p, box);
    break;
  case 4:
    right ? PlotMedial(m, box) : PlotLateral(m, box);
    break;
  case 5:
    right ? PlotSubsidence(p, box) : PlotAngle(p, box);
    break;
  default:
    break;
  }
}

} // namespace sinkview
