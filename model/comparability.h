#pragma once

#include "model/model.h"

namespace sinkview {

// Work arrays of the comparability analysis; cleared before every run.
struct ComparabilityWork {
  std::array<std::array<std::int16_t, kSlots>, kSlots> Comparable{};
  std::array<std::array<float, kSlots>, kSlots> PairWeight{};
  std::array<std::array<float, kSlots>, kSlots> PairRate{};
  Flags FirstComparable{}, LastComparable{};
  Series SpanSum{}, RateSum{};
};

// Decides which radiograph pairs of the model's series are comparable and
// writes the corrected course of `series` into `corrected`, together with
// the model's DisconnectionFlag and IsolatedFlag. Expects the flags and the
// work arrays cleared.
void ComputeCorrectedSeries(MeasurementModel& m, ComparabilityWork& work, const Series& series,
                            Series& corrected);

} // namespace sinkview
