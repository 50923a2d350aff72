#pragma once

#include <string>
#include <string_view>

#include "model/model.h"

namespace sinkview {

// The header of long.csv.
extern const std::string_view kLongHeader;

// The rows of long.csv for a prepared model, one per radiograph, each
// without the "file,patient," fields in front and ended by CR LF.
std::string LongRows(const MeasurementModel& prepared);

// Months since the first radiograph, unrounded: elapsed days x 12 / 365.
double MonthsSinceFirstUnrounded(const MeasurementModel& m, int i);

} // namespace sinkview
