#include "graphics/plotting.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <random>

#include "graphics_test_helpers.h"

using namespace sinkview;
using namespace sinkview::testing;

namespace {

// Horizontal grid lines: colour 8 from x = 0 to the last radiograph.
std::vector<double> GridLines(const RecordingSurface& s, double lastDay) {
  std::vector<double> ys;
  for (const Segment& g : s.segments) {
    if (g.colour == kGridColour && g.x1 == 0 && g.x2 == lastDay && g.y1 == g.y2) ys.push_back(g.y1);
  }
  return ys;
}

// Right-edge ticks: colour 8 from xr to the last radiograph.
std::vector<double> EdgeTicks(const RecordingSurface& s, double xr) {
  std::vector<double> ys;
  for (const Segment& g : s.segments) {
    if (g.colour == kGridColour && g.x1 == xr && g.y1 == g.y2) ys.push_back(g.y1);
  }
  return ys;
}

// Vertical lines in colour 8: the radiograph lines.
std::vector<Segment> RadiographLines(const RecordingSurface& s) {
  return Where(s, [](const Segment& g) { return g.colour == kGridColour && g.x1 == g.x2 && g.y1 != g.y2; });
}

// Month ticks: short vertical lines standing on the bottom edge.
std::vector<Segment> MonthTicks(const RecordingSurface& s, std::optional<Rgb> colour, double lo) {
  return Where(s, [&](const Segment& g) {
    return g.colour == colour && g.width == 1 && g.x1 == g.x2 && g.y1 == lo && g.y2 != lo;
  });
}

} // namespace

TEST(AxisLimit, RoundsHalvesToEvenAndClampsBeyondSixteenBits) {
  const double inf = std::numeric_limits<double>::infinity();
  const struct {
    double value;
    int limit;
  } cases[] = {{2.5, 2},         {3.5, 4},           {-2.5, -2},         {-0.7, -1},   {32767.4, 32767},
               {32767.5, 32767}, {-32768.5, -32768}, {-32768.6, -32768}, {1e9, 32767}, {-1e30, -32768},
               {inf, 32767},     {-inf, -32768},     {std::nan(""), 0}};
  for (const auto& c : cases) EXPECT_EQ(AxisLimit(c.value), c.limit) << c.value;
}

// Three radiographs at 0, 100 and 400 days with values 2.3, 4.6, 3.1 and
// the zoom range of 3: y from CInt(2.3 - 3) = -1 to CInt(4.6 + 3) = 8.
class PlotSeriesOfThree : public ::testing::Test {
protected:
  void SetUp() override { PlotSeries(m, v, s); }
  MeasurementModel m = ModelAtDays({0, 100, 400});
  const Series v = SeriesOf({2.3f, 4.6f, 3.1f});
  const double v1 = v[1];
  RecordingSurface s;
};

TEST_F(PlotSeriesOfThree, ScalesFromTheRoundedRangeWithZoomAndClearsOnce) {
  ASSERT_EQ(s.scales.size(), 1u);
  EXPECT_EQ(s.scales[0].x1, 0);
  EXPECT_EQ(s.scales[0].y1, 8);
  EXPECT_EQ(s.scales[0].x2, 400);
  EXPECT_EQ(s.scales[0].y2, -1);
  EXPECT_EQ(s.clsCount, 1);
  EXPECT_EQ(s.DrawWidth(), 1);
}

TEST_F(PlotSeriesOfThree, GridRunsThroughTheFirstValuePlusAndMinusWholeUnits) {
  EXPECT_EQ(GridLines(s, 400),
            (std::vector<double>{v1, v1 + 1, v1 + 2, v1 + 3, v1 + 4, v1 + 5, v1 - 1, v1 - 2, v1 - 3}));
}

TEST_F(PlotSeriesOfThree, RightEdgeTicksEveryHalfUnitFromTheFirstValueWhichIsTickedTwice) {
  std::vector<double> expected;
  for (int k = 0; k <= 11; ++k) expected.push_back(v1 + 0.5 * k); // up to 7.8, below hi = 8
  for (int k = 0; k <= 6; ++k) expected.push_back(v1 - 0.5 * k);  // down to -0.7, above lo = -1
  EXPECT_EQ(EdgeTicks(s, 400.0 * 610 / 620), expected);
}

