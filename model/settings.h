#pragma once

namespace sinkview {

// The time limit is typed in months and compared in days: the product is
// taken in double and rounded once to the model's float, the same in the
// window and in the exporter.
inline float TimeLimitDaysForMonths(double months) { return static_cast<float>(months * 365 / 12); }

} // namespace sinkview
