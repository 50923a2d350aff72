#pragma once

#include "model/model.h"

namespace sinkview {

// The factor of radiograph i chosen by MagnificationSource and
// UseMeanMagnification (the reciprocal of a magnification).
float MagnificationFactor(const MeasurementModel& m, int i);

// Multiplies the sixteen length series in place by each radiograph's factor.
void ApplyMagnificationCorrection(MeasurementModel& m);

// Divides them by the same factors again.
void UndoMagnificationCorrection(MeasurementModel& m);

// Runs the comparability analysis on the fourteen series, clearing the
// flags and work arrays before each run.
void RunAnalyses(MeasurementModel& m);

} // namespace sinkview
