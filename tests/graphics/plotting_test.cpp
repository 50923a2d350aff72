#include "graphics/plotting.h"

#include <limits>

#include "graphics_test_helpers.h"

using namespace sinkview;
using namespace sinkview::testing;

namespace {

// The colours are given as numbers, not palette indices: 8 is red 8 of 255.
constexpr Rgb kColour8{8, 0, 0}, kColour7{7, 0, 0};

std::vector<double> OnlyScale(const RecordingSurface& s) {
  EXPECT_EQ(s.scales.size(), 1u);
  if (s.scales.empty()) return {};
  return {s.scales[0].x1, s.scales[0].y1, s.scales[0].x2, s.scales[0].y2};
}

std::vector<Segment> RadiographLines(const RecordingSurface& s) {
  return Where(s, [](const Segment& g) { return g.colour == kColour8 && g.x1 == g.x2 && g.y1 != g.y2; });
}

} // namespace

// Values 2.3, 4.6, 3.1 and the zoom range of 3: y from CInt(2.3 - 3) = -1 to
// CInt(4.6 + 3) = 8.
TEST(PlotSeries, GridRunsThroughTheFirstValueAndTheCurveIsTwoPixelsWide) {
  MeasurementModel m = ModelAtDays({0, 100, 400});
  const Series v = SeriesOf({2.3f, 4.6f, 3.1f});
  RecordingSurface s;
  PlotSeries(m, v, kStartZoomRange, s);
  EXPECT_EQ(OnlyScale(s), (std::vector<double>{0, 8, 400, -1}));
  const double v1 = v[1];
  EXPECT_EQ(GridLines(s, 400),
            (std::vector<double>{v1, v1 + 1, v1 + 2, v1 + 3, v1 + 4, v1 + 5, v1 - 1, v1 - 2, v1 - 3}));
  EXPECT_EQ(RadiographLines(s).size(), 3u);
  for (const Segment& g : RadiographLines(s)) EXPECT_TRUE(g.y1 == -1 && g.y2 == 8) << g.x1;
  EXPECT_EQ(CurveSegments(s),
            (std::vector<Segment>{{0, 2.3f, 100, 4.6f, {}, false, 2}, {100, 4.6f, 400, 3.1f, {}, false, 2}}));
  EXPECT_EQ(s.DrawWidth(), 1);
}

TEST(PlotMonthTicks, FiftyNineAndNineTenthsMonthsGiveFiftyNineTicksLongAtWholeYears) {
  MeasurementModel m = ModelAtDays({0, static_cast<float>(59.9 * 365 / 12)});
  RecordingSurface single, stacked;
  PlotSeries(m, SeriesOf({2, 3}), kStartZoomRange, single); // lo = -1, hi = 6
  const Series c1 = SeriesOf({0, 0}), c2 = c1, c3 = c1, c4 = c1;
  PlotDistanceCurves(m, c1, c2, c3, c4, stacked); // lo = -1, hi = 4
  const struct {
    const RecordingSurface& surface;
    std::optional<Rgb> colour;
    double height, year, month;
  } diagrams[] = {{single, std::nullopt, 7, 20, 50}, {stacked, kColour7, 5, 40, 100}};
  for (const auto& d : diagrams) {
    const std::vector<Segment> ticks = Where(d.surface, [&](const Segment& g) {
      return g.colour == d.colour && g.width == 1 && g.x1 == g.x2 && g.y1 == -1 && g.y2 != -1;
    });
    ASSERT_EQ(ticks.size(), 59u);
    for (int month = 1; month <= 59; ++month) {
      EXPECT_DOUBLE_EQ(ticks[month - 1].x1, month * 365.0 / 12) << month;
      EXPECT_EQ(ticks[month - 1].y2, -1 + d.height / (month % 12 == 0 ? d.year : d.month)) << month;
    }
  }
}

