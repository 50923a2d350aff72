// The table and the export of a series set up by hand, so that every change
// can be computed on paper.
#include <gtest/gtest.h>

#include "../support/file_contents.h"

#include <unistd.h>

#include <cmath>

#include "../support/failure_text.h"
#include "model/numtext.h"
#include "model/segments.h"
#include "table/export_file.h"
#include "table/table_text.h"
#include "ui/recording_surface.h"

using namespace sinkview;
using sinkview::testing::MessageOf;
namespace fs = std::filesystem;
using Cells = std::vector<std::pair<int, std::string>>;

namespace {

// Four radiographs flagged 0, 1, 1, 0, the third incomparable: the second is
// measured from the first, the fourth from itself.
MeasurementModel HandSeries(bool stemCement) {
  SetDecimalSeparator('.');
  MeasurementModel m;
  m.PatientCode = "Bauer Helene HB-48";
  m.ProsthesisSide = "left";
  m.HasStemCementData = stemCement ? 1 : 0;
  m.RadiographCount = 4;
  m.ObservationMonths = 24;
  m.ElapsedDays = {0, 0, 91.25f, 365, 730};
  m.DisconnectionFlag = {0, 0, 1, 1, 0};
  m.IsolatedFlag = {0, 0, 0, 1, 0};
  for (auto series : kParameterSeries) m.*series = {0, 10.0f, 15.0f, 7.0f, 200.0f};
  m.CorrectedMedial1[2] = 138.5f;
  m.CorrectedAngle[2] = 8.75f;
  m.CorrectedShoulderMajor = {0, 40.0f, 39.5f, 1.0f, 3.0f};
  m.CorrectedHeadMajor = {0, 50.0f, 10.0f, 10.0f, 10.0f}; // not the chosen series
  m.CorrectedStemCement = {0, 1.0f, 1.25f, 1.0f, 1.0f};
  return m;
}

// Line n of the table; the rows of the radiographs start at line 9.
std::string TableLine(const MeasurementModel& m, int n) {
  RecordingSurface surface;
  RenderTable(m, surface);
  return surface.LineText(n);
}

// Texts starting at the given 1-based columns, after what the line holds.
std::string Line(const Cells& cells, std::string line = "") {
  for (const auto& [column, text] : cells) {
    line.resize(static_cast<std::size_t>(column - 1), ' ');
    line += text;
  }
  return line;
}

} // namespace

TEST(Segments, AFlaggedRadiographNeverStartsASegment) {
  MeasurementModel m = HandSeries(true); // flags 0, 1, 1, 0
  m.DisconnectionFlag[5] = 1;            // beyond the series, never read
  EXPECT_EQ(SegmentStarts(m), (Flags{0, 1, 1, 1, 4}));
  m.DisconnectionFlag = {0, 1, 0, 1, 0};
  EXPECT_EQ(SegmentStarts(m), (Flags{0, 1, 2, 2, 4}));
}

TEST(TableText, HeaderHasThreeSubsidenceColumnsWithStemCementDataAndOneWithout) {
  const std::string caption = " months flag medial distances 1-4    lateral distances 5-8   angle";
  std::vector<std::string> expected = {
      " PATIENT: Bauer Helene HB-48 / SIDE OF REPLACEMENT: left",
      Line({{1, " TOTAL NUMBER OF X-RAYS: 4 "}, {35, "PERIOD OF OBSERVATION: 24 months"}}),
      Line({{1, " TIME LIMIT: 60 months"}, {35, "Subsidence related to MajorTroch. / Shoulder"}}),
      Line({{35, "Magnification computed by head radius  (individ.)"}}),
      "",
      " VOK - PARAMETERS WITH DIAGRAM-DISCONNECTION-FLAG (0/1)",
      Line({{1, " (dots instead of values mark incomparable radiographs)"}, {70, "Subsidence"}}),
      Line({{70, "stem/"}, {77, "cem./"}, {84, "cem./"}}),
      Line({{70, "bone"}, {77, "stem"}, {84, "bone"}}, caption)};
  for (int n = 0; n < 9; ++n) EXPECT_EQ(TableLine(HandSeries(true), n), expected[n]) << n;
  expected[6] = " (dots instead of values mark incomparable radiographs)";
  expected[7] = Line({{70, "Subsidence"}});
  expected[8] = Line({{70, "stem/bone"}}, caption);
  for (int n = 0; n < 9; ++n) EXPECT_EQ(TableLine(HandSeries(false), n), expected[n]) << n;
}

TEST(TableText, RowsShowTheChangesSinceTheStartOfTheirSegmentOrDots) {
  for (bool stemCement : {true, false}) {
    Cells zeros, changes = {{14, "128.5"}}, dots;
    for (int column : {14, 20, 26, 32, 38, 44, 50, 56, 62, 70, 77, 84}) zeros.emplace_back(column, "00.0");
    for (int column : {20, 26, 32, 38, 44, 50, 56}) changes.emplace_back(column, "05.0");
    changes.insert(changes.end(), {{62, "-01.3"}, {70, "-00.5"}, {77, "00.3"}, {84, "-00.8"}});
    for (int column : {10, 16, 22, 28, 34, 40, 46, 52, 58, 64, 72, 79, 86}) dots.emplace_back(column, ".");
    zeros.resize(stemCement ? 12 : 10);
    changes.resize(zeros.size());
    dots.resize(zeros.size() + 1);
    const std::string rows[] = {Line(zeros, "  0      0 "), Line(changes, "  3      1 "), Line(dots, "  12"),
                                Line(zeros, "  24     0 "), ""};
    for (int i = 0; i < 5; ++i) EXPECT_EQ(TableLine(HandSeries(stemCement), 9 + i), rows[i]) << stemCement;
  }
}

