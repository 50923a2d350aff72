#include <clocale>
#include <cmath>
#include <limits>

#include "graphics/cohort_plot.h"
#include "graphics_test_helpers.h"
#include "model/numtext.h"

namespace sinkview {
namespace {

using namespace sinkview::testing;

std::vector<Segment> InColour(const RecordingSurface& s, Rgb colour) {
  return Where(s, [&](const Segment& seg) { return seg.colour == colour; });
}

bool HasText(const RecordingSurface& s, const std::string& text) {
  return std::any_of(s.placedTexts.begin(), s.placedTexts.end(),
                     [&](const RecordingSurface::PlacedText& t) { return t.text == text; });
}

CohortPlot TwoPatients() {
  CohortPlot plot;
  plot.courses = {{{0, 6, 12, 24}, {0, -0.5, -1, -2}}, {{0, 3, 12}, {0, -0.2, -0.4}}};
  plot.means = {{6, 2, -0.4, -0.9, 0.1}, {12, 2, -0.7, -1.5, 0.1}, {24, 1, -2, {}, {}}};
  plot.thresholdMm = 1.5;
  return plot;
}

TEST(CohortPlot, DrawsCoursesBandMeanThresholdAndLegend) {
  RecordingSurface s;
  DrawCohortPlot(TwoPatients(), s);

  // Each course as thin segments between its radiographs, in its own
  // colour (the legend adds one sample).
  const auto courses = InColour(s, kCourseColour);
  EXPECT_EQ(courses.size(), 3u + 2u + 1u);
  for (const Segment& seg : courses) EXPECT_EQ(seg.width, 1);

  // The band runs over the two times with an interval: highs forward, lows back.
  ASSERT_GE(s.areas.size(), 1u);
  const auto& band = s.areas[0].corners;
  ASSERT_EQ(band.size(), 4u);
  EXPECT_EQ((std::vector<double>{band[0].x, band[0].y, band[3].x, band[3].y, band[2].y}),
            (std::vector<double>{6, 0.1, 6, -0.9, -1.5}));

  // The mean line joins all three times, n = 1 included, two pixels wide.
  const auto means = InColour(s, kMeanColour);
  const auto joins = std::count_if(means.begin(), means.end(), [](const Segment& seg) {
    return seg.width == 2 && seg.x1 != seg.x2 && seg.y1 != seg.y2;
  });
  EXPECT_EQ(joins, 2);

  // The threshold: dashes on +1.5 and -1.5 with gaps between them.
  for (const double level : {1.5, -1.5}) {
    const auto dashes = Where(s, [&](const Segment& seg) {
      return seg.colour == kThresholdColour && seg.y1 == level && seg.y2 == level;
    });
    ASSERT_GT(dashes.size(), 10u) << level;
    for (std::size_t i = 1; i < dashes.size(); ++i) EXPECT_GT(dashes[i].x1, dashes[i - 1].x2);
  }

  // A tick label at two years among them.
  for (const std::string text :
       {"Each patient (n = 2)", "Threshold \u00B11.5 mm", kMeanLegend, "months", "mm", "24", "-2"})
    EXPECT_TRUE(HasText(s, text)) << text;
}

TEST(CohortPlot, EveryValueDrawnLiesInsideTheScale) {
  RecordingSurface s;
  CohortPlot plot = TwoPatients();
  plot.courses[0].changeMm[2] = -7.3;
  DrawCohortPlot(plot, s);
  ASSERT_EQ(s.scales.size(), 1u);
  const auto& scale = s.scales[0];
  for (const Segment& seg : s.segments) {
    for (const double x : {seg.x1, seg.x2}) EXPECT_TRUE(x >= scale.x1 && x <= scale.x2) << x;
    for (const double y : {seg.y1, seg.y2}) EXPECT_TRUE(y <= scale.y1 && y >= scale.y2) << y;
  }
}

TEST(CohortPlot, OddCohortsStillGiveAFigure) {
  const double nan = std::numeric_limits<double>::quiet_NaN();
  struct Case {
    const char* what;
    CohortPlot plot;
  };
  const Case cases[] = {
      {"no patient", CohortPlot{}},
      {"values that are no numbers", CohortPlot{{{{0, nan, 12}, {0, 1, nan}}}, {{12, 1, nan, {}, {}}}, 1.5}},
      {"a follow-up of centuries", CohortPlot{{{{0, 1e5}, {0, 1}}}, {}, 1.5}},
      {"a threshold of a kilometre", CohortPlot{{}, {}, 1e6}},
  };
  for (const Case& c : cases) {
    RecordingSurface s;
    DrawCohortPlot(c.plot, s);
    EXPECT_LT(s.placedTexts.size(), 60u) << c.what;
    for (const Segment& seg : s.segments)
      for (const double v : {seg.x1, seg.y1, seg.x2, seg.y2}) EXPECT_TRUE(std::isfinite(v)) << c.what;
  }
}

// The figure goes with the study's CSV files and report, which write "."
// whatever the locale: neither the C library's locale (a Qt program sets the
// user's) nor the windows' separator reaches it.
TEST(CohortPlot, NumbersKeepThePointUnderAGermanLocale) {
  ASSERT_TRUE(std::setlocale(LC_ALL, "de_DE.UTF-8")) << "scripts/install-deps.sh test generates it";
  SetDecimalSeparator(',');
  RecordingSurface s;
  DrawCohortPlot(TwoPatients(), s);
  const std::string tick = TickLabel(-1, 0.5);
  SetDecimalSeparator(0);
  std::setlocale(LC_ALL, "C");
  EXPECT_EQ(tick, "-1");
  for (const std::string text : {"Threshold \u00B11.5 mm", "-1.5", "0.5"})
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
