#include <clocale>
#include <cmath>
#include <limits>

#include "base/numtext.h"
#include "graphics/cohort_plot.h"
#include "graphics_test_helpers.h"

namespace sinkview {
namespace {

using namespace sinkview::testing;

// Two groups of hips on the study clock, the primary visit at 24 months.
CohortPlot TwoGroups(double widthMm = 85) {
  CohortPlot plot;
  plot.groups = {{"Cemented", 2, {{6, 2, -0.4, -0.9, 0.1}, {12, 2, -0.7, -1.5, 0.1}, {24, 1, -2, {}, {}}}},
                 {"Uncemented", 1, {{6, 1, -0.2, {}, {}}, {12, 1, -0.4, {}, {}}, {24, 0, {}, {}, {}}}}};
  plot.courses = {{{0, 6, 12, 24}, {0, -0.5, -1, -2}, 0},
                  {{0, 6, 12}, {0, -0.3, -0.4}, 0},
                  {{0, 6, 12}, {0, -0.2, -0.4}, 1}};
  plot.thresholdMm = 1.5;
  plot.primaryMonths = 24;
  plot.primaryVisit = "24 months";
  plot.widthMm = widthMm;
  plot.heightMm = CohortFigureHeightMm(widthMm);
  return plot;
}

// Each group has its own colour, dash and marker, and its hips at each visit
// stand under the axis.
TEST(CohortPlot, GroupsTheirHipsAndTheThresholdAreDrawn) {
  // Colour and dash tell apart in the lines drawn below; the marker here.
  const GroupStyle first = StyleOfGroup(0), second = StyleOfGroup(1);
  EXPECT_NE(first.marker, second.marker);

  RecordingSurface s;
  DrawCohortPlot(TwoGroups(), s);
  // The mean lines: group 0 solid between its three visits, group 1 dashed
  // between its two (no mean at 24 months); the legend adds one sample each.
  const auto meanLines = [&](Rgb colour) {
    return Where(s,
                 [&](const Segment& seg) {
                   return seg.colour == colour && seg.x1 != seg.x2 && seg.y1 != seg.y2;
                 })
        .size();
  };
  EXPECT_EQ(meanLines(first.colour), 2u);
  EXPECT_GT(meanLines(second.colour), 3u);
  // Markers are filled in the group's colour: three means and the legend's.
  for (const auto& [colour, markers] : {std::pair{first.colour, 4}, std::pair{second.colour, 3}})
    EXPECT_EQ(
        std::count_if(s.areas.begin(), s.areas.end(), [&](const auto& a) { return a.colour == colour; }),
        markers);
  for (const std::string text :
       {"Cemented (n = 2 hips)", "Uncemented (n = 1 hip)", kMonthsTitle, kSubsidenceTitle})
    EXPECT_TRUE(HasText(s, text)) << text;

  ASSERT_EQ(s.scales.size(), 1u);
  // A row per group: its name, then n at each visit's target, below the axis.
  for (const auto& [group, counts] :
       {std::pair{std::string("Cemented"), std::vector<std::string>{"2", "2", "1"}},
        std::pair{std::string("Uncemented"), std::vector<std::string>{"1", "1", "0"}}}) {
    const auto name = std::find_if(s.placedTexts.begin(), s.placedTexts.end(),
                                   [&](const auto& t) { return t.text == group; });
    ASSERT_NE(name, s.placedTexts.end()) << group;
    std::vector<std::string> row;
    std::vector<double> at;
    for (const auto& t : s.placedTexts)
      if (t.y == name->y && &t != &*name) {
        row.push_back(t.text);
        at.push_back(t.x);
      }
    EXPECT_EQ(row, counts) << group;
    EXPECT_EQ(at, (std::vector<double>{6, 12, 24})) << group;
    EXPECT_LT(name->y, -2) << "under the axis";
  }

  // The threshold is marked at the primary visit only.
  for (const double level : {1.5, -1.5}) {
    const auto marks = Where(s, [&](const Segment& seg) {
      return seg.colour == kThresholdColour && seg.y1 == level && seg.y2 == level;
    });
    ASSERT_EQ(marks.size(), 1u) << level;
    EXPECT_LT(marks[0].x1, 24);
    EXPECT_GT(marks[0].x2, 24);
    EXPECT_LT(marks[0].x2 - marks[0].x1, 6) << "a mark, not a line across the axis";
  }
  EXPECT_TRUE(HasText(s, "Threshold \u00B11.5 mm at 24 months"));

  CohortPlot withoutPrimary = TwoGroups();
  withoutPrimary.primaryMonths.reset();
  RecordingSurface none;
  DrawCohortPlot(withoutPrimary, none);
  EXPECT_TRUE(Where(none, [](const Segment& seg) { return seg.colour == kThresholdColour; }).empty());
}

// Text for a paper: at one column's width no text is below 7 pt, and the
// figure keeps its size in points whatever its width. A course beyond the
// means still lies inside the scale.
TEST(CohortPlot, EveryTextIsAtLeastSevenPointsAndEveryValueInsideTheScaleAtEitherWidth) {
  for (const double width : {85.0, 170.0}) {
    CohortPlot plot = TwoGroups(width);
    plot.courses[0].changeMm[2] = -7.3;
    RecordingSurface s;
    DrawCohortPlot(plot, s);
    ASSERT_FALSE(s.placedTexts.empty());
    for (const auto& t : s.placedTexts) EXPECT_GE(t.points, 7.0) << t.text << " at " << width << " mm";
    ASSERT_EQ(s.scales.size(), 1u);
    const auto& scale = s.scales[0];
    for (const Segment& seg : s.segments) {
      for (const double x : {seg.x1, seg.x2}) EXPECT_TRUE(x >= scale.x1 && x <= scale.x2) << x;
      for (const double y : {seg.y1, seg.y2}) EXPECT_TRUE(y <= scale.y1 && y >= scale.y2) << y;
    }
  }
}

TEST(CohortPlot, OddCohortsStillGiveAFigure) {
  const double nan = std::numeric_limits<double>::quiet_NaN();
  struct Case {
    const char* what;
    CohortPlot plot;
  };
  CohortPlot noNumbers = TwoGroups(), centuries = TwoGroups(), kilometre = TwoGroups();
  noNumbers.courses = {{{0, nan, 12}, {0, 1, nan}, 0}};
  noNumbers.groups[0].means[0].meanMm = nan;
  centuries.courses = {{{0, 1e5}, {0, 1}, 1}};
  kilometre.thresholdMm = 1e6;
  const Case cases[] = {
      {"no hip", CohortPlot{}},
      {"values that are no numbers", noNumbers},
      {"a follow-up of centuries", centuries},
      {"a threshold of a kilometre", kilometre},
  };
  for (const Case& c : cases) {
    RecordingSurface s;
    DrawCohortPlot(c.plot, s);
    EXPECT_LT(s.placedTexts.size(), 80u) << c.what;
    for (const Segment& seg : s.segments)
      for (const double v : {seg.x1, seg.y1, seg.x2, seg.y2}) EXPECT_TRUE(std::isfinite(v)) << c.what;
  }
}

TEST(CohortPlot, NumbersKeepThePointUnderAGermanLocale) {
  ASSERT_TRUE(std::setlocale(LC_ALL, "de_DE.UTF-8")) << "scripts/install-deps.sh test generates it";
  SetDecimalSeparator(',');
  RecordingSurface s;
  DrawCohortPlot(TwoGroups(), s);
  SetDecimalSeparator(0);
  std::setlocale(LC_ALL, "C");
  for (const std::string text : {"Threshold \u00B11.5 mm at 24 months", "-1.5", "0.5"})
    EXPECT_TRUE(HasText(s, text)) << text;
  for (const auto& placed : s.placedTexts) EXPECT_EQ(placed.text.find(','), std::string::npos) << placed.text;
}

TEST(CohortPlot, TickLabelsShowTheStepsDecimalsOnly) {
  struct Case {
    double value, step;
    const char* label;
  } const cases[] = {
      {0.5, 0.5, "0.5"}, {-1e-17, 0.5, "0"}, {24, 6, "24"}, {-2, 0.2, "-2"}, {1.25, 1e-6, "1.25"}};
  for (const Case& c : cases) EXPECT_EQ(TickLabel(c.value, c.step), c.label) << c.value;
  EXPECT_EQ(TickStep(120, 10, true), 12);
  EXPECT_EQ(TickStep(3.1, 8, false), 0.5);
}

} // namespace
} // namespace sinkview
