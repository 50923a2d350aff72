#include <cmath>
#include <limits>

#include "graphics/cohort_plot.h"
#include "graphics/model_means_plot.h"
#include "graphics_test_helpers.h"

namespace sinkview {
namespace {

using namespace sinkview::testing;

// The two-group model fitted by hand (tests/data/model_two_groups), the
// primary visit at 24 months, drawn at 300 dpi.
ModelMeansPlot TwoGroups(double widthMm = 85) {
  ModelMeansPlot plot;
  plot.groups = {{"A", {{6, 0.32, 0.08, 0.56}, {12, 0.51, 0.26, 0.76}, {24, 0.65, 0.40, 0.90}}},
                 {"B", {{6, 0.61, 0.35, 0.86}, {12, 0.95, 0.70, 1.20}, {24, 1.23, 0.98, 1.49}}}};
  plot.primaryMonths = 24;
  plot.primaryVisit = "24 months";
  plot.widthMm = widthMm;
  plot.heightMm = ModelMeansFigureHeightMm(widthMm);
  plot.pixelsPerMm = 300 / 25.4;
  return plot;
}

bool HasText(const RecordingSurface& s, const std::string& text) {
  return std::any_of(s.placedTexts.begin(), s.placedTexts.end(),
                     [&](const RecordingSurface::PlacedText& t) { return t.text == text; });
}

// Each group keeps its cohort-figure look, and its intervals stand beside
// the other group's at every visit, not on them.
TEST(ModelMeansPlot, GroupsHaveTheirCohortLookAndTheirIntervalsStandApart) {
  RecordingSurface s;
  DrawModelMeansPlot(TwoGroups(), s);
  for (const std::string& text : std::vector<std::string>{"A", "B", kModelMeansLegend, kMonthsTitle,
                                                          kSubsidenceTitle, PrimaryVisitLegend("24 months")})
    EXPECT_TRUE(HasText(s, text)) << text;
  // The caps of the intervals: short level segments in the group's colour.
  const auto caps = [&](int group, double low) {
    return Where(s, [&](const Segment& g) {
      return g.colour == StyleOfGroup(group).colour && g.y1 == low && g.y2 == low && g.x1 < g.x2;
    });
  };
  const ModelMeansPlot plot = TwoGroups();
  for (std::size_t v = 0; v < 3; ++v) {
    const MeanMark& a = plot.groups[0].means[v];
    const MeanMark& b = plot.groups[1].means[v];
    const auto left = caps(0, *a.lowMm), right = caps(1, *b.lowMm);
    ASSERT_EQ(left.size(), 1u) << a.months;
    ASSERT_EQ(right.size(), 1u) << b.months;
    EXPECT_LT(left[0].x2, a.months);
    EXPECT_LT(left[0].x2, right[0].x1) << "apart at " << a.months;
    EXPECT_GT(right[0].x1, b.months);
  }
  // A filled marker per mean and one in the legend, in each group's colour.
  for (int group : {0, 1})
    EXPECT_EQ(std::count_if(s.areas.begin(), s.areas.end(),
                            [&](const auto& a) { return a.colour == StyleOfGroup(group).colour; }),
              4);
}

TEST(ModelMeansPlot, ThePrimaryVisitIsADashedLineAcrossTheDiagram) {
  const auto marks = [](const ModelMeansPlot& plot) {
    RecordingSurface s;
    DrawModelMeansPlot(plot, s);
    return Where(s, [](const Segment& g) { return g.colour == kThresholdColour && g.x1 == g.x2; });
  };
  const auto primary = marks(TwoGroups());
  EXPECT_GT(primary.size(), 5u) << "dashed";
  for (const Segment& g : primary) EXPECT_EQ(g.x1, 24);
  ModelMeansPlot none = TwoGroups();
  none.primaryMonths.reset();
  EXPECT_TRUE(marks(none).empty());
}

// For a paper: no text below 7 pt and no line below half a point at
// either width, whatever the model gave.
TEST(ModelMeansPlot, TextsAndLinesKeepTheirSizeOnPaperAtEitherWidthAndOddInput) {
  const double nan = std::numeric_limits<double>::quiet_NaN();
  ModelMeansPlot noNumbers = TwoGroups(), centuries = TwoGroups();
  noNumbers.groups[0].means[1] = {nan, nan, nan, nan};
  noNumbers.groups[1].means[0].lowMm.reset();
  centuries.groups[1].means.push_back({1e5, 1e6, -1e6, 1e7});
  const struct {
    const char* what;
    ModelMeansPlot plot;
  } cases[] = {{"85 mm", TwoGroups(85)},
               {"170 mm", TwoGroups(170)},
               {"no group", ModelMeansPlot{}},
               {"no numbers", noNumbers},
               {"a follow-up of centuries", centuries}};
  const double halfPointPixels = 0.5 * 25.4 / 72 * 300 / 25.4;
  for (const auto& c : cases) {
    RecordingSurface s;
    ModelMeansPlot plot = c.plot;
    plot.pixelsPerMm = 300 / 25.4;
    DrawModelMeansPlot(plot, s);
    ASSERT_FALSE(s.placedTexts.empty()) << c.what;
    for (const auto& t : s.placedTexts) EXPECT_GE(t.points, 7.0) << t.text << ", " << c.what;
    for (const Segment& g : s.segments) {
      EXPECT_GE(g.width, halfPointPixels) << c.what;
      for (const double v : {g.x1, g.y1, g.x2, g.y2}) EXPECT_TRUE(std::isfinite(v)) << c.what;
    }
  }
}

} // namespace
} // namespace sinkview
