#include "study/visits.h"

#include <cmath>
#include <cstdlib>

namespace sinkview {

namespace {

// A radiograph in a visit's window, with its study day.
struct InWindow {
  std::size_t index;
  int day;
};

// Windows are half-open, [from, to): where two windows touch, a radiograph
// on their bound belongs to the later visit only.
std::vector<InWindow> RadiographsInWindow(const std::vector<int>& days, const Visit& visit) {
  std::vector<InWindow> found;
  // The first radiograph is the baseline, never a visit.
  for (std::size_t i = 1; i < days.size(); ++i) {
    const double months = days[i] / kDaysPerMonth;
    if (months >= visit.windowMonths[0] && months < visit.windowMonths[1]) found.push_back({i, days[i]});
  }
  return found;
}

// The earliest of the hip's revision, death and withdrawal, as a study day.
std::optional<int> EndOfFollowUp(const HipEvents& events, const CalendarDate& origin) {
  std::optional<int> end;
  for (const auto& event : {events.revision, events.death, events.withdrawn}) {
    if (!event) continue;
    const int day = DaysBetween(origin, *event);
    if (!end || day < *end) end = day;
  }
  return end;
}

// Whether the change to radiograph i is a measured change at a visit: one
// from the first radiograph, before the hip left the study.
bool IsCandidate(const HipCourse& course, const std::vector<int>& segments, const InWindow& r,
                 const std::optional<int>& endDay) {
  return IsChangeFromFirst(course, segments, r.index) && (!endDay || r.day < *endDay);
}

VisitValue ValueOf(const HipCourse& course, const InWindow& r) {
  VisitValue v;
  v.status = VisitStatus::Measured;
  v.radiograph = static_cast<std::uint8_t>(r.index + 1);
  v.date = course.dates[r.index];
  v.days = r.day;
  v.subsidence = course.subsidence[r.index];
  if (!course.stemCement.empty()) v.stemCement = course.stemCement[r.index];
  return v;
}

// Candidates rise in date order, so the first of two at the same distance
// is the earlier.
const InWindow& Nearest(const std::vector<InWindow>& candidates, double targetDay) {
  const InWindow* best = &candidates.front();
  for (const InWindow& c : candidates)
    if (std::fabs(c.day - targetDay) < std::fabs(best->day - targetDay)) best = &c;
  return *best;
}

VisitValue Interpolated(const HipCourse& course, const std::vector<InWindow>& candidates, double targetDay) {
  const InWindow* before = nullptr;
  const InWindow* after = nullptr;
  for (const InWindow& c : candidates) {
    if (c.day == targetDay) return ValueOf(course, c);
    if (c.day < targetDay) before = &c;
    if (c.day > targetDay && !after) after = &c;
  }
  if (!before || !after) return ValueOf(course, Nearest(candidates, targetDay));
  const double share = (targetDay - before->day) / (after->day - before->day);
  const auto between = [&](const std::vector<float>& series) {
    const double a = series[before->index], b = series[after->index];
    return a + (b - a) * share;
  };
  VisitValue v;
  v.status = VisitStatus::Measured;
  v.interpolated = true;
  v.days = targetDay;
  v.subsidence = between(course.subsidence);
  if (!course.stemCement.empty()) v.stemCement = between(course.stemCement);
  return v;
}

bool IsLateBaseline(const std::vector<int>& days, const HipEvents& events, const Protocol& protocol) {
  return events.surgery && (days[0] < protocol.baselineDays[0] || days[0] > protocol.baselineDays[1]);
}

// The first status that applies to a visit without a value.
VisitStatus StatusWithoutValue(const HipCourse& course, const std::vector<int>& days,
                               const std::vector<int>& segments, const HipEvents& events,
                               const Protocol& protocol, const Visit& visit,
                               const std::vector<InWindow>& inWindow) {
  if (events.excluded) return VisitStatus::Excluded;
  if (IsLateBaseline(days, events, protocol)) return VisitStatus::LateBaseline;
  const CalendarDate origin = events.surgery.value_or(course.dates.front());
  const double windowEnd = visit.windowMonths[1] * kDaysPerMonth;
  // An event after the cut-off is not known yet, as a radiograph after it.
  const auto known = [&](const CalendarDate& date) {
    return !protocol.cutoff.ok() || date <= protocol.cutoff;
  };
  for (const auto& [event, status] : {std::pair{events.revision, VisitStatus::Revised},
                                      {events.death, VisitStatus::Died},
                                      {events.withdrawn, VisitStatus::Withdrawn}}) {
    if (event && known(*event) && DaysBetween(origin, *event) < windowEnd) return status;
  }
  // The window's last day (the one before its end), counted in days as a
  // double: a window may close beyond any int.
  if (protocol.cutoff.ok()) {
    const double lastDay =
        std::chrono::sys_days(origin).time_since_epoch().count() + std::ceil(windowEnd) - 1;
    if (lastDay > std::chrono::sys_days(protocol.cutoff).time_since_epoch().count())
      return VisitStatus::NotYetDue;
  }
  for (const InWindow& r : inWindow)
    if (segments[r.index] > 1) return VisitStatus::AfterBreak;
  if (!inWindow.empty()) return VisitStatus::Incomparable;
  return VisitStatus::Missed;
}

} // namespace

int DaysBetween(CalendarDate from, CalendarDate to) {
  return static_cast<int>((std::chrono::sys_days(to) - std::chrono::sys_days(from)).count());
}

std::string_view StatusName(VisitStatus status) {
  static constexpr std::array<std::string_view, kVisitStatusCount> kNames = {
      "measured",  "missed",   "not_yet_due",   "revised",     "died",
      "withdrawn", "excluded", "late_baseline", "after_break", "incomparable"};
  return kNames[static_cast<std::size_t>(status)];
}

std::vector<int> StudyDays(const HipCourse& course, const std::optional<CalendarDate>& surgery) {
  std::vector<int> days;
  if (course.dates.empty()) return days;
  days.reserve(course.dates.size());
  const CalendarDate origin = surgery.value_or(course.dates.front());
  for (const CalendarDate& date : course.dates) days.push_back(DaysBetween(origin, date));
  return days;
}

bool IsChangeFromFirst(const HipCourse& course, const std::vector<int>& segments, std::size_t i) {
  return i > 0 && !course.isolated[i] && segments[i] == 1;
}

std::vector<int> Segments(const HipCourse& course) {
  std::vector<int> segments;
  segments.reserve(course.dates.size());
  int segment = 1;
  for (std::size_t i = 0; i < course.dates.size(); ++i) {
    if (i > 0 && course.breakAfter[i - 1]) ++segment;
    segments.push_back(segment);
  }
  return segments;
}

std::vector<VisitValue> HipVisits(const HipCourse& course, const HipEvents& events,
                                  const Protocol& protocol) {
  const std::vector<int> days = StudyDays(course, events.surgery);
  const std::vector<int> segments = Segments(course);
  // An excluded hip or one without a baseline measured in time has no
  // change anywhere: its first radiograph is no baseline.
  const bool noBaseline = events.excluded || IsLateBaseline(days, events, protocol);
  std::vector<VisitValue> visits;
  visits.reserve(protocol.visits.size() + 1);

  VisitValue baseline = ValueOf(course, {0, days[0]});
  if (noBaseline) {
    baseline.status = events.excluded ? VisitStatus::Excluded : VisitStatus::LateBaseline;
    baseline.subsidence = baseline.stemCement = std::nullopt;
  }
  visits.push_back(baseline);

  const std::optional<int> endDay = EndOfFollowUp(events, events.surgery.value_or(course.dates.front()));
  for (const Visit& visit : protocol.visits) {
    const std::vector<InWindow> inWindow = RadiographsInWindow(days, visit);
    std::vector<InWindow> candidates;
    for (const InWindow& r : inWindow)
      if (IsCandidate(course, segments, r, endDay)) candidates.push_back(r);
    const double targetDay = visit.months * kDaysPerMonth;
    if (noBaseline || candidates.empty()) {
      VisitValue none;
      none.status = StatusWithoutValue(course, days, segments, events, protocol, visit, inWindow);
      visits.push_back(none);
    } else if (protocol.valueAtVisit == ValueAtVisit::Nearest) {
      visits.push_back(ValueOf(course, Nearest(candidates, targetDay)));
    } else {
      visits.push_back(Interpolated(course, candidates, targetDay));
    }
  }
  return visits;
}

std::string_view BandOf(double changeMm, const std::array<double, 2>& bandsMm) {
  const double size = std::fabs(changeMm);
  if (size < bandsMm[0]) return kBands[0];
  if (size < bandsMm[1]) return kBands[1];
  return kBands[2];
}

} // namespace sinkview
