// The study clock, the value of a hip at a visit and the statistics over
// values, on hand-computable hips. Study days count from the surgery on
// 2020-01-01; a month is 30.4375 days, so 16 months are exactly 487 days
// and a window of [32, 64) months is days 974 to 1947 (1948 is its end)
// around the target of 48 months, 1461 days.
#include <gtest/gtest.h>

#include <chrono>

#include "study/csv_text.h"
#include "study/describe.h"
#include "study/visits.h"

using namespace sinkview;
using namespace std::chrono;

namespace {

constexpr CalendarDate kSurgery = 2020y / January / 1;

CalendarDate Day(int day) { return year_month_day(sys_days(kSurgery) + days(day)); }

struct Radiograph {
  int day;
  float change;
  bool isolated = false, breakAfter = false;
};

HipCourse CourseOf(const std::vector<Radiograph>& radiographs) {
  HipCourse course;
  for (const Radiograph& r : radiographs) {
    course.dates.push_back(Day(r.day));
    course.subsidence.push_back(r.change);
    course.isolated.push_back(r.isolated);
    course.breakAfter.push_back(r.breakAfter);
  }
  return course;
}

Protocol OneVisit(ValueAtVisit rule, std::array<double, 2> window = {32, 64}) {
  Protocol p;
  p.valueAtVisit = rule;
  p.cutoff = 2030y / January / 1;
  p.visits = {{"48 months", 48, window}};
  return p;
}

HipEvents FromSurgery() { return {kSurgery, {}, {}, {}, false, {}}; }

} // namespace

TEST(StudyClock, CountsCalendarDaysWithLeapDays) {
  for (auto [from, to, want] : {std::tuple{2020y / February / 28, 2020y / March / 1, 2},
                                {2019y / February / 28, 2019y / March / 1, 1},
                                {2100y / February / 28, 2100y / March / 1, 1},
                                {2000y / January / 1, 2001y / January / 1, 366},
                                {2020y / January / 2, 2020y / January / 1, -1}}) {
    EXPECT_EQ(DaysBetween(from, to), want) << IsoDate(from) << " " << IsoDate(to);
  }
  // Without a surgery the clock starts at the first radiograph.
  const HipCourse course = CourseOf({{10, 0}, {375, -1}});
  EXPECT_EQ(StudyDays(course, std::nullopt), (std::vector<int>{0, 365}));
  EXPECT_EQ(StudyDays(course, kSurgery), (std::vector<int>{10, 375}));
  EXPECT_TRUE(StudyDays(HipCourse{}, std::nullopt).empty());
}

// Which radiograph gives the value, or why none does. -1 as radiograph: the
// value is interpolated at the target.
TEST(VisitValue, BothRulesAtTheWindowsEdgesAndTies) {
  struct Case {
    const char* what;
    ValueAtVisit rule;
    std::vector<Radiograph> radiographs; // after the baseline on day 5
    VisitStatus status;
    int radiograph;
    double days, change;
  };
  constexpr auto N = ValueAtVisit::Nearest, I = ValueAtVisit::Interpolate;
  constexpr auto M = VisitStatus::Measured;
  const Case cases[] = {
      {"lower bound included", N, {{974, -1}}, M, 2, 974, -1},
      {"upper bound excluded: the next window's", N, {{1947, -1}, {1948, -2}}, M, 2, 1947, -1},
      {"a day before the window", N, {{973, -1}}, VisitStatus::Missed, 0, 0, 0},
      {"a day after the window", N, {{1949, -1}}, VisitStatus::Missed, 0, 0, 0},
      {"a tie goes to the earlier", N, {{1460, -1}, {1462, -2}}, M, 2, 1460, -1},
      {"the nearer of two", N, {{1000, -1}, {1462, -2}}, M, 3, 1462, -2},
      {"on the target, not interpolated", I, {{1400, -1}, {1461, -3}, {1500, -2}}, M, 3, 1461, -3},
      {"between two: -1 + (-2 + 1) x 61/100", I, {{1400, -1}, {1500, -2}}, M, -1, 1461, -1.61},
      {"between the nearest either side",
       I,
       {{1300, -5}, {1400, -1}, {1500, -2}, {1600, -4}},
       M,
       -1,
       1461,
       -1.61},
      {"only before: the nearest, no extrapolation", I, {{1300, -1}, {1400, -2}}, M, 3, 1400, -2},
      {"the one after lies outside the window", I, {{1400, -1}, {1949, -5}}, M, 2, 1400, -1},
      {"an isolated radiograph is no candidate", I, {{1400, -1}, {1500, -9, true}}, M, 2, 1400, -1},
      {"past an isolated one", I, {{1460, -1}, {1462, -2, true}, {1463, -3}}, M, -1, 1461, -1 - 2.0 / 3},
  };
  for (const Case& c : cases) {
    std::vector<Radiograph> radiographs = {{5, 0}};
    radiographs.insert(radiographs.end(), c.radiographs.begin(), c.radiographs.end());
    const std::vector<VisitValue> visits = HipVisits(CourseOf(radiographs), FromSurgery(), OneVisit(c.rule));
    ASSERT_EQ(visits.size(), 2u) << c.what;
    const VisitValue& v = visits[1];
    EXPECT_EQ(StatusName(v.status), StatusName(c.status)) << c.what;
    if (c.status != M) {
      EXPECT_FALSE(v.subsidence || v.days) << c.what;
      continue;
    }
    EXPECT_EQ(v.interpolated, c.radiograph == -1) << c.what;
    EXPECT_EQ(v.radiograph, std::max(c.radiograph, 0)) << c.what;
    EXPECT_DOUBLE_EQ(*v.days, c.days) << c.what;
    EXPECT_NEAR(*v.subsidence, c.change, 1e-6) << c.what;
  }
}

