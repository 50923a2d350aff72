#pragma once

namespace sinkview {

// The quantile of Student's t distribution with `degrees` degrees of
// freedom (Welch's are fractional): the t with P(T <= t) = p, for
// 0.5 <= p < 1.
double StudentTQuantile(double p, double degrees);

// The two-sided p-value of `t`: P(|T| >= |t|).
double StudentTTwoSidedP(double t, double degrees);

} // namespace sinkview
