// The table and the export of a series set up by hand, so that every change
// can be computed on paper.
#include <gtest/gtest.h>

#include "../support/failure_text.h"
#include "../support/file_contents.h"
#include "../support/temp_folder.h"
#include "base/numtext.h"
#include "model/segments.h"
#include "table/export_file.h"
#include "table/table_text.h"
#include "ui/recording_surface.h"

using namespace sinkview;
using sinkview::testing::MessageOf;
namespace fs = std::filesystem;

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

// A series set up by hand as the preparation would hand it on.
PreparedSeries Prepared(const MeasurementModel& m, const Settings& settings = {}) {
  return {settings, m, SegmentStarts(m)};
}

// The whole table as text, one line after another.
std::string TableText(const MeasurementModel& m) {
  RecordingSurface surface;
  RenderTable(Prepared(m), surface);
  std::string text;
  for (int n = 0; n <= TableLineCount(m); ++n) text += surface.LineText(n) + "\n";
  return text;
}

std::string Golden(const char* name) {
  return sinkview::testing::FileContents(std::string(SINKVIEW_TEST_DATA) + "/" + name);
}

} // namespace

TEST(Segments, AFlaggedRadiographNeverStartsASegment) {
  MeasurementModel m = HandSeries(true); // flags 0, 1, 1, 0
  m.DisconnectionFlag[5] = 1;            // beyond the series, never read
  EXPECT_EQ(SegmentStarts(m), (Flags{0, 1, 1, 1, 4}));
  m.DisconnectionFlag = {0, 1, 0, 1, 0};
  EXPECT_EQ(SegmentStarts(m), (Flags{0, 1, 2, 2, 4}));
}

// Three subsidence columns with stem/cement data and one without; each row
// the changes since the start of its segment, or dots.
TEST(TableText, HeaderAndRowsOfTheHandSeries) {
  EXPECT_EQ(TableText(HandSeries(true)), Golden("hand_series_table.txt"));
  EXPECT_EQ(TableText(HandSeries(false)), Golden("hand_series_table_without_stem_cement.txt"));
}

TEST(ExportFile, HeaderTitlesAndOneLinePerRadiographWithAndWithoutStemCementData) {
  MeasurementModel m = HandSeries(true);
  EXPECT_EQ(ExportText(Prepared(m)), Golden("hand_series.num"));
  m.HasStemCementData = false;
  Settings headCenter;
  headCenter.ReferencePoint = Reference::HeadCenter;
  headCenter.TrochanterChoice = Trochanter::Minor;
  EXPECT_EQ(ExportText(Prepared(m, headCenter)), Golden("hand_series_head_center.num"));
  // A spreadsheet opens the file's ";" cells as they are.
  m.PatientCode = "=1+1;@A;-B; +C;x-y";
  const std::string text = ExportText(Prepared(m, headCenter));
  EXPECT_EQ(text.substr(0, text.find('\r')), "'=1+1;'@A;'-B; +C;x-y / side of replacement: left");
}

TEST(ExportFile, RewritingGivesTheSameFileAndAFailureNamesItAndLeavesWhatWasThere) {
  const sinkview::testing::TempFolder temp;
  const fs::path &folder = temp.path, path = folder / "hb48.num", occupied = folder / "occupied.num";
  fs::create_directories(occupied / "inside");
  std::ofstream(path) << "an older and longer export that must not leave a tail behind\n";
  for (int pass = 0; pass < 2; ++pass)
    EXPECT_EQ(MessageOf(WriteExportFile(Prepared(HandSeries(true)), path.string())), "") << pass;
  EXPECT_EQ(sinkview::testing::FileContents(path), ExportText(Prepared(HandSeries(true))));
  for (const fs::path& refused : {folder / "gone" / "hb48.num", occupied})
    EXPECT_NE(MessageOf(WriteExportFile(Prepared(HandSeries(true)), refused.string())).find(refused.string()),
              std::string::npos);
  EXPECT_TRUE(fs::is_directory(occupied / "inside"));
  EXPECT_EQ(temp.Names(), (std::vector<std::string>{"hb48.num", "occupied.num"})) << "no temporary";
  // Finite values whose change overflows: never an export of "inf".
  MeasurementModel overflowing = HandSeries(true);
  overflowing.CorrectedShoulderMajor = {0, -3e38f, 3e38f, 1.0f, 3.0f};
  const fs::path never = folder / "overflowing.num";
  EXPECT_NE(MessageOf(WriteExportFile(Prepared(overflowing), never.string())).find("radiograph 2"),
            std::string::npos);
  EXPECT_FALSE(fs::exists(never));
}