// Line heights in whole pixels, 1.5 pixels per point rounded up, as a font's
// metrics grow in steps.
TEST(TableText, FontFollowsTheWidthUntilTheTableWouldNotFitItsHeight) {
  const auto lineHeight = [](double points) { return std::ceil(points * 1.5); };
  // Width rule, lines, height -> font size (or, with 0, the largest that fits).
  for (const auto& [widthRule, lines, height, expected] :
       std::initializer_list<std::tuple<double, int, double, double>>{
           {7.8, 39, 39 * 12, 7.8}, // just fits
           {15.6, 13, 400, 15.6},   // a short series at twice the width
           {15.6, 39, 408, 0},      // 30 radiographs at twice the width
           {7.8, 39, 408, 0},       // 30 radiographs at design size
           {7.8, 0, 0, 7.8}}) {
    const double size = FittingTableFontSize(widthRule, lines, height, lineHeight);
    if (expected > 0) {
      EXPECT_DOUBLE_EQ(size, expected) << lines << " lines in " << height;
    } else {
      EXPECT_LE(lines * lineHeight(size), height) << size;
      EXPECT_GT(lines * lineHeight(size + 0.01), height) << size << " is not the largest";
    }
  }
  MeasurementModel m = HandSeries(true);
  EXPECT_EQ(TableLineCount(m), 9 + 4);
}

TEST(ExportFile, HeaderTitlesAndOneLinePerRadiographWithAndWithoutStemCementData) {
  MeasurementModel m = HandSeries(true);
  EXPECT_EQ(ExportText(m), "Bauer Helene HB-48 / side of replacement: left\r\n"
                           "Subsidence related to Major Trochanter: yes\r\n"
                           "Subsidence related to head center: no\r\n"
                           "months;flag;medial1;medial2;medial3;medial4;lateral1;lateral2;lateral3;lateral4;"
                           "angle;total subs.;subs.in CI;subs.of CI\r\n"
                           " 0 ; 0 ; 0 ; 0 ; 0 ; 0 ; 0 ; 0 ; 0 ; 0 ; 0 ; 0 ; 0 ; 0 \r\n"
                           " 3 ; 1 ; 128.5 ; 5 ; 5 ; 5 ; 5 ; 5 ; 5 ; 5 ;-1.25 ;-0.5 ; 0.25 ;-0.75 \r\n"
                           " 12 ; .; .; .; .; .; .; .; .; .; .; .\r\n"
                           " 24 ; 0 ; 0 ; 0 ; 0 ; 0 ; 0 ; 0 ; 0 ; 0 ; 0 ; 0 ; 0 ; 0 \r\n");
  m.HasStemCementData = false;
  m.ReferencePoint = Reference::HeadCenter;
  m.TrochanterChoice = Trochanter::Minor;
  EXPECT_NE(
      ExportText(m).find("Trochanter: no\r\nSubsidence related to head center: yes\r\nmonths;flag;medial1;"
                         "medial2;medial3;medial4;lateral1;lateral2;lateral3;lateral4;angle;total subs.\r\n"
                         " 0 ; 0 ; 0 ; 0 ; 0 ; 0 ; 0 ; 0 ; 0 ; 0 ; 0 ; 0 \r\n"
                         " 3 ; 1 ; 128.5 ; 5 ; 5 ; 5 ; 5 ; 5 ; 5 ; 5 ;-1.25 ; 0 \r\n"
                         " 12 ; .; .; .; .; .; .; .; .; .; .; .\r\n"),
      std::string::npos)
      << ExportText(m);
}

TEST(ExportFile, RewritingGivesTheSameFileAndAFailureNamesItAndLeavesWhatWasThere) {
  const fs::path folder = fs::temp_directory_path() / ("sinkview_export_" + std::to_string(::getpid()));
  const fs::path path = folder / "hb48.num", occupied = folder / "occupied.num";
  fs::create_directories(occupied / "inside");
  std::ofstream(path) << "an older and longer export that must not leave a tail behind\n";
  for (int pass = 0; pass < 2; ++pass)
    EXPECT_EQ(MessageOf(WriteExportFile(HandSeries(true), path.string())), "") << pass;
  EXPECT_EQ(sinkview::testing::FileContents(path), ExportText(HandSeries(true)));
  for (const fs::path& refused : {folder / "gone" / "hb48.num", occupied})
    EXPECT_NE(MessageOf(WriteExportFile(HandSeries(true), refused.string())).find(refused.string()),
              std::string::npos);
  EXPECT_TRUE(fs::is_directory(occupied / "inside"));
  EXPECT_EQ(std::distance(fs::directory_iterator(folder), fs::directory_iterator()), 2) << "no temporary";
  // Finite values whose change overflows: never an export of "inf".
  MeasurementModel overflowing = HandSeries(true);
  overflowing.CorrectedShoulderMajor = {0, -3e38f, 3e38f, 1.0f, 3.0f};
  const fs::path never = folder / "overflowing.num";
  EXPECT_NE(MessageOf(WriteExportFile(overflowing, never.string())).find("radiograph 2"), std::string::npos);
  EXPECT_FALSE(fs::exists(never));
  fs::remove_all(folder);
}
