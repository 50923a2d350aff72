#include "table/export_file.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <sstream>
#include <unistd.h>
#include <vector>

#include "model/preparation.h"
#include "model/reader.h"
#include "series_builder.h"

using namespace sinkview;
namespace fs = std::filesystem;

namespace {

class ExportFile : public ::testing::Test {
protected:
  void SetUp() override {
    SetDecimalSeparator('.');
    folder_ = fs::temp_directory_path() / ("sinkview_export_" + std::to_string(::getpid()));
    fs::remove_all(folder_);
    fs::create_directories(folder_);
  }
  void TearDown() override {
    fs::permissions(folder_, fs::perms::owner_all, fs::perm_options::add);
    fs::remove_all(folder_);
  }
  fs::path folder_;
};

std::string Contents(const fs::path& path) {
  std::ifstream in(path, std::ios::binary);
  std::stringstream text;
  text << in.rdbuf();
  return text.str();
}

std::vector<std::string> Lines(const std::string& text) {
  std::vector<std::string> lines;
  std::size_t from = 0;
  for (std::size_t end; (end = text.find("\r\n", from)) != std::string::npos; from = end + 2) {
    lines.push_back(text.substr(from, end - from));
  }
  EXPECT_EQ(from, text.size()) << "every line ends in CR LF";
  return lines;
}

std::vector<std::string> Fields(const std::string& line) {
  std::vector<std::string> fields;
  std::stringstream in(line);
  for (std::string field; std::getline(in, field, ';');) fields.push_back(field);
  return fields;
}

} // namespace

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

TEST_F(ExportFile, FieldCountsDependOnComparabilityAndStemCementData) {
  struct Case {
    bool stemCement;
    std::size_t comparable;
  };
  for (const Case& c : {Case{true, 14}, Case{false, 12}}) {
    MeasurementModel m = PreparedSeries({0, 365, 730}, c.stemCement);
    m.IsolatedFlag[2] = 1;
    const std::vector<std::string> lines = Lines(ExportText(m));
    ASSERT_EQ(lines.size(), 4u + 3u);
    EXPECT_EQ(Fields(lines[3]).size(), c.comparable) << "titles";
    EXPECT_EQ(Fields(lines[4]).size(), c.comparable);
    EXPECT_EQ(Fields(lines[5]).size(), 12u) << "incomparable: months and eleven dots";
    EXPECT_EQ(Fields(lines[6]).size(), c.comparable);
    EXPECT_NE(lines[6].back(), ';') << "no separator after the last field";
  }
}

TEST_F(ExportFile, HeaderLinesSayWhichReferenceIsUsed) {
  struct Case {
    int referencePoint, trochanter;
    const char* line2;
    const char* line3;
  };
  for (const Case& c : {Case{0, 0, "yes", "yes"}, Case{1, 1, "no", "no"}}) {
    MeasurementModel m = PreparedSeries({0}, false);
    m.ReferencePoint = static_cast<std::int16_t>(c.referencePoint);
    m.TrochanterChoice = static_cast<std::int16_t>(c.trochanter);
    const std::vector<std::string> lines = Lines(ExportText(m));
    EXPECT_EQ(lines[1], std::string("Subsidence related to Major Trochanter: ") + c.line2);
    EXPECT_EQ(lines[2], std::string("Subsidence related to head center: ") + c.line3);
  }
}

TEST_F(ExportFile, KeepsTheBytesOfThePatientName) {
  MeasurementModel m = PreparedSeries({0}, false);
  m.PatientCode = "M\xFCller Otto OM-1937"; // Windows-1252, as read
  EXPECT_EQ(Lines(ExportText(m))[0], "M\xFCller Otto OM-1937 / side of replacement: left");
}

TEST_F(ExportFile, NumbersUseTheLocaleSeparatorLikeTheTable) {
  SetDecimalSeparator(',');
  MeasurementModel m = PreparedSeries({0, 365}, false);
  m.CorrectedAngle[2] = 1.5f;
  EXPECT_EQ(Fields(Lines(ExportText(m))[5])[10], " 1,5 ");
  SetDecimalSeparator('.');
}

TEST_F(ExportFile, WritingTwiceReplacesTheFileWithTheSameContents) {
  const fs::path path = folder_ / "hb48.num";
  std::ofstream(path) << "an older and longer export that must not leave a tail behind\n";
  MeasurementModel m = PreparedSeries({0, 365}, true);
  ASSERT_EQ(WriteExportFile(m, path.string()), "");
  const std::string first = Contents(path);
  ASSERT_EQ(WriteExportFile(m, path.string()), "");
  EXPECT_EQ(Contents(path), first);
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

TEST_F(ExportFile, ReadOnlyFolderKeepsTheOldFile) {
  if (::geteuid() == 0) GTEST_SKIP() << "the superuser writes into read-only folders";
  const fs::path path = folder_ / "hb48.num";
  std::ofstream(path) << "old";
  fs::permissions(folder_, fs::perms::owner_write, fs::perm_options::remove);
  const std::string failure = WriteExportFile(PreparedSeries({0}, false), path.string());
  EXPECT_NE(failure.find(path.string()), std::string::npos) << failure;
  EXPECT_EQ(Contents(path), "old");
}

// The samples as the program prepares them, with both reference points,
// against exports checked when they were first written.
TEST_F(ExportFile, SamplesGiveTheirRecordedExports) {
  for (const char* name : {"bauer_helene_left", "mueller_otto_right", "schmid_anna_left_breaks"}) {
    for (const auto& [referencePoint, suffix] : {std::pair{0, ".head.num"}, {1, ".shoulder.num"}}) {
      MeasurementModel m;
      m.ReferencePoint = static_cast<std::int16_t>(referencePoint);
      const std::string data = std::string(SINKVIEW_SOURCE_DIR) + "/examples/" + name + ".vok";
      ASSERT_TRUE(ReadDataFile(data, m).ok()) << data;
      PrepareSeries(m);
      EXPECT_EQ(ExportText(m),
                Contents(fs::path(SINKVIEW_TEST_DATA) / "examples_export" / (name + std::string(suffix))))
          << name << suffix;
    }
  }
}
