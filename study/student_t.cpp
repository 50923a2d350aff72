#include "study/student_t.h"

#include <boost/math/distributions/students_t.hpp>

namespace sinkview {

double StudentTQuantile(double p, int degrees) {
  // Boost's own special functions write no global state (the C library's
  // lgamma sets signgam), so the study's threads may call this at once.
  return boost::math::quantile(boost::math::students_t_distribution<double>(degrees), p);
}

} // namespace sinkview
