#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "model/model.h"
#include "model/prepared_series.h"
#include "study/csv_columns.h"

namespace sinkview {

// The columns of long.csv.
std::vector<CsvColumn> LongColumns();

// The "file,patient,group," fields that start each of a hip's rows.
std::string LongRowPrefix(const std::string& file, const std::string& patient, const std::string& group);

// The rows of long.csv for a prepared model, one per radiograph, each
// starting with `prefix` and ended by CR LF, with the radiographs' study
// days and segments (study/visits.h).
std::string LongRows(const PreparedSeries& prepared, std::string_view prefix,
                     const std::vector<int>& studyDays, const std::vector<int>& segments);

// Months since the first radiograph, unrounded: elapsed days x 12 / 365.
double MonthsSinceFirstUnrounded(const MeasurementModel& m, int i);

} // namespace sinkview
