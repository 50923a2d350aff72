#include "graphics/diagram_assignment.h"

#include <gtest/gtest.h>

#include "graphics_test_helpers.h"

using namespace sinkview;
using namespace sinkview::testing;

namespace {

const std::string kSketchFolder = std::string(SINKVIEW_SOURCE_DIR) + "/graphics/sketch/";

// Three radiographs within one month (no month ticks), each series with
// values of its own, so a drawing tells which series it shows.
MeasurementModel Distinct(const std::string& side) {
  MeasurementModel m = ModelAtDays({0, 10, 20});
  m.ProsthesisSide = side;
  float value = 10;
  for (Series MeasurementModel::*s :
       {&MeasurementModel::CorrectedMedial1, &MeasurementModel::CorrectedMedial2,
        &MeasurementModel::CorrectedMedial3, &MeasurementModel::CorrectedMedial4,
        &MeasurementModel::CorrectedLateral5, &MeasurementModel::CorrectedLateral6,
        &MeasurementModel::CorrectedLateral7, &MeasurementModel::CorrectedLateral8,
        &MeasurementModel::CorrectedAngle, &MeasurementModel::CorrectedHeadMinor,
        &MeasurementModel::CorrectedHeadMajor, &MeasurementModel::CorrectedShoulderMinor,
        &MeasurementModel::CorrectedShoulderMajor, &MeasurementModel::HeadMinorDistance,
        &MeasurementModel::HeadMajorDistance, &MeasurementModel::ShoulderMinorDistance,
        &MeasurementModel::ShoulderMajorDistance}) {
    m.*s = SeriesOf({value, value + 0.5f, value + 0.25f});
    value += 10;
  }
  m.CorrectedStemCement = SeriesOf({0.25f, 0.5f, 1});
  return m;
}

// Which diagram picture box `number` shows, told from what it drew.
std::string DiagramOf(int number, MeasurementModel m) {
  const MeasurementModel before = m;
  RecordingSurface s;
  PaintPicture(number, m, kSketchFolder, s);
  if (m.CorrectedMedial1 != before.CorrectedMedial1) return "medial";
  if (m.CorrectedLateral5 != before.CorrectedLateral5) return "lateral";
  const std::vector<Segment> curve = CurveSegments(s);
  if (curve.empty()) return "nothing";
  if (curve[0].y1 == before.CorrectedAngle[1]) return "angle";
  if (curve[0].y1 == CorrectedSubsidence(before)[1]) return "subsidence";
  return "something else";
}

} // namespace

TEST(PaintPicture, DiagramsArePlacedBySideWithEveryOtherSideValueDrawnAsLeft) {
  const struct {
    const char* side;
    const char* diagrams[4]; // pictures 2 to 5
  } cases[] = {{"left", {"medial", "subsidence", "lateral", "angle"}},
               {"right", {"lateral", "angle", "medial", "subsidence"}},
               {"Right", {"medial", "subsidence", "lateral", "angle"}},
               {"", {"medial", "subsidence", "lateral", "angle"}}};
  for (const auto& c : cases) {
    for (int number = 2; number <= 5; ++number) {
      EXPECT_EQ(DiagramOf(number, Distinct(c.side)), c.diagrams[number - 2])
          << "side \"" << c.side << "\", Picture" << number;
    }
  }
}

TEST(PlotSubsidence, SeriesFollowReferencePointAndTrochanter) {
  using M = MeasurementModel;
  const struct {
    std::int16_t referencePoint, trochanter;
    Series M::*corrected;
    Series M::*raw;
  } cases[] = {
      {1, 1, &M::CorrectedShoulderMinor, &M::ShoulderMinorDistance},
      {1, 0, &M::CorrectedShoulderMajor, &M::ShoulderMajorDistance},
      {1, 2, &M::CorrectedShoulderMajor, &M::ShoulderMajorDistance},
      {-1, 0, &M::CorrectedShoulderMajor, &M::ShoulderMajorDistance},
      {0, 1, &M::CorrectedHeadMinor, &M::HeadMinorDistance},
      {0, 0, &M::CorrectedHeadMajor, &M::HeadMajorDistance},
      {0, 2, &M::CorrectedHeadMajor, &M::HeadMajorDistance},
  };
  for (const auto& c : cases) {
    MeasurementModel m = Distinct("left");
    m.ReferencePoint = c.referencePoint;
    m.TrochanterChoice = c.trochanter;
    m.ShowRawData = 1;
    m.HasStemCementData = 1;
    RecordingSurface s;
    PlotSubsidence(m, s);
    const std::string which = "reference point " + std::to_string(c.referencePoint) + ", trochanter " +
                              std::to_string(c.trochanter);
    EXPECT_EQ(CurveSegments(s).front().y1, (m.*c.corrected)[1]) << which;
    EXPECT_EQ(ThinSegments(s, std::nullopt).front().y1, (m.*c.raw)[1]) << which;
    EXPECT_EQ(ThinSegments(s, kLightRed).front().y1, (m.*c.raw)[1]) << which;
  }
}

