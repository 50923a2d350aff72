#include "model/preparation.h"

#include "model/comparability.h"

namespace sinkview {

float MagnificationFactor(const MeasurementModel& m, int i) {
  if (m.MagnificationSource != 0) {
    if (m.UseMeanMagnification == 1) return m.MeanMagnificationStemLength;
    return static_cast<float>(1.0 / static_cast<double>(m.MagnificationStemLength[i]));
  }
  if (m.UseMeanMagnification == 1) return m.MeanMagnificationHeadRadius;
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
  for (const AnalysisRun& run : kAnalysisRuns) {
    m.DisconnectionFlag.fill(0);
    m.IsolatedFlag.fill(0);
    ComparabilityWork work; // value-initialised: every work array zero
    ComputeCorrectedSeries(m, work, m.*run.measured, m.*run.corrected);
  }
}

void PrepareSeries(MeasurementModel& m) {
  ApplyMagnificationCorrection(m);
  RunAnalyses(m);
}

} // namespace sinkview
