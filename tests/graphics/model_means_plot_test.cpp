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

// Each group in its cohort-figure colour, its interval beside the other
// group's at every visit rather than on it; the primary visit dashed. For a
// paper: no text below 7 pt and no line below half a point at either width.
TEST(ModelMeansPlot, GroupsStandApartInTheirColoursThePrimaryVisitIsDashedAndSizesKeepOnPaper) {
  const double halfPointPixels = 0.5 / 72 * 300;
  for (const double width : {85.0, 170.0}) {
    const ModelMeansPlot plot = TwoGroups(width);
    RecordingSurface s;
    DrawModelMeansPlot(plot, s);
    for (std::size_t v = 0; v < 3; ++v) {
      std::vector<Segment> caps; // the lower caps: A's, then B's
      for (int g : {0, 1}) {
        const auto low = *plot.groups[static_cast<std::size_t>(g)].means[v].lowMm;
        const auto found = Where(s, [&](const Segment& seg) {
          return seg.colour == StyleOfGroup(g).colour && seg.y1 == low && seg.y2 == low && seg.x1 < seg.x2;
        });
        ASSERT_EQ(found.size(), 1u) << g << " at " << v << " at " << width << " mm";
        caps.push_back(found[0]);
      }
      const double months = plot.groups[0].means[v].months;
      EXPECT_LT(caps[0].x2, months) << width << " mm";
      EXPECT_GT(caps[1].x1, months) << width << " mm";
    }
    const auto primary =
        Where(s, [](const Segment& g) { return g.colour == kThresholdColour && g.x1 == g.x2; });
    EXPECT_GT(primary.size(), 5u) << "dashed";
    for (const Segment& g : primary) EXPECT_EQ(g.x1, 24);
    ASSERT_FALSE(s.placedTexts.empty());
    for (const auto& t : s.placedTexts) EXPECT_GE(t.points, 7.0) << t.text << " at " << width << " mm";
    for (const Segment& g : s.segments) EXPECT_GE(g.width, halfPointPixels) << width << " mm";
  }
}

} // namespace
} // namespace sinkview
