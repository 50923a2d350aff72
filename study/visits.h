#pragma once

// The study's clock and each hip's value at the visits of the protocol:
// small pure functions over one hip's course. Plain C++, no Qt.

#include <array>
#include <cstdint>
#include <optional>
#include <string_view>
#include <vector>

#include "protocol/protocol.h"
#include "study/optional_number.h"

namespace sinkview {

// A study month: a year's mean length in days over twelve.
inline constexpr double kDaysPerMonth = 30.4375;

// Calendar days from `from` to `to` (negative when `to` lies before).
int DaysBetween(CalendarDate from, CalendarDate to);

// One hip's radiographs in date order (index 0 the first), as the visits
// need them.
struct HipCourse {
  std::vector<CalendarDate> dates;
  std::vector<float> subsidence; // change of the corrected course since the first radiograph
  std::vector<float> stemCement; // the same at the stem/cement interface; empty for the older format
  std::vector<bool> isolated;    // comparable with no other radiograph
  std::vector<bool> breakAfter;  // the course is disconnected after this radiograph
};

// What the patients file says of one hip.
struct HipEvents {
  std::optional<CalendarDate> surgery, revision, death, withdrawn;
  bool excluded = false;
  std::optional<CalendarDate> lastContact; // seen or called after the last radiograph
};

// In the order of the columns of flow.csv.
enum class VisitStatus : std::uint8_t {
  Measured,
  Missed,
  NotYetDue,
  Revised,
  Died,
  Withdrawn,
  Excluded,
  LateBaseline,
  AfterBreak,
  Incomparable,
};
inline constexpr int kVisitStatusCount = 10;
std::string_view StatusName(VisitStatus status);

// A hip at one visit. A measured visit has a subsidence value, and a
// stem/cement value where the file has that series. Packed in 32 bytes:
// 100,000 hips keep ten each.
struct VisitValue {
  VisitStatus status = VisitStatus::Missed;
  // 1 the first, in date order (at most kMaxRadiographs); 0 when interpolated or none
  std::uint8_t radiograph = 0;
  bool interpolated = false;
  CalendarDate date{}; // of the radiograph, when there is one
  OptionalNumber days; // study time of the radiograph, or of the target when interpolated
  OptionalNumber subsidence, stemCement;
};
static_assert(sizeof(VisitValue) == 32);

// The study day of each radiograph: from the surgery, or from the first
// radiograph where there is none.
std::vector<int> StudyDays(const HipCourse& course, const std::optional<CalendarDate>& surgery);

// The piece of the course each radiograph belongs to: 1 up to the first
// break, one more after each.
std::vector<int> Segments(const HipCourse& course);

// Whether radiograph i (0 the first) has a measured change from the first
// radiograph: a later one, comparable and with no break between the two.
// `segments` are the course's Segments().
bool IsChangeFromFirst(const HipCourse& course, const std::vector<int>& segments, std::size_t i);

// The hip at its baseline (the first radiograph), then at every visit of
// the protocol. The course has a radiograph and no surgery after it.
std::vector<VisitValue> HipVisits(const HipCourse& course, const HipEvents& events, const Protocol& protocol);

// The band of a change at the primary visit: "acceptable", "at_risk" or
// "unacceptable".
std::string_view BandOf(double changeMm, const std::array<double, 2>& bandsMm);
inline constexpr std::array<std::string_view, 3> kBands = {"acceptable", "at_risk", "unacceptable"};

} // namespace sinkview
