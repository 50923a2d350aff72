#include "model/segments.h"

#include "base/numtext.h"

namespace sinkview {

Flags SegmentStarts(const MeasurementModel& m) {
  Flags starts{};
  if (m.RadiographCount < 1) return starts;
  std::int16_t s = 1;
  starts[1] = s;
  for (int i = 2; i <= m.RadiographCount; ++i) {
    if (m.DisconnectionFlag[i] == 0 && m.DisconnectionFlag[i - 1] == 1) s = static_cast<std::int16_t>(i);
    starts[i] = s;
  }
  return starts;
}

ChangesSinceStart Changes(const PreparedSeries& p, int i, int s) {
  const MeasurementModel& m = p.model;
  ChangesSinceStart c;
  for (std::size_t p = 0; p < kParameterSeries.size(); ++p) {
    const Series& series = m.*kParameterSeries[p];
    c.parameters[p] = series[i] - series[s];
  }
  const Series& sub = CorrectedSubsidence(p);
  c.subsidence = sub[i] - sub[s];
  c.stemCement = m.CorrectedStemCement[i] - m.CorrectedStemCement[s];
  c.cementBone = c.subsidence - c.stemCement;
  return c;
}

double MonthsSinceFirst(const MeasurementModel& m, int i) {
  return RoundHalfEven(MonthsForDays(m.ElapsedDays[i]));
}

} // namespace sinkview
