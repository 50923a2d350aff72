// The scales a figure writes beside the diagrams, read from the scale each
// box was drawn in.
#include "graphics/diagram_axes.h"

#include <functional>

#include "graphics/diagram_assignment.h"

#include "base/numtext.h"
#include "graphics_test_helpers.h"

using namespace sinkview;
using namespace sinkview::testing;

namespace {

struct Written {
  std::vector<std::string> values, months;
  std::vector<double> valueYs, monthXs;
  std::string quantity;
};

// What the scales wrote, sorted by where: right-anchored values, centred months, the left-anchored quantity.
Written Read(const RecordingSurface& s) {
  Written w;
  for (const auto& t : s.placedTexts) {
    if (t.anchor == Surface::Anchor::Right) {
      w.values.push_back(t.text);
      w.valueYs.push_back(t.y);
    } else if (t.anchor == Surface::Anchor::Centre) {
      w.months.push_back(t.text);
      w.monthXs.push_back(t.x);
    } else {
      w.quantity = t.text;
    }
  }
  return w;
}

// A roomy box: 300 x 200 pixels, rows of 10 and digits 6 wide.
AxesRoom Roomy(double boxHeight = 200) { return {300, boxHeight, 40, 15, 10, 13, 10, 6}; }

} // namespace

// 800 days are 26.3 months: year ticks at 12 and 24. Subsidence 1.25, 0.5,
// -0.75 with a zoom of 1: y from CInt(-1.75) = -2 to CInt(2.25) = 2, the
// grid through 1.25. Distances stacked: c4 from 0 to 0.5, c1 from 3 to
// 3.4: y from CInt(-1) = -1 to CInt(4.4) = 4 at whole millimetres. A box
// of 40 pixels over 4 mm has no room for every label: each second one.
TEST(DiagramAxes, ValuesAtTheDrawnGridLinesAndMonthsAtTheYearTicks) {
  const MeasurementModel m = ModelAtDays({0, 400, 800});
  const Series sub = SeriesOf({1.25f, 0.5f, -0.75f});
  const Series c4 = SeriesOf({5, 5.2f, 5.5f}), c1 = SeriesOf({7, 7.2f, 7.4f});
  const std::function<DiagramScale(Surface&)> single = [&](Surface& s) { return PlotSeries(m, sub, 1, s); };
  const std::function<DiagramScale(Surface&)> stacked = [&](Surface& s) {
    return PlotDistanceCurves(m, c1, c1, c4, c4, s);
  };
  const struct {
    const char* name;
    std::function<DiagramScale(Surface&)> plot;
    AxesRoom room;
    std::vector<std::string> values;
  } cases[] = {
      {"single", single, Roomy(), {"1.25", "0.25", "-0.75", "-1.75"}},
      {"stacked", stacked, Roomy(), {"-1", "0", "1", "2", "3", "4"}},
      {"stacked, crowded", stacked, Roomy(40), {"-1", "1", "3"}},
  };
  for (const auto& c : cases) {
    RecordingSurface box, scales;
    const DiagramScale scale = c.plot(box);
    DrawDiagramAxes({scale, kSubsidenceQuantity}, c.room, scales);
    const Written w = Read(scales);
    EXPECT_EQ(w.values, c.values) << c.name;
    // Each value stands at its grid line, one the box drew.
    const std::vector<double> drawn = GridLines(box, 800);
    for (std::size_t i = 0; i < w.values.size(); ++i) {
      EXPECT_EQ(GridValueText(w.valueYs[i]), w.values[i]) << c.name;
      EXPECT_NE(std::find(drawn.begin(), drawn.end(), w.valueYs[i]), drawn.end())
          << c.name << " " << w.values[i];
    }
    EXPECT_EQ(w.months, (std::vector<std::string>{"12", "24"})) << c.name;
    EXPECT_EQ(w.monthXs, (std::vector<double>{12 * kDaysPerMonth, 24 * kDaysPerMonth})) << c.name;
    EXPECT_EQ(w.quantity, kSubsidenceQuantity) << c.name;
    // The box keeps its place on the surface: its scale widened by the room.
    ASSERT_EQ(scales.scales.size(), 1u);
    const auto& s = scales.scales[0];
    const double perPixelX = 800 / c.room.boxWidth, perPixelY = (scale.hi - scale.lo) / c.room.boxHeight;
    EXPECT_DOUBLE_EQ(s.x1, -c.room.left * perPixelX) << c.name;
    EXPECT_DOUBLE_EQ(s.x2, 800 + c.room.right * perPixelX) << c.name;
    EXPECT_DOUBLE_EQ(s.y1, scale.hi + c.room.top * perPixelY) << c.name;
    EXPECT_DOUBLE_EQ(s.y2, scale.lo - c.room.bottom * perPixelY) << c.name;
  }
}

// Ten years in a box 100 pixels wide: a label of "120" needs 24 pixels and
// a year is 10 wide, so every third year is written.
TEST(DiagramAxes, CrowdedYearsAreThinnedAndAZoomChangeShows) {
  const MeasurementModel m = ModelAtDays({0, 3660});
  const Series v = SeriesOf({0, 1});
  RecordingSurface box, scales;
  DrawDiagramAxes({PlotSeries(m, v, 1, box), kAngleQuantity}, {100, 200, 40, 15, 10, 13, 10, 6}, scales);
  EXPECT_EQ(Read(scales).months, (std::vector<std::string>{"36", "72", "108"}));

  // A zoom of 3 instead of 1 widens the band from [-1, 2] to [-3, 4].
  for (const auto& [zoom, values] :
       {std::pair{1.0f, std::vector<std::string>{"0", "1", "2", "-1"}},
        std::pair{3.0f, std::vector<std::string>{"0", "1", "2", "3", "4", "-1", "-2", "-3"}}}) {
    RecordingSurface zoomed, written;
    DrawDiagramAxes({PlotSeries(m, v, zoom, zoomed), kAngleQuantity}, Roomy(), written);
    EXPECT_EQ(Read(written).values, values) << zoom;
  }
}

