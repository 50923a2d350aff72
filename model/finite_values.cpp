#include "model/finite_values.h"

#include <cmath>

#include "base/reader_text.h"
#include "model/segments.h"

namespace sinkview {

int FirstRadiographNotFinite(const PreparedSeries& p) {
  const MeasurementModel& m = p.model;
  const Flags& starts = p.segmentStarts;
  const Series* subsidences[] = {&m.CorrectedHeadMinor, &m.CorrectedHeadMajor, &m.CorrectedShoulderMinor,
                                 &m.CorrectedShoulderMajor};
  for (int k = 1; k <= m.RadiographCount; ++k) {
    bool finite = std::isfinite(m.BoneStemAngle[k]);
    for (auto series : kScaledSeries) finite = finite && std::isfinite((m.*series)[k]);
    for (const AnalysisRun& run : kAnalysisRuns) finite = finite && std::isfinite((m.*run.corrected)[k]);
    // The changes, for every subsidence the settings may choose.
    const ChangesSinceStart c = Changes(p, k, starts[k]);
    for (float change : c.parameters) finite = finite && std::isfinite(change);
    for (const Series* sub : subsidences) {
      const float change = (*sub)[k] - (*sub)[starts[k]];
      finite = finite && std::isfinite(change) && std::isfinite(change - c.stemCement);
    }
    if (!finite) return k;
  }
  return 0;
}

Expected<void, Failure> CheckAllFinite(const PreparedSeries& p, const std::string& dataFile) {
  const int k = FirstRadiographNotFinite(p);
  if (k == 0) return {};
  return Unexpected{Failure{ShownFileName(dataFile) + ": the values of radiograph " + std::to_string(k) +
                            " (in date order) are too large to be computed; the series is rejected."}};
}

} // namespace sinkview
