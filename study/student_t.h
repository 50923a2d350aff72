#pragma once

namespace sinkview {

// The quantile of Student's t distribution with `degrees` degrees of
// freedom: the t with P(T <= t) = p, for 0.5 <= p < 1.
double StudentTQuantile(double p, int degrees);

} // namespace sinkview
