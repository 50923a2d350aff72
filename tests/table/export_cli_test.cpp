#include <gtest/gtest.h>

#include "../support/file_contents.h"

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <sys/wait.h>
#include <unistd.h>

namespace fs = std::filesystem;

using sinkview::testing::FileContents;

namespace {

const fs::path kExamples = fs::path(SINKVIEW_SOURCE_DIR) / "examples";
const fs::path kRecorded = fs::path(SINKVIEW_TEST_DATA) / "examples_export";

class ExportCli : public ::testing::Test {
protected:
  void SetUp() override {
    fs::remove_all(folder_);
    fs::create_directories(folder_);
  }
  void TearDown() override { fs::remove_all(folder_); }

  // Runs the exporter in the C locale, so numbers are written with ".".
  int Export(const std::string& arguments) {
    const std::string command = "LC_ALL=C '" SINKVIEW_EXPORT_EXE "' " + arguments + " >'" +
                                (folder_ / "out").string() + "' 2>'" + (folder_ / "err").string() + "'";
    const int status = std::system(command.c_str());
    out_ = FileContents(folder_ / "out");
    err_ = FileContents(folder_ / "err");
    return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
  }
  std::string Quoted(const fs::path& path) { return "'" + path.string() + "'"; }

  fs::path folder_ = fs::temp_directory_path() / ("sinkview_cli_" + std::to_string(::getpid()));
  std::string out_, err_;
};

} // namespace

TEST_F(ExportCli, WritesOneExportBesideEachSampleAndSucceeds) {
  fs::copy(kExamples, folder_ / "study");
  EXPECT_EQ(Export(Quoted(folder_ / "study/")), 0) << err_;
  EXPECT_EQ(out_, "3 files written, 0 files rejected\n");
  for (const char* name : {"bauer_helene_left", "mueller_otto_right", "schmid_anna_left_breaks"}) {
    EXPECT_EQ(FileContents(folder_ / "study" / (name + std::string(".num"))),
              FileContents(kRecorded / (name + std::string(".shoulder.num"))));
  }
}

TEST_F(ExportCli, OptionsGiveTheSettingsAndTheOutputFolder) {
  const std::string sample = Quoted(kExamples / "schmid_anna_left_breaks.vok");
  const std::string into = " --output-dir " + Quoted(folder_) + " ";
  EXPECT_EQ(Export("--reference-point head --trochanter=major --time-limit 60" + into + sample), 0) << err_;
  EXPECT_EQ(FileContents(folder_ / "schmid_anna_left_breaks.num"),
            FileContents(kRecorded / "schmid_anna_left_breaks.head.num"));
  // Three months compare no two radiographs of the series.
  EXPECT_EQ(Export("--time-limit 3" + into + sample), 0) << err_;
  EXPECT_NE(FileContents(folder_ / "schmid_anna_left_breaks.num").find(" 0 ; .; .;"), std::string::npos);
}

TEST_F(ExportCli, MixedFolderWritesTheGoodFilesNamesTheBadOnesAndFails) {
  const fs::path study = folder_ / "study";
  fs::copy(fs::path(SINKVIEW_TEST_DATA) / "study_good_and_bad", study);
  EXPECT_EQ(Export(Quoted(study)), 1);
  EXPECT_EQ(out_, "2 files written, 2 files rejected\n");
  EXPECT_NE(err_.find((study / "medial_not_a_number.vok").string() + ": record 2"), std::string::npos)
      << err_;
  EXPECT_NE(err_.find((study / "no_record.vok").string() + ": the file holds no record"), std::string::npos);
  EXPECT_TRUE(fs::exists(study / "two_radiographs.num"));
  EXPECT_TRUE(fs::exists(study / "UPPER_CASE_EXTENSION.num")) << "names are matched without regard to case";
  EXPECT_FALSE(fs::exists(study / "medial_not_a_number.num"));
}