// The figure's subsidence axis reads the change since the first radiograph,
// as the table does, and not the distance the change is measured on. The
// stem/cement curve starts on that zero, so it reads its own change; the
// raw series starts elsewhere here so that a curve aligned on it shows.
TEST(DiagramAxes, SubsidenceReadsZeroAtTheFirstRadiographAndStemCementOnItsOwn) {
  PreparedSeries p{{}, ModelAtDays({0, 400, 800}), {}};
  MeasurementModel& m = p.model;
  m.ProsthesisSide = "left";
  m.HasStemCementData = true;
  m.CorrectedShoulderMajor = SeriesOf({0.67f, 0.2f, -1.1f});
  m.ShoulderMajorDistance = SeriesOf({0.9f, 0.5f, -0.8f});
  m.CorrectedStemCement = SeriesOf({2, 2.5f, 1.75f});
  RecordingSurface box, scales;
  const auto drawn = PaintPicture(3, p, "", box);
  ASSERT_TRUE(drawn);
  DrawDiagramAxes(*drawn, Roomy(), scales);
  const Written w = Read(scales);
  // The band from CInt(-1.1 - 3) to CInt(0.67 + 3), the grid through 0.67.
  EXPECT_EQ(w.values, (std::vector<std::string>{"0", "1", "2", "3", "-1", "-2", "-3", "-4"}));
  EXPECT_EQ(w.valueYs.at(0), m.CorrectedShoulderMajor[1]);
  const auto red = Where(box, [](const Segment& g) { return g.colour == kLightRed; });
  ASSERT_EQ(red.size(), 2u);
  EXPECT_NEAR(red[0].y1 - w.valueYs[0], 0, 1e-6);
  EXPECT_NEAR(red[0].y2 - w.valueYs[0], 0.5, 1e-6);
  EXPECT_NEAR(red[1].y2 - w.valueYs[0], -0.25, 1e-6);
}

// Stacked curves are drawn each on a zero of its own a millimetre apart:
// the scale names each curve's zero instead of writing the offsets.
TEST(DiagramAxes, StackedDistancesShowEachCurvesZeroNotTheOffsets) {
  PreparedSeries p{{}, ModelAtDays({0, 400, 800}), {}};
  MeasurementModel& m = p.model;
  m.ProsthesisSide = "left";
  using M = MeasurementModel;
  float value = 20;
  for (Series M::*s :
       {&M::CorrectedMedial1, &M::CorrectedMedial2, &M::CorrectedMedial3, &M::CorrectedMedial4,
        &M::CorrectedLateral5, &M::CorrectedLateral6, &M::CorrectedLateral7, &M::CorrectedLateral8}) {
    m.*s = SeriesOf({value, value - 0.4f, value + 0.3f});
    value += 5;
  }
  for (const auto& [number, names] :
       {std::pair{2, std::vector<std::string>{"1: 0", "2: 0", "3: 0", "4: 0"}},
        std::pair{4, std::vector<std::string>{"5: 0", "6: 0", "7: 0", "8: 0"}}}) {
    RecordingSurface box, scales;
    const auto drawn = PaintPicture(number, p, "", box);
    ASSERT_TRUE(drawn);
    DrawDiagramAxes(*drawn, Roomy(), scales);
    const Written w = Read(scales);
    EXPECT_EQ(w.values, names) << number;
    // Each name stands where its curve starts, top to bottom.
    const std::vector<Segment> curves = CurveSegments(box);
    ASSERT_EQ(curves.size(), 8u);
    for (std::size_t c = 0; c < 4 && c < w.valueYs.size(); ++c)
      EXPECT_EQ(w.valueYs[c], curves[2 * c].y1) << number << " " << names[c];
    EXPECT_NE(w.quantity.find("change"), std::string::npos) << w.quantity;
  }
}

// Across a break the corrected courses stay level, so a value read after it
// leaves out whatever changed across it: the figure says so whenever a
// drawn curve is broken, and only then.
TEST(DiagramAxes, ABreakInADrawnCurveIsExplained) {
  MeasurementModel m = ModelAtDays({0, 400, 800});
  EXPECT_EQ(BreakNote(m), "");
  m.DisconnectionFlag[3] = 1; // after the last radiograph: no curve is broken
  EXPECT_EQ(BreakNote(m), "");
  m.DisconnectionFlag[1] = 1;
  EXPECT_NE(BreakNote(m).find("not measured"), std::string::npos);
}

TEST(DiagramAxes, GridValuesAreWrittenWithThePointAndAtMostTwoDecimals) {
  SetDecimalSeparator(',');
  for (const auto& [value, text] :
       {std::pair{1.25, "1.25"}, {-0.004, "0"}, {3.0, "3"}, {2.345678, "2.35"}, {-1.5, "-1.5"}})
    EXPECT_EQ(GridValueText(value), text) << value;
  SetDecimalSeparator('.');
}