TEST(DisconnectionFlag, RemovesThatSegmentOfEveryCurveButNotTheRadiographLineOrTheOverlay) {
  MeasurementModel m = ModelAtDays({0, 30, 60, 90});
  m.DisconnectionFlag[2] = 1;
  const Series c1 = SeriesOf({4, 5, 6, 7}), c2 = c1, c3 = c1, c4 = c1;
  RecordingSurface single, stacked, overlay;
  PlotSeries(m, c1, kStartZoomRange, single);
  PlotDistanceCurves(m, c1, c2, c3, c4, stacked);
  for (const auto& [s, curves] : {std::pair{&single, 1u}, std::pair{&stacked, 4u}}) {
    const std::vector<Segment> drawn = CurveSegments(*s);
    EXPECT_EQ(drawn.size(), 2 * curves);
    for (const Segment& g : drawn) EXPECT_TRUE(g.x1 != 30 && g.x2 != 60) << ::testing::PrintToString(g);
    EXPECT_EQ(RadiographLines(*s).size(), 4u);
  }
  OverlaySeries(m, SeriesOf({1.5f, 2.5f, 9, 1}), overlay);
  EXPECT_TRUE(overlay.scales.empty());
  EXPECT_EQ(overlay.segments, (std::vector<Segment>{{0, 1.5f, 30, 2.5f, {}, false, 1},
                                                    {30, 2.5f, 60, 9, {}, false, 1},
                                                    {60, 9, 90, 1, {}, false, 1}}));
}

TEST(PlotSeries, DegenerateInputGivesAClampedDiagramQuickly) {
  const float huge = std::numeric_limits<float>::max(), nan = std::numeric_limits<float>::quiet_NaN();
  const struct {
    int radiographs;
    float a, b, zoom;
    double top, bottom;
    std::size_t curve;
  } cases[] = {
      {1, 4, 0, 3, 7, 1, 0},             // one radiograph: a scale of no width, no curve
      {2, 5, 5, 0, 5, 5, 1},             // no spread and no zoom: a flat range
      {2, 1e6f, 2e6f, 3, 32767, 997, 1}, // the minimum keeps its start value 1000
      {2, huge, -huge, 3, 32767, -32768, 1},
      {2, 2, 3, nan, 0, 0, 1},
  };
  for (const auto& c : cases) {
    MeasurementModel m = ModelAtDays({0, 30});
    m.RadiographCount = static_cast<std::int16_t>(c.radiographs);
    RecordingSurface s;
    PlotSeries(m, SeriesOf({c.a, c.b}), c.zoom, s);
    EXPECT_EQ(OnlyScale(s), (std::vector<double>{0, c.top, c.radiographs == 1 ? 0.0 : 30.0, c.bottom}))
        << c.a;
    EXPECT_LT(s.segments.size(), 4u * 65536) << c.a;
    EXPECT_EQ(CurveSegments(s).size(), c.curve) << c.a;
  }
}

// 1.1 - 4 + 3 is 1.1 - 1 only in double precision. The series given stay
// as they are, so a second call draws the same.
TEST(PlotDistanceCurves, DrawsChangesFromThreeTwoOneZeroWithTheGridAtWholeUnits) {
  MeasurementModel m = ModelAtDays({0, 30, 60});
  const Series c[4] = {SeriesOf({4, 4.5f, 1.1f, 77}), SeriesOf({7, 7.25f, 7}), SeriesOf({5, 4.5f, 5.5f}),
                       SeriesOf({2, 1, 3})};
  const Series rebased[4] = {SeriesOf({3, 3.5f, 1.1f - 1}), SeriesOf({2, 2.25f, 2}),
                             SeriesOf({1, 0.5f, 1.5f}), SeriesOf({0, -1, 1})};
  RecordingSurface first, second;
  PlotDistanceCurves(m, c[0], c[1], c[2], c[3], first);
  PlotDistanceCurves(m, c[0], c[1], c[2], c[3], second);
  const std::vector<Segment> curves = CurveSegments(first);
  ASSERT_EQ(curves.size(), 8u);
  for (int k = 0; k < 4; ++k) {
    const Series& r = rebased[k];
    EXPECT_EQ(curves[2 * k], (Segment{0, r[1], 30, r[2], {}, false, 2})) << "curve " << k + 1;
    EXPECT_EQ(curves[2 * k + 1], (Segment{30, r[2], 60, r[3], {}, false, 2})) << "curve " << k + 1;
  }
  EXPECT_EQ(c[0], SeriesOf({4, 4.5f, 1.1f, 77}));
  // Curve 4 reaches -1, curve 1 3.5: from CInt(-2) to CInt(4.5), a margin of one.
  EXPECT_EQ(OnlyScale(first), (std::vector<double>{0, 4, 60, -2}));
  EXPECT_EQ(GridLines(first, 60), (std::vector<double>{-2, -1, 0, 1, 2, 3, 4}));
  EXPECT_EQ(first.segments, second.segments);
}
