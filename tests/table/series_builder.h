#pragma once

#include <initializer_list>

#include "model/model.h"
#include "model/numtext.h"
#include "table/segments.h"

// A prepared series set up by hand, so that every change in the table and
// the export can be computed on paper.
inline sinkview::MeasurementModel PreparedSeries(std::initializer_list<float> elapsedDays, bool stemCement) {
  using namespace sinkview;
  MeasurementModel m;
  m.PatientCode = "Bauer Helene HB-48";
  m.ProsthesisSide = "left";
  m.HasStemCementData = stemCement ? 1 : 0;
  m.NumFileName = "/data/hb48.num";
  int k = 0;
  for (float days : elapsedDays) m.ElapsedDays[++k] = days;
  m.RadiographCount = static_cast<std::int16_t>(k);
  m.ObservationMonths = static_cast<float>(RoundHalfEven(m.ElapsedDays[k] * 12.0 / 365.0));
  return m;
}

// Sets the same value for radiograph i in all nine parameter series.
inline void SetParameters(sinkview::MeasurementModel& m, int i, float value) {
  for (auto series : sinkview::kParameterSeries) (m.*series)[i] = value;
}

inline void SetFlags(sinkview::Flags& flags, std::initializer_list<int> values) {
  int k = 0;
  for (int v : values) flags[++k] = static_cast<std::int16_t>(v);
}