// The first status that applies, for a visit of 12 months in [9, 18]
// (days 273.9375 to 547.875, closing on 2021-07-01).
TEST(VisitValue, StatusesAndTheirPrecedence) {
  // The events on these days after the surgery.
  const auto events = [](std::optional<int> revised, std::optional<int> died = {},
                         std::optional<int> withdrawn = {}, bool excluded = false) {
    const auto day = [](std::optional<int> d) { return d ? std::optional(Day(*d)) : std::nullopt; };
    return HipEvents{kSurgery, day(revised), day(died), day(withdrawn), excluded, {}};
  };
  struct Case {
    const char* what;
    std::vector<Radiograph> radiographs;
    HipEvents events;
    VisitStatus status;
    CalendarDate cutoff = 2030y / January / 1;
  };
  const HipEvents none = events({});
  using S = VisitStatus;
  const Case cases[] = {
      {"measured", {{5, 0}, {365, -1}}, none, S::Measured},
      {"excluded, though measured", {{5, 0}, {365, -1}}, events({}, {}, {}, true), S::Excluded},
      {"late baseline, though measured", {{43, 0}, {365, -1}}, none, S::LateBaseline},
      {"late baseline before a revision", {{43, 0}}, events(100), S::LateBaseline},
      {"baseline on its last day", {{42, 0}, {365, -1}}, none, S::Measured},
      {"baseline on the day of surgery", {{0, 0}, {365, -1}}, none, S::Measured},
      {"revised before died", {{5, 0}}, events(200, 100), S::Revised},
      {"died before withdrawn", {{5, 0}}, events({}, 300, 100), S::Died},
      {"withdrawn", {{5, 0}}, events({}, {}, 547), S::Withdrawn},
      {"an event after the window's end", {{5, 0}}, events(548), S::Missed},
      {"a radiograph after the revision", {{5, 0}, {365, -1}}, events(300), S::Revised},
      {"a radiograph before the revision", {{5, 0}, {290, -1}}, events(300), S::Measured},
      {"a radiograph after the earlier of two events", {{5, 0}, {365, -1}}, events({}, 300, 400), S::Died},
      {"not yet due before after a break", {{5, 0, false, true}, {365, -1}}, none, S::NotYetDue, Day(546)},
      {"due on the window's last day", {{5, 0}}, none, S::Missed, Day(547)},
      {"a revision after the cut-off is not known", {{5, 0}}, events(500), S::NotYetDue, Day(499)},
      {"a revision on the cut-off's day is", {{5, 0}}, events(499), S::Revised, Day(499)},
      {"after a break before incomparable", {{5, 0, false, true}, {365, -1, true}}, none, S::AfterBreak},
      {"incomparable", {{5, 0}, {365, -1, true}}, none, S::Incomparable},
      {"a candidate before the break", {{5, 0}, {300, -1, false, true}, {365, -2}}, none, S::Measured},
      {"missed", {{5, 0}, {600, -1}}, none, S::Missed},
  };
  for (const Case& c : cases) {
    Protocol p = OneVisit(ValueAtVisit::Nearest, {9, 18});
    p.visits[0].months = 12;
    p.cutoff = c.cutoff;
    const std::vector<VisitValue> visits = HipVisits(CourseOf(c.radiographs), c.events, p);
    EXPECT_EQ(StatusName(visits[1].status), StatusName(c.status)) << c.what;
    EXPECT_EQ(visits[1].subsidence.has_value(), c.status == S::Measured) << c.what;
  }
}

