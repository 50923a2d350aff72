#include <algorithm>
#include <cmath>

#include "model/segments.h"
#include "model/text_encoding.h"
#include "study/csv_text.h"
#include "study/long_rows.h"
#include "study/study.h"

namespace sinkview {

namespace {

constexpr double kTwoYears = 24;

std::string DateOf(const MeasurementModel& m, int i) {
  return IsoDate(static_cast<int>(m.DateYear[i]), static_cast<int>(m.DateMonth[i]),
                 static_cast<int>(m.DateDay[i]));
}

std::optional<bool> OverThreshold(const std::optional<double>& subsidence24mMm, double thresholdMm) {
  if (!subsidence24mMm) return {};
  return std::fabs(*subsidence24mMm) >= thresholdMm;
}

} // namespace

void FlagOverThreshold(StudyResult& result, double thresholdMm) {
  result.thresholdMm = thresholdMm;
  for (PatientSummary& p : result.patients) p.overThreshold = OverThreshold(p.subsidence24mMm, thresholdMm);
}

std::optional<double> ChangeAt(const std::vector<CoursePoint>& course, double months) {
  if (course.empty() || months < course.front().months || months > course.back().months) return {};
  const auto after = std::lower_bound(course.begin(), course.end(), months,
                                      [](const CoursePoint& p, double t) { return p.months < t; });
  if (after->months == months) return after->change;
  const auto before = after - 1;
  const double share = (months - before->months) / (after->months - before->months);
  return before->change + (static_cast<double>(after->change) - before->change) * share;
}

PatientSummary SummarisePatient(const PreparedSeries& p, const std::string& path, const std::string& file,
                                const StudyOptions& options) {
  const MeasurementModel& m = p.model;
  PatientSummary s;
  s.path = path;
  s.file = DisplayUtf8(file);
  s.patient = DisplayUtf8(m.PatientCode);
  s.side = DisplayUtf8(m.ProsthesisSide);
  s.format = m.HasStemCementData ? "current" : "older";
  const int n = m.RadiographCount;
  s.radiographs = n;
  if (n < 1) return s;
  s.firstDate = DateOf(m, 1);
  s.lastDate = DateOf(m, n);
  s.observationMonths = m.ObservationMonths;

  // A break is where the table starts a new segment.
  const Flags& starts = p.segmentStarts;
  for (int i = 1; i <= n; ++i) {
    if (i > 1) s.dates += ' ';
    s.dates += DateOf(m, i);
    if (m.IsolatedFlag[i] == 1) ++s.isolated;
    if (i > 1 && starts[i] == i) ++s.breaks;
    // Every change from radiograph 1, across breaks: the table's values
    // restart at each segment, a study's course does not.
    const ChangesSinceStart c = Changes(p, i, 1);
    const double months = MonthsSinceFirstUnrounded(m, i);
    s.subsidence.push_back({months, c.subsidence});
    if (m.HasStemCementData) s.stemCement.push_back({months, c.stemCement});
  }

  // One radiograph has no change, not a change of 0.
  if (n < 2) return s;
  const ChangesSinceStart last = Changes(p, n, 1);
  s.subsidenceLastMm = last.subsidence;
  if (m.HasStemCementData) s.stemCementLastMm = last.stemCement;
  s.angleChangeLastDeg = last.parameters.back();

  s.subsidence24mMm = ChangeAt(s.subsidence, kTwoYears);
  s.overThreshold = OverThreshold(s.subsidence24mMm, options.thresholdMm);
  if (s.subsidence24mMm) {
    const double at24 = *s.subsidence24mMm;
    s.rate0to24MmPerYear = at24 / 2;
    const double end = s.subsidence.back().months;
    if (end > kTwoYears) s.rateAfter24MmPerYear = (last.subsidence - at24) / ((end - kTwoYears) / 12);
  }
  return s;
}

} // namespace sinkview
