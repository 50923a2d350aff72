#pragma once

#include <span>

#include "model/model.h"
#include "model/settings.h"

namespace sinkview {

// Which radiograph pairs may be compared, with their weights. It depends
// only on the times, the time limit and the three control lengths, so one
// preparation computes it once for all of its series.
struct ComparabilityWork {
  std::array<std::array<std::int16_t, kSlots>, kSlots> Comparable{};
  std::array<std::array<float, kSlots>, kSlots> PairWeight{};
  Flags FirstComparable{}, LastComparable{};
  // The summed weights of the comparable pairs spanning the interval after
  // radiograph i.
  Series SpanSum{};
};

// Decides the comparable pairs under the time limit and the comparability
// limit of `settings` and writes the model's DisconnectionFlag and
// IsolatedFlag. Expects the work arrays and both flags cleared.
void AnalysePairs(MeasurementModel& m, const Settings& settings, ComparabilityWork& work);

// The corrected course of each series: the value at each radiograph is
// reached from the first by adding, interval by interval, the weighted mean
// rate of change of the comparable pairs spanning the interval. Up to
// kMaxSeriesAtOnce series are corrected side by side, each with exactly the
// arithmetic, in exactly the order, it would get alone.
inline constexpr std::size_t kMaxSeriesAtOnce = 16;
void CorrectSeries(const MeasurementModel& m, const ComparabilityWork& work,
                   std::span<const Series* const> series, std::span<Series* const> corrected);

// Both steps for one series. Expects the flags and the work arrays cleared.
void ComputeCorrectedSeries(MeasurementModel& m, const Settings& settings, ComparabilityWork& work,
                            const Series& series, Series& corrected);

} // namespace sinkview
