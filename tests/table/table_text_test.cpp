#include "table/table_text.h"

#include <gtest/gtest.h>

#include <utility>
#include <vector>

#include "series_builder.h"
#include "ui/recording_surface.h"

using namespace sinkview;

namespace {

class TableText : public ::testing::Test {
protected:
  void SetUp() override { SetDecimalSeparator('.'); }
};

// A line made of texts starting at the given 1-based columns.
std::string Line(const std::vector<std::pair<int, std::string>>& items) {
  std::string line;
  for (const auto& [column, text] : items) {
    line.resize(static_cast<std::size_t>(column - 1), ' ');
    line += text;
  }
  return line;
}

RecordingSurface Rendered(const MeasurementModel& m) {
  RecordingSurface surface;
  RenderTable(m, surface);
  return surface;
}

// The text printed from `column` on, up to the next tab gap.
std::string TextAt(const RecordingSurface& s, int line, int column) {
  for (const auto& t : s.texts) {
    if (t.line == line && t.column == column) return t.text;
  }
  return "<nothing at " + std::to_string(column) + ">";
}

std::vector<int> DotColumns(const std::string& line) {
  std::vector<int> columns;
  for (std::size_t i = 0; i < line.size(); ++i) {
    if (line[i] == '.') columns.push_back(static_cast<int>(i) + 1);
  }
  return columns;
}

constexpr int kFirstRow = 9;

} // namespace

TEST_F(TableText, HeaderWithStemCementDataStacksThreeSubsidenceHeadings) {
  MeasurementModel m = PreparedSeries({0, 730}, true);
  const RecordingSurface s = Rendered(m);
  EXPECT_EQ(s.LineText(0), " PATIENT: Bauer Helene HB-48 / SIDE OF REPLACEMENT: left");
  EXPECT_EQ(s.LineText(1),
            Line({{1, " TOTAL NUMBER OF X-RAYS: 2 "}, {35, "PERIOD OF OBSERVATION: 24 months"}}));
  EXPECT_EQ(s.LineText(2),
            Line({{1, " TIME LIMIT: 60 months"}, {35, "Subsidence related to MajorTroch. / Shoulder"}}));
  EXPECT_EQ(s.LineText(3), Line({{35, "Magnification computed by head radius  (individ.)"}}));
  EXPECT_EQ(s.LineText(4), "");
  EXPECT_EQ(s.LineText(5), " VOK - PARAMETERS WITH DIAGRAM-DISCONNECTION-FLAG (0/1)");
  EXPECT_EQ(s.LineText(6),
            Line({{1, " (dots instead of values mark incomparable radiographs)"}, {70, "Subsidence"}}));
  EXPECT_EQ(s.LineText(7), Line({{70, "stem/"}, {77, "cem./"}, {84, "cem./"}}));
  EXPECT_EQ(s.LineText(8), Line({{1, " months"},
                                 {9, "flag"},
                                 {14, "medial distances 1-4"},
                                 {38, "lateral distances 5-8"},
                                 {62, "angle"},
                                 {70, "bone"},
                                 {77, "stem"},
                                 {84, "bone"}}));
}

TEST_F(TableText, HeaderWithoutStemCementDataHasOneSubsidenceColumnAndNamesOtherSettings) {
  MeasurementModel m = PreparedSeries({0, 730}, false);
  m.ReferencePoint = 0;
  m.TrochanterChoice = 1;
  m.MagnificationSource = 1;
  m.UseMeanMagnification = 1;
  m.TimeLimitDays = 24.5f * 365 / 12; // rounds to the even 24
  const RecordingSurface s = Rendered(m);
  EXPECT_EQ(s.LineText(2),
            Line({{1, " TIME LIMIT: 24 months"}, {35, "Subsidence related to MinorTroch. / Head Center"}}));
  EXPECT_EQ(s.LineText(3), Line({{35, "Magnification computed by stem length  (mean)"}}));
  EXPECT_EQ(s.LineText(6), " (dots instead of values mark incomparable radiographs)");
  EXPECT_EQ(s.LineText(7), Line({{70, "Subsidence"}}));
  EXPECT_EQ(s.LineText(8).substr(61), Line({{62, "angle"}, {70, "stem/bone"}}).substr(61));
}

TEST_F(TableText, RowsShowChangesSinceTheStartOfTheirSegment) {
  // Flags 0, 1, 1, 0, 0: radiographs 1-3 are measured from 1, 4 and 5 from 4.
  MeasurementModel m = PreparedSeries({0, 91.25f, 365, 730, 1095}, true);
  SetFlags(m.DisconnectionFlag, {0, 1, 1, 0, 0});
  for (auto [k, value] : {std::pair{1, 10.0f}, {2, 15.0f}, {3, 8.8f}, {4, 200.0f}, {5, 323.4f}}) {
    SetParameters(m, k, value);
  }
  m.CorrectedShoulderMajor = {0, 40.0f, 39.5f, 39.0f, 37.0f, 36.0f};
  m.CorrectedHeadMajor = {0, 50.0f, 10.0f, 10.0f, 10.0f, 10.0f}; // not the chosen series
  m.CorrectedStemCement = {0, 1.0f, 1.25f, 1.5f, 2.0f, 2.5f};
  const RecordingSurface s = Rendered(m);

  struct Expect {
    int radiograph, column;
    std::string text;
  };
  const Expect cells[] = {
      {1, 2, " 0 "},    {1, 9, " 0 "},    {1, 14, "00.0"}, {1, 62, "00.0"},  {1, 70, "00.0"},
      {1, 84, "00.0"},  {2, 2, " 3 "},    {2, 9, " 1 "},   {2, 14, "05.0"},  {2, 56, "05.0"},
      {2, 62, "05.0"},  {2, 70, "-00.5"}, {2, 77, "00.3"}, {2, 84, "-00.8"}, {3, 2, " 12 "},
      {3, 20, "-01.2"}, {3, 70, "-01.0"}, {3, 77, "00.5"}, {3, 84, "-01.5"}, {4, 9, " 0 "},
      {4, 14, "00.0"},  {4, 84, "00.0"},  {5, 2, " 36 "},  {5, 26, "123.4"}, {5, 70, "-01.0"},
      {5, 77, "00.5"},  {5, 84, "-01.5"},
  };
  for (const Expect& e : cells) {
    EXPECT_EQ(TextAt(s, kFirstRow + e.radiograph - 1, e.column), e.text)
        << "radiograph " << e.radiograph << ", column " << e.column;
  }
  EXPECT_EQ(s.LineText(kFirstRow + m.RadiographCount), "") << "one row per radiograph";
}

TEST_F(TableText, IncomparableRadiographShowsItsMonthsAndDotsOnly) {
  struct Case {
    bool stemCement;
    std::vector<int> dots;
  };
  const Case cases[] = {
      {true, {10, 16, 22, 28, 34, 40, 46, 52, 58, 64, 72, 79, 86}},
      {false, {10, 16, 22, 28, 34, 40, 46, 52, 58, 64, 72}},
  };
  for (const Case& c : cases) {
    MeasurementModel m = PreparedSeries({0, 365}, c.stemCement);
    m.IsolatedFlag[2] = 1;
    m.DisconnectionFlag[2] = 1; // not shown
    SetParameters(m, 2, 7.0f);
    const std::string row = Rendered(m).LineText(kFirstRow + 1);
    EXPECT_EQ(row.substr(0, 5), "  12 ");
    EXPECT_EQ(DotColumns(row), c.dots) << row;
    EXPECT_EQ(row.find_first_not_of(" .", 5), std::string::npos) << row;
  }
}
