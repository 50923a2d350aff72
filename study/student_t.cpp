#include "study/student_t.h"

#include <cmath>
#include <limits>

namespace sinkview {

namespace {

// The continued fraction of the incomplete beta function, evaluated by the
// modified Lentz method.
double BetaFraction(double a, double b, double x) {
  constexpr double kTiny = 1e-300, kEpsilon = 1e-15;
  const auto guard = [](double v) { return std::fabs(v) < kTiny ? kTiny : v; };
  double c = 1, d = 1 / guard(1 - (a + b) * x / (a + 1));
  double h = d;
  for (int k = 1; k <= 500; ++k) {
    const double even = k * (b - k) * x / ((a + 2 * k - 1) * (a + 2 * k));
    d = 1 / guard(1 + even * d);
    c = guard(1 + even / c);
    h *= d * c;
    const double odd = -(a + k) * (a + b + k) * x / ((a + 2 * k) * (a + 2 * k + 1));
    d = 1 / guard(1 + odd * d);
    c = guard(1 + odd / c);
    const double step = d * c;
    h *= step;
    if (std::fabs(step - 1) < kEpsilon) break;
  }
  return h;
}

// The regularised incomplete beta function I_x(a, b).
double RegularisedBeta(double a, double b, double x) {
  if (x <= 0) return 0;
  if (x >= 1) return 1;
  const double front =
      std::exp(std::lgamma(a + b) - std::lgamma(a) - std::lgamma(b) + a * std::log(x) + b * std::log1p(-x));
  // The fraction converges fast only below this point; beyond it, by symmetry.
  if (x < (a + 1) / (a + b + 2)) return front * BetaFraction(a, b, x) / a;
  return 1 - front * BetaFraction(b, a, 1 - x) / b;
}

// P(T <= t) for t >= 0.
double StudentTDistribution(double t, int degrees) {
  const double v = degrees;
  return 1 - 0.5 * RegularisedBeta(v / 2, 0.5, v / (v + t * t));
}

} // namespace

double StudentTQuantile(double p, int degrees) {
  double low = 0, high = 1;
  while (StudentTDistribution(high, degrees) < p) high *= 2;
  // Bisection to the last bit: the distribution is monotonic, and this runs
  // once per follow-up time.
  while (true) {
    const double middle = (low + high) / 2;
    if (middle <= low || middle >= high) return middle;
    (StudentTDistribution(middle, degrees) < p ? low : high) = middle;
  }
}

} // namespace sinkview
