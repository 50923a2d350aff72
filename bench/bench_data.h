#pragma once

#include <string>

#include "model/model.h"

namespace sinkview::bench {

// The text of a data file of 30 radiographs over five years.
std::string ThirtyRadiographText(unsigned seed = 1);
// That text written to a temporary file (once per process); its path.
std::string ThirtyRadiographFile();
// The model read from it.
MeasurementModel ThirtyRadiographModel();
// The same, prepared as the windows prepare it.
MeasurementModel PreparedThirtyRadiographModel();

} // namespace sinkview::bench
