#pragma once

#include "model/prepared_series.h"
#include "study/visits.h"

namespace sinkview {

// The one place the visits read a prepared series: its dates, the changes of
// the corrected course since the first radiograph and its flags.
HipCourse CourseOf(const PreparedSeries& prepared);

} // namespace sinkview