TEST(PlotSubsidence, WithoutRawDataAndStemCementOnlyTheCorrectedCurveIsDrawn) {
  MeasurementModel m = Distinct("left");
  m.ShowRawData = 0;
  m.HasStemCementData = 0;
  RecordingSurface s;
  PlotSubsidence(m, s);
  EXPECT_EQ(CurveSegments(s).size(), 2u);
  EXPECT_TRUE(ThinSegments(s, std::nullopt).empty());
  EXPECT_TRUE(ThinSegments(s, kLightRed).empty());
}

TEST(OverlayAlignedSeries, RedCurveStartsOnTheFirstRawValueAndIgnoresTheFlags) {
  for (const char* file : {"bauer_helene_left.vok", "schmid_anna_left_breaks.vok"}) {
    MeasurementModel m = LoadPrepared(file);
    m.ShowRawData = 0;
    RecordingSurface s;
    PaintPicture(3, m, kSketchFolder, s); // a left replacement: the subsidence diagram
    const std::vector<Segment> red = ThinSegments(s, kLightRed);
    ASSERT_EQ(red.size(), static_cast<std::size_t>(m.RadiographCount - 1)) << file;
    EXPECT_FLOAT_EQ(static_cast<float>(red[0].y1), RawSubsidence(m)[1]) << file;
    EXPECT_EQ(red[0].x1, 0) << file;
    for (std::size_t i = 1; i < red.size(); ++i) EXPECT_EQ(red[i].y1, red[i - 1].y2) << file;
  }
}

TEST(OverlayAlignedSeries, ShiftsTheSeriesByTheDifferenceOfTheFirstValues) {
  MeasurementModel m = ModelAtDays({0, 10, 20});
  RecordingSurface s;
  OverlayAlignedSeries(m, SeriesOf({5.5f}), SeriesOf({0.25f, 0.5f, 1}), s);
  EXPECT_EQ(s.segments, (std::vector<Segment>{{0, 5.5, 10, 5.75, kLightRed, false, 1},
                                              {10, 5.75, 20, 6.25, kLightRed, false, 1}}));
  EXPECT_TRUE(s.scales.empty());
  EXPECT_EQ(s.clsCount, 0);
}

TEST(OverlayAlignedSeries, OneRadiographDrawsNothing) {
  MeasurementModel m = ModelAtDays({0});
  RecordingSurface s;
  OverlayAlignedSeries(m, SeriesOf({5}), SeriesOf({1}), s);
  EXPECT_TRUE(s.segments.empty());
}

TEST(PaintPicture, RepaintingGivesTheSamePicture) {
  for (const char* file :
       {"bauer_helene_left.vok", "mueller_otto_right.vok", "schmid_anna_left_breaks.vok"}) {
    MeasurementModel m = LoadPrepared(file);
    m.ShowRawData = 1;
    for (int number = 1; number <= 5; ++number) {
      RecordingSurface first, second;
      PaintPicture(number, m, kSketchFolder, first);
      PaintPicture(number, m, kSketchFolder, second);
      EXPECT_FALSE(first.segments.empty()) << file << " Picture" << number;
      EXPECT_EQ(first.segments, second.segments) << file << " Picture" << number;
    }
  }
}

TEST(PaintPicture, SketchBoxDrawsTheSketchOfTheSide) {
  MeasurementModel left = Distinct("left"), right = Distinct("right");
  RecordingSurface l, r;
  PaintPicture(1, left, kSketchFolder, l);
  PaintPicture(1, right, kSketchFolder, r);
  ASSERT_FALSE(l.segments.empty());
  ASSERT_EQ(l.segments.size(), r.segments.size());
  EXPECT_EQ(l.segments[0].x1, -r.segments[0].x1);
  EXPECT_TRUE(l.texts.empty());
}