TEST_F(PlotSeriesOfThree, DrawsALineAtEveryRadiographOverTheWholeHeight) {
  const std::vector<Segment> lines = RadiographLines(s);
  ASSERT_EQ(lines.size(), 3u);
  for (int i = 0; i < 3; ++i) {
    EXPECT_EQ(lines[i].x1, m.ElapsedDays[i + 1]);
    EXPECT_EQ(lines[i].y1, -1);
    EXPECT_EQ(lines[i].y2, 8);
  }
}

TEST_F(PlotSeriesOfThree, CurveIsTwoPixelsWideInTheForeColor) {
  EXPECT_EQ(CurveSegments(s),
            (std::vector<Segment>{{0, 2.3f, 100, 4.6f, {}, false, 2}, {100, 4.6f, 400, 3.1f, {}, false, 2}}));
}

TEST(MonthTicks, FiftyNineAndNineTenthsMonthsGiveFiftyNineTicksLongAtWholeYears) {
  MeasurementModel m = ModelAtDays({0, static_cast<float>(59.9 * 365 / 12)});
  Series v = SeriesOf({2, 3});
  RecordingSurface single;
  PlotSeries(m, v, single); // lo = -1, hi = 6
  Series c1 = SeriesOf({0, 0}), c2 = c1, c3 = c1, c4 = c1;
  RecordingSurface stacked;
  PlotDistanceCurves(m, c1, c2, c3, c4, stacked); // lo = -1, hi = 4

  const struct {
    const RecordingSurface& surface;
    std::optional<Rgb> colour;
    double lo, height, year, month;
  } diagrams[] = {{single, std::nullopt, -1, 7, 20, 50}, {stacked, kDistanceTickColour, -1, 5, 40, 100}};
  for (const auto& d : diagrams) {
    const std::vector<Segment> ticks = MonthTicks(d.surface, d.colour, d.lo);
    ASSERT_EQ(ticks.size(), 59u);
    for (int month = 1; month <= 59; ++month) {
      const Segment& t = ticks[month - 1];
      EXPECT_DOUBLE_EQ(t.x1, month * 365.0 / 12) << month;
      const double length = month % 12 == 0 ? d.height / d.year : d.height / d.month;
      EXPECT_EQ(t.y1, d.lo) << month;
      EXPECT_EQ(t.y2, d.lo + length) << month;
    }
  }
}

TEST(PlotSeries, FlaggedIntervalRemovesOnlyThatSegmentAndKeepsTheRadiographLines) {
  MeasurementModel m = ModelAtDays({0, 30, 60, 90});
  m.DisconnectionFlag[2] = 1;
  RecordingSurface s;
  PlotSeries(m, SeriesOf({1, 2, 3, 4}), s);
  EXPECT_EQ(CurveSegments(s),
            (std::vector<Segment>{{0, 1, 30, 2, {}, false, 2}, {60, 3, 90, 4, {}, false, 2}}));
  EXPECT_EQ(RadiographLines(s).size(), 4u);
}

TEST(OverlaySeries, DrawsOneUnbrokenThinPolylineWithoutScaleOrClear) {
  MeasurementModel m = ModelAtDays({0, 30, 60});
  m.DisconnectionFlag[1] = 1;
  RecordingSurface s;
  PlotSeries(m, SeriesOf({1, 2, 3}), s);
  const std::size_t before = s.segments.size();
  OverlaySeries(m, SeriesOf({1.5f, 2.5f, 9}), s);
  EXPECT_EQ(s.scales.size(), 1u);
  EXPECT_EQ(s.clsCount, 1);
  const std::vector<Segment> overlay(s.segments.begin() + static_cast<long>(before), s.segments.end());
  EXPECT_EQ(overlay,
            (std::vector<Segment>{{0, 1.5f, 30, 2.5f, {}, false, 1}, {30, 2.5f, 60, 9, {}, false, 1}}));
  EXPECT_EQ(s.DrawWidth(), 1);
}

TEST(PlotSeries, SeriesWithoutSpreadAndZeroZoomGivesAFlatRangeAndStillDrawsTheCurve) {
  MeasurementModel m = ModelAtDays({0, 30, 60});
  m.ZoomRange = 0;
  RecordingSurface s;
  PlotSeries(m, SeriesOf({5, 5, 5}), s);
  EXPECT_EQ(s.scales[0].y1, 5);
  EXPECT_EQ(s.scales[0].y2, 5);
  EXPECT_EQ(GridLines(s, 60), std::vector<double>{5});
  EXPECT_EQ(EdgeTicks(s, 60.0 * 610 / 620), (std::vector<double>{5, 5}));
  EXPECT_EQ(CurveSegments(s).size(), 2u);
}

