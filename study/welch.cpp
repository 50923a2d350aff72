#include "study/welch.h"

#include <cmath>

#include "study/student_t.h"

namespace sinkview {

namespace {

struct Moments {
  double mean = 0, variance = 0;
};

// Mean and sample variance (n - 1), in two passes for accuracy.
Moments MomentsOf(std::span<const double> values) {
  const double n = static_cast<double>(values.size());
  double sum = 0;
  for (double v : values) sum += v;
  Moments m{sum / n, 0};
  for (double v : values) m.variance += (v - m.mean) * (v - m.mean);
  m.variance /= n - 1;
  return m;
}

} // namespace

MeanDifference WelchDifference(std::span<const double> values, std::span<const double> reference) {
  MeanDifference out;
  out.n = static_cast<int>(values.size());
  out.referenceN = static_cast<int>(reference.size());
  if (values.size() < 2 || reference.size() < 2) return out;
  const Moments a = MomentsOf(values), b = MomentsOf(reference);
  const double difference = a.mean - b.mean;
  out.difference = difference;
  const double va = a.variance / out.n, vb = b.variance / out.referenceN;
  const double se = std::sqrt(va + vb);
  if (!(se > 0)) return out;
  const double df = (va + vb) * (va + vb) / (va * va / (out.n - 1) + vb * vb / (out.referenceN - 1));
  const double half = StudentTQuantile(0.975, df) * se;
  out.ci95Low = difference - half;
  out.ci95High = difference + half;
  out.pValue = StudentTTwoSidedP(difference / se, df);
  return out;
}

} // namespace sinkview
