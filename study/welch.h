#pragma once

#include <optional>
#include <span>

namespace sinkview {

// The difference of two means, mean(values) - mean(reference), with its
// 95 % Welch interval (Welch-Satterthwaite degrees of freedom) and the
// two-sided p-value of no difference. With fewer than two values on either
// side the statistics are empty; when both samples are constant the
// difference stands alone, since a zero standard error gives no interval.
struct MeanDifference {
  int n = 0, referenceN = 0;
  std::optional<double> difference, ci95Low, ci95High, pValue;
};

MeanDifference WelchDifference(std::span<const double> values, std::span<const double> reference);

} // namespace sinkview
