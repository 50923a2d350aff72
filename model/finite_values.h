#pragma once

#include <optional>
#include <string>

#include "base/expected.h"
#include "base/failure.h"

#include "model/prepared_series.h"

namespace sinkview {

// The first radiograph (in date order) of a prepared series with a value
// that is not a finite number, or 0: the corrected lengths and courses the
// diagrams show and the changes the table and the export show. Huge but
// accepted distances overflow in the differences.
[[nodiscard]] int FirstRadiographNotFinite(const PreparedSeries& p);

// Nothing when every value is finite, else why the series is rejected,
// naming the file and the radiograph.
Expected<void, Failure> CheckAllFinite(const PreparedSeries& p, const std::string& dataFile);

} // namespace sinkview
