#include "model/preparation.h"

#include "model/comparability.h"

namespace sinkview {

float MagnificationFactor(const MeasurementModel& m, const Settings& settings, int i) {
  if (settings.MagnificationSource != MagnificationBasis::HeadRadius) {
    if (settings.UseMeanMagnification == FactorChoice::Mean) return m.MeanStemLengthFactor;
    return static_cast<float>(1.0 / static_cast<double>(m.MagnificationStemLength[i]));
  }
  if (settings.UseMeanMagnification == FactorChoice::Mean) return m.MeanHeadRadiusFactor;
  return static_cast<float>(1.0 / static_cast<double>(m.MagnificationHeadRadius[i]));
}

MeasurementModel CorrectedForMagnification(const MeasurementModel& read, const Settings& settings) {
  MeasurementModel m = read;
  for (int i = 1; i <= m.RadiographCount; ++i) {
    const double factor = MagnificationFactor(m, settings, i);
    for (auto series : kScaledSeries) {
      float& value = (m.*series)[i];
      value = static_cast<float>(factor * value);
    }
  }
  return m;
}

void RunAnalyses(MeasurementModel& m, const Settings& settings) {
  // Which pairs are comparable does not depend on the series, so it is
  // decided once; the fourteen series are then corrected side by side.
  m.DisconnectionFlag.fill(0);
  m.IsolatedFlag.fill(0);
  ComparabilityWork work; // value-initialised: every work array zero
  AnalysePairs(m, settings, work);
  std::array<const Series*, kAnalysisRuns.size()> measured{};
  std::array<Series*, kAnalysisRuns.size()> corrected{};
  for (std::size_t r = 0; r < kAnalysisRuns.size(); ++r) {
    measured[r] = &(m.*kAnalysisRuns[r].measured);
    corrected[r] = &(m.*kAnalysisRuns[r].corrected);
  }
  CorrectSeries(m, work, measured, corrected);
}

} // namespace sinkview
