#pragma once

#include <string>

#include "model/model.h"

namespace sinkview {

// The first radiograph (in date order) of a prepared series with a value
// that is not a finite number, or 0: the corrected lengths and courses the
// diagrams show and the changes the table and the export show. Huge but
// accepted distances overflow in the differences.
int FirstRadiographNotFinite(const MeasurementModel& m);

// "" when every value is finite, else the message rejecting the series,
// naming the file and the radiograph.
std::string NotFiniteProblem(const MeasurementModel& m, const std::string& dataFile);

} // namespace sinkview
