#include "model/model.h"

namespace sinkview {

namespace {

template <typename Model> auto& Subsidence(Model& m, bool corrected) {
  if (m.ReferencePoint != Reference::HeadCenter) {
    if (m.TrochanterChoice == Trochanter::Minor)
      return corrected ? m.CorrectedShoulderMinor : m.ShoulderMinorDistance;
    return corrected ? m.CorrectedShoulderMajor : m.ShoulderMajorDistance;
  }
  if (m.TrochanterChoice == Trochanter::Minor) return corrected ? m.CorrectedHeadMinor : m.HeadMinorDistance;
  return corrected ? m.CorrectedHeadMajor : m.HeadMajorDistance;
}

} // namespace

const Series& CorrectedSubsidence(const MeasurementModel& m) { return Subsidence(m, true); }

const Series& RawSubsidence(const MeasurementModel& m) { return Subsidence(m, false); }

} // namespace sinkview