TEST_F(ExportCli, RefusesPathsThatAreNoDataFilesAndWrongCommandLines) {
  std::ofstream(folder_ / "results.num") << "an export to keep";
  fs::create_directories(folder_ / "empty");
  for (const auto& [name, message] : {std::pair{"results.num", ": not a data file"},
                                      {"missing.vok", ": no such file or folder"},
                                      {"empty", ": the folder holds no data file"}}) {
    EXPECT_EQ(Export(Quoted(folder_ / name)), 1) << name;
    EXPECT_NE(err_.find((folder_ / name).string() + message), std::string::npos) << err_;
  }
  EXPECT_EQ(FileContents(folder_ / "results.num"), "an export to keep");

  const std::string sample = " " + Quoted(kExamples / "bauer_helene_left.vok");
  for (const std::string& arguments :
       {std::string(), "--reference-point hip" + sample, "--time-limit -1" + sample,
        "--time-limit 6o" + sample, "--output-dir /no/such" + sample, "--colour red" + sample,
        sample + " --trochanter"}) {
    EXPECT_EQ(Export(arguments), 2) << arguments;
    EXPECT_NE(err_.find("--help"), std::string::npos) << arguments;
  }
  EXPECT_FALSE(fs::exists(kExamples / "bauer_helene_left.num"));
}

TEST_F(ExportCli, DrawsFiguresOfOneDataFileWithoutADisplay) {
  const std::string sample = Quoted(kExamples / "bauer_helene_left.vok");
  const fs::path png = folder_ / "graphics.png", pdf = folder_ / "graphics.pdf", svg = folder_ / "g.svg",
                 table = folder_ / "table.pdf";
  ASSERT_EQ(Export("--graphics " + Quoted(png) + " --table " + Quoted(table) + " " + sample), 0) << err_;
  EXPECT_EQ(out_, "2 figures written, 0 failed\n");
  ASSERT_EQ(Export("--size 1200x900 --raw-data --graphics " + Quoted(svg) + " " + sample), 0) << err_;
  ASSERT_EQ(Export("--graphics " + Quoted(pdf) + " " + sample), 0) << err_;

  const std::string image = FileContents(png);
  ASSERT_GT(image.size(), 24u);
  EXPECT_EQ(image.substr(1, 3), "PNG");
  const auto bigEndian = [&](std::size_t at) {
    return (static_cast<unsigned char>(image[at]) << 24) | (static_cast<unsigned char>(image[at + 1]) << 16) |
           (static_cast<unsigned char>(image[at + 2]) << 8) | static_cast<unsigned char>(image[at + 3]);
  };
  EXPECT_EQ(bigEndian(16), 590u) << "the graphics window's design width";
  EXPECT_EQ(bigEndian(20), 437u);
  // Vectors: lines stay lines, text stays text.
  const std::string drawing = FileContents(svg);
  EXPECT_NE(drawing.find("width=\"1200\""), std::string::npos);
  EXPECT_NE(drawing.find("<polyline"), std::string::npos);
  EXPECT_NE(drawing.find("subsidence total"), std::string::npos);
  EXPECT_EQ(FileContents(pdf).substr(0, 5), "%PDF-");
  EXPECT_EQ(FileContents(table).substr(0, 5), "%PDF-");
  EXPECT_FALSE(fs::exists(kExamples / "bauer_helene_left.num")) << "figures only, no export";
}

TEST_F(ExportCli, FigureRequestsAreChecked) {
  const std::string sample = Quoted(kExamples / "bauer_helene_left.vok");
  EXPECT_EQ(Export("--graphics " + Quoted(folder_ / "g.png") + " " + sample + " " + sample), 2);
  EXPECT_EQ(Export("--graphics " + Quoted(folder_ / "g.png") + " --size 10x10 " + sample), 2);
  EXPECT_EQ(Export("--table " + Quoted(folder_ / "t.svg") + " " + sample), 1) << "the table has no SVG";
  EXPECT_NE(err_.find("t.svg"), std::string::npos);
  EXPECT_EQ(Export("--graphics " + Quoted(folder_ / "missing/g.png") + " " + sample), 1);
  EXPECT_NE(err_.find("missing/g.png"), std::string::npos);
  EXPECT_FALSE(fs::exists(folder_ / "t.svg"));
}
