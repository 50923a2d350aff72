#pragma once

#include <string>
#include <string_view>

#include "model/model.h"
#include "model/prepared_series.h"

namespace sinkview {

// The header of long.csv.
extern const std::string_view kLongHeader;

// The "file,patient," fields that start each of a patient's rows.
std::string LongRowPrefix(const std::string& file, const std::string& patient);

// The rows of long.csv for a prepared model, one per radiograph, each
// starting with `prefix` and ended by CR LF.
std::string LongRows(const PreparedSeries& prepared, std::string_view prefix);

// Months since the first radiograph, unrounded: elapsed days x 12 / 365.
double MonthsSinceFirstUnrounded(const MeasurementModel& m, int i);

} // namespace sinkview
