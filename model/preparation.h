#pragma once

#include "model/model.h"
#include "model/settings.h"

namespace sinkview {

// The factor of radiograph i chosen by MagnificationSource and
// UseMeanMagnification (the reciprocal of a magnification).
float MagnificationFactor(const MeasurementModel& m, const Settings& settings, int i);

// A copy of `read` with the sixteen length series multiplied by each
// radiograph's factor.
MeasurementModel CorrectedForMagnification(const MeasurementModel& read, const Settings& settings);

// Runs the comparability analysis on the fourteen series, clearing the
// flags and work arrays before each run.
void RunAnalyses(MeasurementModel& m, const Settings& settings);

} // namespace sinkview