// Touching windows share a bound: 96 months are exactly 2922 days, and a
// radiograph there is the value of the later visit only. The window of 84
// months ends before day 2922, so it is due with a cut-off on day 2921.
TEST(VisitValue, ARadiographOnASharedBoundIsTheLaterVisitsOnly) {
  Protocol p;
  ASSERT_EQ(p.visits[7].name, "84 months");
  ASSERT_EQ(p.visits[8].windowMonths[0], 96);
  p.cutoff = Day(2922);
  const std::vector<VisitValue> visits = HipVisits(CourseOf({{5, 0}, {2922, -2}}), FromSurgery(), p);
  EXPECT_EQ(StatusName(visits[8].status), "missed");
  EXPECT_EQ(StatusName(visits[9].status), "measured");
  EXPECT_EQ(visits[9].radiograph, 2);
  p.cutoff = Day(2921);
  EXPECT_EQ(StatusName(HipVisits(CourseOf({{5, 0}}), FromSurgery(), p)[8].status), "missed");
  p.cutoff = Day(2920);
  EXPECT_EQ(StatusName(HipVisits(CourseOf({{5, 0}}), FromSurgery(), p)[8].status), "not_yet_due");
}

// A window that closes centuries after the cut-off is not yet due; its end
// in days is beyond any int.
TEST(VisitValue, AWindowFarBeyondTheCutoffIsNotYetDue) {
  for (const std::array<double, 2> window : {std::array<double, 2>{96, 1e9}, {96, 1e300}}) {
    Protocol p = OneVisit(ValueAtVisit::Nearest, window);
    p.visits[0].months = 100;
    const std::vector<VisitValue> visits = HipVisits(CourseOf({{5, 0}, {365, -1}}), FromSurgery(), p);
    EXPECT_EQ(StatusName(visits[1].status), StatusName(VisitStatus::NotYetDue)) << window[1];
  }
}

TEST(VisitValue, SegmentsCountTheBreaks) {
  const HipCourse course = CourseOf({{0, 0}, {1, 0, false, true}, {2, 0}, {3, 0, false, true}, {4, 0}});
  EXPECT_EQ(Segments(course), (std::vector<int>{1, 1, 2, 2, 3}));
}

TEST(VisitValue, BandsByTheSizeOfTheChange) {
  for (auto [change, band] : {std::pair{0.0, "acceptable"},
                              {-0.49, "acceptable"},
                              {0.5, "at_risk"},
                              {-1.49, "at_risk"},
                              {-1.5, "unacceptable"},
                              {3.0, "unacceptable"}}) {
    EXPECT_EQ(BandOf(change, {0.5, 1.5}), band) << change;
  }
}

// R: quantile(c(1, 2, 3, 4)) gives 1.75, 2.5, 3.25; quantile(c(7)) 7 at
// every p; quantile(c(-1, -0.5, 2), 0.1) gives -0.9.
TEST(Describe, QuartilesAsRsTypeSeven) {
  for (auto [p, want] : {std::pair{0.25, 1.75}, {0.5, 2.5}, {0.75, 3.25}, {1.0, 4.0}})
    EXPECT_DOUBLE_EQ(QuantileType7({1, 2, 3, 4}, p), want) << p;
  EXPECT_DOUBLE_EQ(QuantileType7({7}, 0.25), 7);
  EXPECT_DOUBLE_EQ(QuantileType7({-1, -0.5, 2}, 0.1), -0.9);
}

TEST(Describe, WilsonScoreInterval) {
  for (auto [k, n, low, high] : {std::tuple{8, 10, 0.4901625, 0.9433178},
                                 {1, 3, 0.0614919, 0.7923404},
                                 {0, 2, 0.0, 0.6576198},
                                 {2, 2, 0.3423802, 1.0}}) {
    const auto [l, h] = WilsonInterval(k, n);
    EXPECT_NEAR(l, low, 1e-7) << k << "/" << n;
    EXPECT_NEAR(h, high, 1e-7) << k << "/" << n;
  }
}