TEST(PlotSeries, ZeroZoomMayCutTheExtremesOffAtTheRoundedRange) {
  MeasurementModel m = ModelAtDays({0, 30});
  m.ZoomRange = 0;
  RecordingSurface s;
  PlotSeries(m, SeriesOf({2.4f, 7.6f}), s);
  EXPECT_EQ(s.scales[0].y1, 8);
  EXPECT_EQ(s.scales[0].y2, 2);
  const double v1 = 2.4f;
  EXPECT_EQ(GridLines(s, 30), (std::vector<double>{v1, v1 + 1, v1 + 2, v1 + 3, v1 + 4, v1 + 5}));
}

TEST(PlotSeries, SingleRadiographGivesAZeroWidthScaleWithItsLineAndNoCurve) {
  MeasurementModel m = ModelAtDays({0});
  RecordingSurface s;
  PlotSeries(m, SeriesOf({4}), s);
  EXPECT_EQ(s.scales[0].x1, 0);
  EXPECT_EQ(s.scales[0].x2, 0);
  EXPECT_EQ(RadiographLines(s).size(), 1u);
  EXPECT_TRUE(CurveSegments(s).empty());
  EXPECT_TRUE(MonthTicks(s, std::nullopt, 1).empty());
}

TEST(PlotSeries, AllValuesAboveTheStartOfTheSearchKeepItAsMinimum) {
  MeasurementModel m = ModelAtDays({0, 30});
  RecordingSurface s;
  PlotSeries(m, SeriesOf({1500, 1600}), s);
  EXPECT_EQ(s.scales[0].y2, 997); // CInt(1000 - 3)
  EXPECT_EQ(s.scales[0].y1, 1603);
}

TEST(PlotSeries, ValuesBeyondTheSixteenBitRangeGiveAClampedDiagramQuickly) {
  const float huge = std::numeric_limits<float>::max();
  const struct {
    float a, b;
    double top, bottom;
  } cases[] = {{1e6f, 2e6f, 32767, 997}, // the minimum stays at its start value 1000
               {-1e30f, 1e30f, 32767, -32768},
               {huge, -huge, 32767, -32768},
               {-std::numeric_limits<float>::infinity(), 1, 4, -32768}};
  for (const auto& c : cases) {
    MeasurementModel m = ModelAtDays({0, 30});
    RecordingSurface s;
    PlotSeries(m, SeriesOf({c.a, c.b}), s);
    EXPECT_EQ(s.scales[0].y1, c.top) << c.a;
    EXPECT_EQ(s.scales[0].y2, c.bottom) << c.a;
    // Never more lines than the clamped range holds half units, plus a few.
    EXPECT_LT(s.segments.size(), 4u * 65536) << c.a;
    EXPECT_EQ(CurveSegments(s).size(), 1u) << c.a;
  }
}

TEST(PlotSeries, ZoomThatIsNotANumberGivesARangeAroundZero) {
  MeasurementModel m = ModelAtDays({0, 30});
  m.ZoomRange = std::numeric_limits<float>::quiet_NaN();
  RecordingSurface s;
  PlotSeries(m, SeriesOf({2, 3}), s);
  EXPECT_EQ(s.scales[0].y1, 0);
  EXPECT_EQ(s.scales[0].y2, 0);
  EXPECT_EQ(CurveSegments(s).size(), 1u);
}

TEST(PlotDistanceCurves, RebasesInPlaceToTheChangeLiftedByThreeTwoOneAndZero) {
  MeasurementModel m = ModelAtDays({0, 30, 60});
  Series c1 = SeriesOf({10, 10.5f, 9.75f, 77}), c2 = SeriesOf({7, 7.25f, 7}), c3 = SeriesOf({5, 4.5f, 5.5f}),
         c4 = SeriesOf({2, 1, 3});
  RecordingSurface s;
  PlotDistanceCurves(m, c1, c2, c3, c4, s);
  EXPECT_EQ(c1, SeriesOf({3, 3.5f, 2.75f, 77})) << "slots above N are not touched";
  EXPECT_EQ(c2, SeriesOf({2, 2.25f, 2}));
  EXPECT_EQ(c3, SeriesOf({1, 0.5f, 1.5f}));
  EXPECT_EQ(c4, SeriesOf({0, -1, 1}));
}

