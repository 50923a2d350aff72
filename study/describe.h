#pragma once

// Statistics over plain values, each checked on hand-computable numbers.

#include <array>
#include <optional>
#include <vector>

namespace sinkview {

// n, mean, SD, quartiles, range and the 95 % interval of the mean
// (mean +- t(0.975, n - 1) sd / sqrt(n)). With n = 0 every value is empty,
// with n = 1 the SD and the interval are.
struct Description {
  int n = 0;
  std::optional<double> mean, sd, median, q1, q3, min, max, ci95Low, ci95High;
};
Description Describe(std::vector<double> values);

// The p-quantile of rising values as R's quantile() gives it by default
// (type 7): linear between the order statistics at (n - 1) p.
double QuantileType7(const std::vector<double>& rising, double p);

// The 95 % Wilson score interval of the proportion k of n, as fractions.
std::array<double, 2> WilsonInterval(int k, int n);

} // namespace sinkview
