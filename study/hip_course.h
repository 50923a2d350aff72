#pragma once

#include "model/model.h"
#include "study/visits.h"

namespace sinkview {

// The one place the visits read a prepared model: its dates, the changes of
// the corrected course since the first radiograph and its flags.
HipCourse CourseOf(const MeasurementModel& prepared);

} // namespace sinkview
