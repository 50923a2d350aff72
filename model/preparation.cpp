#include "model/preparation.h"

#include "model/comparability.h"

namespace sinkview {

float MagnificationFactor(const MeasurementModel& m, int i) {
  if (m.MagnificationSource != MagnificationBasis::HeadRadius) {
    if (m.UseMeanMagnification == FactorChoice::Mean) return m.MeanMagnificationStemLength;
    return static_cast<float>(1.0 / static_cast<double>(m.MagnificationStemLength[i]));
  }
  if (m.UseMeanMagnification == FactorChoice::Mean) return m.MeanMagnificationHeadRadius;
  return static_cast<float>(1.0 / static_cast<double>(m.MagnificationHeadRadius[i]));
}

void ApplyMagnificationCorrection(MeasurementModel& m) {
  // Never scale twice: a second call starts again from the values read.
  if (m.LengthsAsRead) UndoMagnificationCorrection(m);
  MeasurementModel::LengthSnapshot asRead{};
  for (std::size_t s = 0; s < kScaledSeries.size(); ++s) asRead[s] = m.*kScaledSeries[s];
  for (int i = 1; i <= m.RadiographCount; ++i) {
    m.Magnification = MagnificationFactor(m, i);
    for (auto series : kScaledSeries) {
      float& value = (m.*series)[i];
      value = static_cast<float>(static_cast<double>(m.Magnification) * value);
    }
  }
  m.LengthsAsRead = asRead;
}

void UndoMagnificationCorrection(MeasurementModel& m) {
  if (!m.LengthsAsRead) return;
  for (int i = 1; i <= m.RadiographCount; ++i) m.Magnification = MagnificationFactor(m, i);
  // Dividing by the factor again may miss the value read by the last bit;
  // the values read are restored as they were instead.
  for (std::size_t s = 0; s < kScaledSeries.size(); ++s) m.*kScaledSeries[s] = (*m.LengthsAsRead)[s];
  m.LengthsAsRead.reset();
}

void RunAnalyses(MeasurementModel& m) {
  // Which pairs are comparable does not depend on the series, so it is
  // decided once; the fourteen series are then corrected side by side.
  m.DisconnectionFlag.fill(0);
  m.IsolatedFlag.fill(0);
  ComparabilityWork work; // value-initialised: every work array zero
  AnalysePairs(m, work);
  std::array<const Series*, kAnalysisRuns.size()> measured{};
  std::array<Series*, kAnalysisRuns.size()> corrected{};
  for (std::size_t r = 0; r < kAnalysisRuns.size(); ++r) {
    measured[r] = &(m.*kAnalysisRuns[r].measured);
    corrected[r] = &(m.*kAnalysisRuns[r].corrected);
  }
  CorrectSeries(m, work, measured, corrected);
}

} // namespace sinkview
