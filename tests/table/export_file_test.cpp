#include "table/export_file.h"

#include <gtest/gtest.h>

#include "../support/file_contents.h"

#include <filesystem>
#include <fstream>
#include <sstream>
#include <unistd.h>

#include "series_builder.h"

using namespace sinkview;
namespace fs = std::filesystem;

using sinkview::testing::FileContents;

namespace {

class ExportFile : public ::testing::Test {
protected:
  void SetUp() override {
    SetDecimalSeparator('.');
    folder_ = fs::temp_directory_path() / ("sinkview_export_" + std::to_string(::getpid()));
    fs::remove_all(folder_);
    fs::create_directories(folder_);
  }
  void TearDown() override { fs::remove_all(folder_); }
  fs::path folder_;
};

} // namespace

// Flags 0, 1, 1, 0 with radiograph 3 incomparable: 2 is measured from 1,
// 4 from itself; a negative change follows ";" directly.
TEST_F(ExportFile, WritesHeaderTitlesAndOneLinePerRadiograph) {
  MeasurementModel m = PreparedSeries({0, 91.25f, 365, 730}, true);
  SetFlags(m.DisconnectionFlag, {0, 1, 1, 0});
  SetFlags(m.IsolatedFlag, {0, 0, 1, 0});
  SetParameters(m, 1, 10.0f);
  SetParameters(m, 2, 15.0f);
  m.CorrectedAngle[2] = 8.75f;
  m.CorrectedShoulderMajor = {0, 40.0f, 39.5f, 1.0f, 3.0f};
  m.CorrectedStemCement = {0, 1.0f, 1.25f, 1.0f, 1.0f};
  EXPECT_EQ(ExportText(m), "Bauer Helene HB-48 / side of replacement: left\r\n"
                           "Subsidence related to Major Trochanter: yes\r\n"
                           "Subsidence related to head center: no\r\n"
                           "months;flag;medial1;medial2;medial3;medial4;lateral1;lateral2;lateral3;lateral4;"
                           "angle;total subs.;subs.in CI;subs.of CI\r\n"
                           " 0 ; 0 ; 0 ; 0 ; 0 ; 0 ; 0 ; 0 ; 0 ; 0 ; 0 ; 0 ; 0 ; 0 \r\n"
                           " 3 ; 1 ; 5 ; 5 ; 5 ; 5 ; 5 ; 5 ; 5 ; 5 ;-1.25 ;-0.5 ; 0.25 ;-0.75 \r\n"
                           " 12 ; .; .; .; .; .; .; .; .; .; .; .\r\n"
                           " 24 ; 0 ; 0 ; 0 ; 0 ; 0 ; 0 ; 0 ; 0 ; 0 ; 0 ; 0 ; 0 ; 0 \r\n");
}

TEST_F(ExportFile, WritingTwiceReplacesTheFileWithTheSameContents) {
  const fs::path path = folder_ / "hb48.num";
  std::ofstream(path) << "an older and longer export that must not leave a tail behind\n";
  MeasurementModel m = PreparedSeries({0, 365}, true);
  ASSERT_EQ(WriteExportFile(m, path.string()), "");
  const std::string first = FileContents(path);
  ASSERT_EQ(WriteExportFile(m, path.string()), "");
  EXPECT_EQ(FileContents(path), first);
  EXPECT_EQ(first, ExportText(m));
  EXPECT_EQ(std::distance(fs::directory_iterator(folder_), fs::directory_iterator()), 1)
      << "no temporary file is left behind";
}

TEST_F(ExportFile, FailureNamesTheFileAndLeavesWhatWasThere) {
  MeasurementModel m = PreparedSeries({0}, false);

  const fs::path missingFolder = folder_ / "gone" / "hb48.num";
  const std::string noFolder = WriteExportFile(m, missingFolder.string());
  EXPECT_NE(noFolder.find(missingFolder.string()), std::string::npos) << noFolder;
  EXPECT_NE(noFolder.find("No such file or directory"), std::string::npos) << noFolder;

  // A folder where the export should go cannot be replaced.
  const fs::path occupied = folder_ / "occupied.num";
  fs::create_directories(occupied / "inside");
  const std::string notReplaced = WriteExportFile(m, occupied.string());
  EXPECT_NE(notReplaced.find(occupied.string()), std::string::npos) << notReplaced;
  EXPECT_TRUE(fs::is_directory(occupied / "inside"));
  EXPECT_EQ(std::distance(fs::directory_iterator(folder_), fs::directory_iterator()), 1)
      << "the temporary file is removed";
}
