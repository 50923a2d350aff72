#include "study/describe.h"

#include <algorithm>
#include <cmath>

#include "study/student_t.h"

namespace sinkview {

namespace {

// The standard normal's 0.975 quantile.
constexpr double kZ975 = 1.959963984540054;

} // namespace

double QuantileType7(const std::vector<double>& rising, double p) {
  const double h = static_cast<double>(rising.size() - 1) * p;
  const auto below = static_cast<std::size_t>(std::floor(h));
  if (below + 1 >= rising.size()) return rising[below];
  return rising[below] + (h - static_cast<double>(below)) * (rising[below + 1] - rising[below]);
}

Description Describe(std::vector<double> values) {
  Description d;
  d.n = static_cast<int>(values.size());
  if (values.empty()) return d;
  std::sort(values.begin(), values.end());
  const auto n = static_cast<double>(values.size());
  double sum = 0;
  for (double v : values) sum += v;
  const double mean = sum / n;
  d.mean = mean;
  d.min = values.front();
  d.max = values.back();
  d.median = QuantileType7(values, 0.5);
  d.q1 = QuantileType7(values, 0.25);
  d.q3 = QuantileType7(values, 0.75);
  if (values.size() < 2) return d;
  double squares = 0;
  for (double v : values) squares += (v - mean) * (v - mean);
  const double sd = std::sqrt(squares / (n - 1));
  d.sd = sd;
  const double half = StudentTQuantile(0.975, d.n - 1) * sd / std::sqrt(n);
  d.ci95Low = mean - half;
  d.ci95High = mean + half;
  return d;
}

std::array<double, 2> WilsonInterval(int k, int n) {
  const double p = static_cast<double>(k) / n, z2 = kZ975 * kZ975, nn = n;
  const double centre = (p + z2 / (2 * nn)) / (1 + z2 / nn);
  const double half = kZ975 / (1 + z2 / nn) * std::sqrt(p * (1 - p) / nn + z2 / (4 * nn * nn));
  return {std::max(0.0, centre - half), std::min(1.0, centre + half)};
}

} // namespace sinkview
