#include <functional>

#include "base/reader_text.h"
#include "model/segments.h"
#include "study/csv_text.h"
#include "study/hip_course.h"
#include "study/study.h"

namespace sinkview {

namespace {

std::string DateOf(const MeasurementModel& m, int i) {
  return IsoDate(static_cast<int>(m.DateYear[i]), static_cast<int>(m.DateMonth[i]),
                 static_cast<int>(m.DateDay[i]));
}

} // namespace

std::string RadiographDates(const MeasurementModel& m) {
  std::string dates;
  for (int i = 1; i <= m.RadiographCount; ++i) {
    if (i > 1) dates += ' ';
    dates += DateOf(m, i);
  }
  return dates;
}

PatientSummary SummarisePatient(const PreparedSeries& p, const std::string& path, const std::string& file) {
  const MeasurementModel& m = p.model;
  PatientSummary s;
  s.path = path;
  s.file = PlainUtf8(file);
  s.patient = PlainUtf8(m.PatientCode);
  s.side = PlainUtf8(m.ProsthesisSide);
  s.format = m.HasStemCementData ? "current" : "older";
  s.identity = std::hash<std::string>{}(s.patient);
  const int n = m.RadiographCount;
  s.radiographs = n;
  s.radiographsAfterCutoff = m.RecordsAfterCutoff;
  if (n < 1) return s;
  s.firstDate = DateOf(m, 1);
  s.lastDate = DateOf(m, n);
  s.observationMonths = m.ObservationMonths;

  // A break is where the table starts a new segment.
  const Flags& starts = p.segmentStarts;
  for (int i = 1; i <= n; ++i) {
    if (m.IsolatedFlag[i] == 1) ++s.isolated;
    if (i > 1 && starts[i] == i) ++s.breaks;
  }

  s.course = CourseOf(p);
  s.lastRadiograph = s.course.dates.back();

  // One radiograph has no change, not a change of 0.
  if (n < 2) return s;
  const ChangesSinceStart last = Changes(p, n, 1);
  s.subsidenceLastMm = last.subsidence;
  if (m.HasStemCementData) s.stemCementLastMm = last.stemCement;
  s.angleChangeLastDeg = last.parameters.back();

  return s;
}

} // namespace sinkview
