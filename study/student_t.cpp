#include "study/student_t.h"

#include <cmath>

#include <boost/math/distributions/students_t.hpp>

namespace sinkview {

// Boost's own special functions write no global state (the C library's
// lgamma sets signgam), so the study's threads may call these at once.

double StudentTQuantile(double p, double degrees) {
  return boost::math::quantile(boost::math::students_t_distribution<double>(degrees), p);
}

double StudentTTwoSidedP(double t, double degrees) {
  return 2 * boost::math::cdf(boost::math::complement(boost::math::students_t_distribution<double>(degrees),
                                                      std::fabs(t)));
}

} // namespace sinkview
