#include "graphics/diagram_assignment.h"

#include "graphics/plotting.h"
#include "graphics_test_helpers.h"

using namespace sinkview;
using namespace sinkview::testing;
using M = MeasurementModel;

namespace {

const std::string kSketchFolder = std::string(SINKVIEW_SOURCE_DIR) + "/graphics/sketch/";
constexpr Rgb kRed{255, 0, 0}; // QBColor(12)

// Three radiographs within one month (no month ticks), each series with
// values of its own, so a drawing tells which series it shows.
MeasurementModel Distinct() {
  MeasurementModel m = ModelAtDays({0, 10, 20});
  m.ProsthesisSide = "left";
  float value = 10;
  for (Series M::*s : {&M::CorrectedHeadMinor, &M::CorrectedHeadMajor, &M::CorrectedShoulderMinor,
                       &M::CorrectedShoulderMajor, &M::HeadMinorDistance, &M::HeadMajorDistance,
                       &M::ShoulderMinorDistance, &M::ShoulderMajorDistance}) {
    m.*s = SeriesOf({value, value + 0.5f, value + 0.25f});
    value += 10;
  }
  m.CorrectedStemCement = SeriesOf({0.25f, 0.5f, 1});
  return m;
}

} // namespace

// A left replacement shows the medial distances in box 2 and the lateral ones
// in box 4; "right" exchanges the columns, any other side value is left.
TEST(PaintPicture, RightReplacementSwapsTheBoxesAndEveryOtherSideValueIsLeft) {
  const PreparedSeries read = PreparedExample("bauer_helene_left.vok");
  const auto drawn = [&](const char* side, int number) {
    PreparedSeries p = read;
    p.model.ProsthesisSide = side;
    RecordingSurface s;
    PaintPicture(number, p, kSketchFolder, s);
    return s.segments;
  };
  const MeasurementModel& m = read.model;
  RecordingSurface medial, lateral;
  PlotDistanceCurves(m, m.CorrectedMedial1, m.CorrectedMedial2, m.CorrectedMedial3, m.CorrectedMedial4,
                     medial);
  PlotDistanceCurves(m, m.CorrectedLateral5, m.CorrectedLateral6, m.CorrectedLateral7, m.CorrectedLateral8,
                     lateral);
  EXPECT_EQ(drawn("left", 2), medial.segments);
  EXPECT_EQ(drawn("left", 4), lateral.segments);
  for (int number = 2; number <= 5; ++number) {
    EXPECT_EQ(drawn("right", number), drawn("left", number < 4 ? number + 2 : number - 2)) << number;
    EXPECT_NE(drawn("right", number), drawn("left", number)) << number;
    for (const char* side : {"Right", ""}) EXPECT_EQ(drawn(side, number), drawn("left", number)) << side;
  }
}

// The thin black overlay is the raw series; the red stem/cement curve starts
// on the corrected series' first value, where the axis reads zero.
TEST(PlotSubsidence, SeriesFollowTheReferenceAndTheOverlaysTheirSwitches) {
  const struct {
    std::int16_t referencePoint, trochanter, showRaw, stemCement;
    Series M::*corrected;
    Series M::*raw;
  } cases[] = {
      {1, 1, 1, 1, &M::CorrectedShoulderMinor, &M::ShoulderMinorDistance},
      {1, 0, 1, 1, &M::CorrectedShoulderMajor, &M::ShoulderMajorDistance},
      {0, 1, 1, 1, &M::CorrectedHeadMinor, &M::HeadMinorDistance},
      {0, -1, 1, 1, &M::CorrectedHeadMajor, &M::HeadMajorDistance},
      {0, 1, 0, 1, &M::CorrectedHeadMinor, &M::HeadMinorDistance},
      {0, 1, 1, 0, &M::CorrectedHeadMinor, &M::HeadMinorDistance},
      {1, 0, 0, 0, &M::CorrectedShoulderMajor, &M::ShoulderMajorDistance},
  };
  for (const auto& c : cases) {
    PreparedSeries p{{}, Distinct(), {}};
    p.settings.ReferencePoint = static_cast<Reference>(c.referencePoint);
    p.settings.TrochanterChoice = static_cast<Trochanter>(c.trochanter);
    p.settings.ShowRawData = static_cast<RawData>(c.showRaw);
    p.model.HasStemCementData = c.stemCement == 1;
    const MeasurementModel& m = p.model;
    RecordingSurface s;
    PlotSubsidence(p, s);
    SCOPED_TRACE(
        ::testing::PrintToString(std::vector<int>{c.referencePoint, c.trochanter, c.showRaw, c.stemCement}));
    const double r = (m.*c.raw)[1], z = (m.*c.corrected)[1];
    const std::vector<Segment> none,
        raw{{0, r, 10, r + 0.5, {}, false, 1}, {10, r + 0.5, 20, r + 0.25, {}, false, 1}},
        red{{0, z, 10, z + 0.25, kRed, false, 1}, {10, z + 0.25, 20, z + 0.75, kRed, false, 1}};
    EXPECT_EQ(CurveSegments(s).at(0).y1, (m.*c.corrected)[1]);
    EXPECT_EQ(Where(s, [](const Segment& g) { return g.width == 1 && !g.colour; }), c.showRaw ? raw : none);
    EXPECT_EQ(Where(s, [](const Segment& g) { return g.colour == kRed; }), c.stemCement ? red : none);
  }
}
