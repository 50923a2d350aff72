#pragma once

#include <array>

#include "model/model.h"
#include "model/prepared_series.h"

namespace sinkview {

// The radiograph from which the changes of each radiograph are measured: a
// segment starts at the first radiograph and at every unflagged radiograph
// that follows a flagged one. A flagged radiograph never starts a segment,
// even after a flagged predecessor.
Flags SegmentStarts(const MeasurementModel& m);

// The nine parameter series of the table and the export, in column order:
// medial distances 1-4, lateral distances 5-8, the angle.
inline constexpr std::array<Series MeasurementModel::*, 9> kParameterSeries = {
    &MeasurementModel::CorrectedMedial1,  &MeasurementModel::CorrectedMedial2,
    &MeasurementModel::CorrectedMedial3,  &MeasurementModel::CorrectedMedial4,
    &MeasurementModel::CorrectedLateral5, &MeasurementModel::CorrectedLateral6,
    &MeasurementModel::CorrectedLateral7, &MeasurementModel::CorrectedLateral8,
    &MeasurementModel::CorrectedAngle,
};

// The changes of radiograph i since radiograph s, all in single precision,
// so the table and the export show the very same values.
struct ChangesSinceStart {
  std::array<float, 9> parameters{};
  float subsidence = 0; // the subsidence series chosen by the settings
  float stemCement = 0;
  float cementBone = 0; // subsidence less the change at the stem/cement interface
};

ChangesSinceStart Changes(const PreparedSeries& p, int i, int s);

// Months since the first radiograph, rounded with ties to even.
double MonthsSinceFirst(const MeasurementModel& m, int i);

} // namespace sinkview