TEST(PlotDistanceCurves, RangeComesFromTheLowestAndHighestCurveWithAMarginOfOne) {
  MeasurementModel m = ModelAtDays({0, 30, 60});
  m.ZoomRange = 10; // not used here
  Series c1 = SeriesOf({10, 10.5f, 9.75f}), c2 = SeriesOf({7, 7.25f, 7}), c3 = SeriesOf({5, 4.5f, 5.5f}),
         c4 = SeriesOf({2, 1, 3});
  RecordingSurface s;
  PlotDistanceCurves(m, c1, c2, c3, c4, s);
  // min of curve 4 is -1, max of curve 1 is 3.5: CInt(-2) = -2, CInt(4.5) = 4.
  ASSERT_EQ(s.scales.size(), 1u);
  EXPECT_EQ(s.scales[0].y1, 4);
  EXPECT_EQ(s.scales[0].y2, -2);
  EXPECT_EQ(s.clsCount, 1);
  EXPECT_EQ(GridLines(s, 60), (std::vector<double>{-2, -1, 0, 1, 2, 3, 4}));
  EXPECT_EQ(EdgeTicks(s, 60.0 * 610 / 620), (std::vector<double>{-1.5, -0.5, 0.5, 1.5, 2.5, 3.5}));
  EXPECT_EQ(RadiographLines(s).size(), 3u);
  EXPECT_EQ(CurveSegments(s).size(), 8u);
  EXPECT_EQ(CurveSegments(s)[0], (Segment{0, 3, 30, 3.5, {}, false, 2}));
  EXPECT_EQ(CurveSegments(s)[7], (Segment{30, -1, 60, 1, {}, false, 2}));
  EXPECT_EQ(s.DrawWidth(), 1);
}

TEST(PlotDistanceCurves, FlaggedIntervalRemovesExactlyThatSegmentOfEveryCurve) {
  MeasurementModel m = ModelAtDays({0, 30, 60, 90});
  m.DisconnectionFlag[2] = 1;
  Series c1 = SeriesOf({4, 5, 6, 7}), c2 = c1, c3 = c1, c4 = c1;
  RecordingSurface s;
  PlotDistanceCurves(m, c1, c2, c3, c4, s);
  const std::vector<Segment> curves = CurveSegments(s);
  ASSERT_EQ(curves.size(), 8u);
  for (const Segment& g : curves) EXPECT_FALSE(g.x1 == 30 && g.x2 == 60);
  EXPECT_EQ(RadiographLines(s).size(), 4u);
}

TEST(PlotDistanceCurves, SecondCallChangesNeitherTheArraysNorThePicture) {
  for (const char* file :
       {"bauer_helene_left.vok", "mueller_otto_right.vok", "schmid_anna_left_breaks.vok"}) {
    MeasurementModel m = LoadPrepared(file);
    RecordingSurface first, second;
    PlotDistanceCurves(m, m.CorrectedMedial1, m.CorrectedMedial2, m.CorrectedMedial3, m.CorrectedMedial4,
                       first);
    const MeasurementModel once = m;
    PlotDistanceCurves(m, m.CorrectedMedial1, m.CorrectedMedial2, m.CorrectedMedial3, m.CorrectedMedial4,
                       second);
    EXPECT_EQ(m.CorrectedMedial1, once.CorrectedMedial1) << file;
    EXPECT_EQ(m.CorrectedMedial2, once.CorrectedMedial2) << file;
    EXPECT_EQ(m.CorrectedMedial3, once.CorrectedMedial3) << file;
    EXPECT_EQ(m.CorrectedMedial4, once.CorrectedMedial4) << file;
    EXPECT_EQ(first.segments, second.segments) << file;
  }
}

TEST(PlotDistanceCurves, RebasingIsIdempotentForMeasuredDistances) {
  std::mt19937 random(20080101);
  std::uniform_real_distribution<float> distance(0.0f, 40.0f);
  for (int round = 0; round < 2000; ++round) {
    MeasurementModel m = ModelAtDays({0, 10, 20, 30, 40, 50});
    Series c[4]{};
    for (Series& curve : c) {
      for (int i = 1; i <= 6; ++i) curve[i] = distance(random);
    }
    RecordingSurface s;
    PlotDistanceCurves(m, c[0], c[1], c[2], c[3], s);
    const Series once[4] = {c[0], c[1], c[2], c[3]};
    PlotDistanceCurves(m, c[0], c[1], c[2], c[3], s);
    for (int k = 0; k < 4; ++k) ASSERT_EQ(c[k], once[k]) << "round " << round << " curve " << k + 1;
  }
}
