#include "graphics/diagram_assignment.h"

#include "graphics/plotting.h"
#include "graphics/stem_sketch.h"

namespace sinkview {

namespace {

// The stacked curves' zeros, named from the number of the first distance on.
std::vector<CurveZero> StackedZeros(int firstNumber) {
  std::vector<CurveZero> zeros;
  for (const double y : kStackedZeros) zeros.push_back({y, std::to_string(firstNumber++)});
  return zeros;
}

DrawnDiagram PlotMedial(const MeasurementModel& m, Surface& box) {
  return {PlotDistanceCurves(m, m.CorrectedMedial1, m.CorrectedMedial2, m.CorrectedMedial3,
                             m.CorrectedMedial4, box),
          kMedialQuantity, 0, StackedZeros(1)};
}

DrawnDiagram PlotLateral(const MeasurementModel& m, Surface& box) {
  return {PlotDistanceCurves(m, m.CorrectedLateral5, m.CorrectedLateral6, m.CorrectedLateral7,
                             m.CorrectedLateral8, box),
          kLateralQuantity, 0, StackedZeros(5)};
}

DrawnDiagram PlotAngle(const PreparedSeries& p, Surface& box) {
  return {PlotSeries(p.model, p.model.CorrectedAngle, p.settings.ZoomRange, box), kAngleQuantity};
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

DrawnDiagram PlotSubsidence(const PreparedSeries& p, Surface& box) {
  const MeasurementModel& m = p.model;
  const Series &corrected = CorrectedSubsidence(p), &raw = RawSubsidence(p);
  // The first radiograph is where the changes start; the raw series starts
  // on the same value, the correction keeping the first one.
  DrawnDiagram drawn{
      PlotSeries(m, corrected, p.settings.ZoomRange, box), kSubsidenceQuantity, corrected[1], {}};
  if (p.settings.ShowRawData == RawData::Shown) OverlaySeries(m, raw, box);
  if (m.HasStemCementData) OverlayAlignedSeries(m, corrected, m.CorrectedStemCement, box);
  return drawn;
}

std::optional<DrawnDiagram> PaintPicture(int number, const PreparedSeries& p,
                                         const std::string& programDirectory, Surface& box) {
  const MeasurementModel& m = p.model;
  const bool right = IsRightSide(m);
  switch (number) {
  case 1:
    DrawStemSketch(m.ProsthesisSide, programDirectory, box);
    break;
  case 2:
    return right ? PlotLateral(m, box) : PlotMedial(m, box);
  case 3:
    return right ? PlotAngle(p, box) : PlotSubsidence(p, box);
  case 4:
    return right ? PlotMedial(m, box) : PlotLateral(m, box);
  case 5:
    return right ? PlotSubsidence(p, box) : PlotAngle(p, box);
  default:
    break;
  }
  return std::nullopt;
}

} // namespace sinkview
