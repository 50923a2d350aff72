// sinkview-export run as a user runs it, in the C locale so that numbers are
// written with ".".
#include <gtest/gtest.h>

#include "../model/record_text.h"
#include "../support/run_shell.h"
#include "../support/temp_folder.h"

#include <fstream>
#include <sys/stat.h>

namespace fs = std::filesystem;
using sinkview::testing::FileContents;
using sinkview::testing::Quoted;

const fs::path kExamples = fs::path(SINKVIEW_SOURCE_DIR) / "examples";
const fs::path kRecorded = fs::path(SINKVIEW_TEST_DATA) / "examples_export";

const std::string kSample = Quoted(kExamples / "bauer_helene_left.vok");

class ExportCli : public ::testing::Test {
protected:
  void SetUp() override { fs::create_directories(study_); }

  int Export(const std::string& arguments) {
    return sinkview::testing::RunShell("LC_ALL=C '" SINKVIEW_EXPORT_EXE "' " + arguments, folder_.path, out_,
                                       err_);
  }

  bool ErrSays(const std::string& part) const { return err_.find(part) != std::string::npos; }

  const sinkview::testing::TempFolder folder_;
  const fs::path study_ = folder_.path / "study";
  std::string out_, err_;
};

TEST_F(ExportCli, WritesTheRecordedExportBesideEachSampleForBothReferencePoints) {
  for (auto [option, suffix] : {std::pair{"", ".shoulder.num"}, {"--reference-point head ", ".head.num"}}) {
    fs::copy(kExamples, study_, fs::copy_options::recursive | fs::copy_options::overwrite_existing);
    EXPECT_EQ(Export(option + Quoted(study_ / "")), 0) << err_;
    EXPECT_EQ(out_, "3 files written, 0 files rejected\n");
    for (const std::string name : {"bauer_helene_left", "mueller_otto_right", "schmid_anna_left_breaks"})
      EXPECT_EQ(FileContents(study_ / (name + ".num")), FileContents(kRecorded / (name + suffix)));
  }
}

// Eight days are 0.2630137 months, which the window turns into exactly 8 days;
// rounding the months to float first gives 7.9999995 and splits the pair.
TEST_F(ExportCli, TimeLimitWithDecimalsComparesWhatTheWindowCompares) {
  const std::string file = Quoted(fs::path(SINKVIEW_TEST_DATA) / "eight_days_apart.vok");
  ASSERT_EQ(Export("--time-limit 0.2630137 --output-dir " + Quoted(study_) + file), 0) << err_;
  const std::string atTheLimit = FileContents(study_ / "eight_days_apart.num");
  ASSERT_EQ(Export("--time-limit 0.27 --output-dir " + Quoted(study_) + file), 0) << err_;
  EXPECT_EQ(atTheLimit, FileContents(study_ / "eight_days_apart.num"));
}

TEST_F(ExportCli, MixedFolderWritesTheGoodFilesNamesTheBadOnesAndFails) {
  fs::copy(fs::path(SINKVIEW_TEST_DATA) / "study_good_and_bad", study_);
  EXPECT_EQ(Export(Quoted(study_)), 1);
  EXPECT_EQ(out_, "2 files written, 2 files rejected\n");
  EXPECT_TRUE(ErrSays((study_ / "medial_not_a_number.vok").string() + ": record 2"));
  EXPECT_TRUE(ErrSays((study_ / "no_record.vok").string() + ": the file holds no record"));
  EXPECT_TRUE(fs::exists(study_ / "UPPER_CASE_EXTENSION.num")) << "names are matched without regard to case";
  EXPECT_FALSE(fs::exists(study_ / "medial_not_a_number.num"));
}

// The same path twice, or one name in a folder reached two ways: the second
// would silently hold only one of the figures. A wrong command line is exit
// status 2 and points to the help (the messages are checked in-process).
TEST_F(ExportCli, OneFileGivenAsTwoOutputsIsAUsageError) {
  const fs::path pdf = folder_.path / "x.pdf", again = study_ / ".." / "x.pdf";
  fs::create_directory_symlink(folder_.path, folder_.path / "same");
  const fs::path viaLink = folder_.path / "same/x.pdf";
  for (const auto& [first, second] : {std::pair{pdf, again}, {pdf, viaLink}}) {
    EXPECT_EQ(Export("--graphics " + Quoted(first) + "--table " + Quoted(second) + kSample), 2);
    EXPECT_EQ(err_, "sinkview-export: " + second.string() +
                        " is given for both --graphics and --table; each output needs a file of its own\n"
                        "Try 'sinkview-export --help'.\n");
  }
  EXPECT_FALSE(fs::exists(pdf));
}

#ifdef SINKVIEW_DRAWS_FIGURES
TEST_F(ExportCli, DrawsTheFiguresOfOneDataFileWithoutADisplay) {
  const fs::path png = folder_.path / "g.png", svg = folder_.path / "g.svg", pdf = folder_.path / "g.pdf",
                 table = folder_.path / "t.pdf";
  ASSERT_EQ(Export("--graphics " + Quoted(png) + "--table " + Quoted(table) + kSample), 0) << err_;
  ASSERT_EQ(Export("--size 1200x900 --raw-data --graphics " + Quoted(svg) + kSample), 0) << err_;
  ASSERT_EQ(Export("--graphics " + Quoted(pdf) + kSample), 0) << err_;
  // A PNG header of 590 x 437, the graphics window's design size.
  EXPECT_EQ(FileContents(png).substr(12, 12), std::string("IHDR\0\0\x02\x4e\0\0\x01\xb5", 12));
  // Vectors: lines stay lines, text stays text.
  for (const char* part : {"width=\"1200\"", "<polyline", "subsidence total"})
    EXPECT_NE(FileContents(svg).find(part), std::string::npos) << part;
  EXPECT_EQ(FileContents(pdf).substr(0, 5) + FileContents(table).substr(0, 5), "%PDF-%PDF-");
  // A figure that cannot be written fails the run and names its file.
  const fs::path nowhere = folder_.path / "no" / "g.png";
  EXPECT_EQ(Export("--graphics " + Quoted(nowhere) + kSample), 1);
  EXPECT_TRUE(ErrSays(nowhere.string())) << err_;
  EXPECT_EQ(Export("--graphics g.png " + Quoted(study_)), 1);
  EXPECT_TRUE(ErrSays(": a folder; --graphics and --table draw one data file\n")) << err_;
  EXPECT_EQ(out_, "0 figures written, 1 failed\n");
}

// Links planted at the figures' names are replaced, never written through
// or compared by what they point to.
TEST_F(ExportCli, TwoLinksToOneFileAreTwoFigures) {
  std::ofstream(folder_.path / "kept.pdf") << "kept";
  for (const char* name : {"g.pdf", "t.pdf"}) fs::create_symlink("kept.pdf", folder_.path / name);
  ASSERT_EQ(Export("--graphics " + Quoted(folder_.path / "g.pdf") + "--table " +
                   Quoted(folder_.path / "t.pdf") + kSample),
            0)
      << err_;
  for (const char* name : {"g.pdf", "t.pdf"}) {
    EXPECT_TRUE(fs::is_regular_file(fs::symlink_status(folder_.path / name))) << name;
    EXPECT_EQ(FileContents(folder_.path / name).substr(0, 5), "%PDF-") << name;
  }
  EXPECT_EQ(FileContents(folder_.path / "kept.pdf"), "kept");
  // One name in two folders is two files.
  EXPECT_EQ(Export("--graphics " + Quoted(folder_.path / "g.pdf") + "--table " + Quoted(study_ / "g.pdf") +
                   kSample),
            0)
      << err_;
}

// A file the exporter would not take is not drawn either, with its words.
TEST_F(ExportCli, FiguresAreDrawnOnlyOfWhatTheExporterTakesForADataFile) {
  const std::pair<std::string, std::string> cases[] = {
      {".vok", ": not a data file (the name has nothing before .vok)\n"},
      {"trailing_blank.vok ", ": not a data file (the name does not end in .vok)\n"},
  };
  for (const auto& [name, reason] : cases) {
    fs::copy(kExamples / "bauer_helene_left.vok", study_ / name);
    const std::string file = Quoted(study_ / name);
    EXPECT_EQ(Export(file), 1) << name;
    EXPECT_EQ(err_, "sinkview-export: " + (study_ / name).string() + reason);
    EXPECT_EQ(Export("--graphics " + Quoted(folder_.path / "g.png") + file), 1) << name;
    EXPECT_EQ(err_, "sinkview-export: " + (study_ / name).string() + reason);
    EXPECT_FALSE(fs::exists(folder_.path / "g.png")) << name;
  }
}

// 85 mm at 300 dpi are 1004 pixels; the PNG says its resolution, 11811
// pixels per metre both ways (unit 1: metres), so it prints 85 mm wide.
TEST_F(ExportCli, AWidthOnPaperIsDrawnAtThreeHundredDotsPerInch) {
  const fs::path png = folder_.path / "g.png";
  ASSERT_EQ(Export("--axes --figure-width 85 --graphics " + Quoted(png) + kSample), 0) << err_;
  const std::string bytes = FileContents(png);
  EXPECT_EQ(bytes.substr(12, 8), std::string("IHDR\0\0\x03\xec", 8));
  const std::size_t physical = bytes.find("pHYs");
  ASSERT_NE(physical, std::string::npos);
  EXPECT_EQ(bytes.substr(physical + 4, 9), std::string("\0\0\x2e\x23\0\0\x2e\x23\x01", 9));
}

#else
TEST_F(ExportCli, ABuildWithoutFiguresSaysSo) {
  EXPECT_EQ(Export("--graphics g.png " + kSample), 1);
  EXPECT_EQ(err_, "sinkview-export: this build draws no figures\n");
}
#endif

TEST_F(ExportCli, SpecialEntriesAreSkippedAndCountedAndUnwritableExportsCountedApart) {
  for (const char* name : {"good.vok", "unwritable.vok"}) std::ofstream(study_ / name) << RecordText().Text();
  fs::copy(fs::path(SINKVIEW_TEST_DATA) / "overflowing.vok", study_);
  fs::create_directory(study_ / "unwritable.num"); // its export cannot replace a folder
  ASSERT_EQ(::mkfifo((study_ / "pipe.vok").c_str(), 0600), 0);
  fs::create_symlink("nowhere.vok", study_ / "dangling.vok");
  fs::create_symlink("loop.vok", study_ / "loop.vok");
  fs::create_symlink("nowhere.vok", folder_.path / "named loop.vok");
  fs::create_symlink("named loop.vok", folder_.path / "nowhere.vok");

  EXPECT_EQ(Export(Quoted(study_)), 1);
  EXPECT_EQ(
      out_,
      "1 file written, 1 file rejected, 1 could not be written, 3 entries skipped: not regular files\n");
  EXPECT_TRUE(ErrSays("overflowing.vok: record 1, the subsidence head center - minor trochanter: a distance"))
      << err_;
  EXPECT_FALSE(fs::exists(study_ / "overflowing.num")) << "no export holds inf or nan";

  // Named on the command line: refused with the reason.
  for (const auto& [path, reason] : std::vector<std::pair<fs::path, std::string>>{
           {folder_.path / "named loop.vok", "Too many levels of symbolic links"},
           {study_ / ".vok", "nothing before .vok"}}) {
    std::ofstream(study_ / ".vok") << RecordText().Text();
    EXPECT_EQ(Export(Quoted(path)), 1) << path;
    EXPECT_TRUE(ErrSays(reason)) << err_;
  }
}

// Sub folders are searched only when asked to, in the order of their names'
// components: "a" before "a-b", though "-" sorts before "/".
TEST_F(ExportCli, SubFoldersWhenAskedToAndEachFileAndExportNameOnceByTheFirstFolder) {
  for (const char* sub : {"x/a", "x/a-b", "out"}) fs::create_directories(study_ / sub);
  const fs::path first = study_ / "x" / "a" / "same.vok", second = study_ / "x" / "a-b" / "same.vok";
  fs::copy(kExamples / "bauer_helene_left.vok", first);
  fs::copy(kExamples / "mueller_otto_right.vok", second);
  EXPECT_EQ(Export(Quoted(study_)), 1);
  EXPECT_TRUE(ErrSays("the folder holds no data file")) << err_;
  EXPECT_EQ(Export("--recursive " + Quoted(study_)), 0) << err_;
  EXPECT_EQ(out_, "2 files written, 0 files rejected\n");
  EXPECT_TRUE(fs::exists(study_ / "x" / "a-b" / "same.num")) << "beside its data file";

  EXPECT_EQ(Export(Quoted(first) + Quoted(study_ / "x" / "a" / ".." / "a" / "same.vok")), 0) << err_;
  EXPECT_EQ(out_, "1 file written, 0 files rejected\n");

  EXPECT_EQ(Export("-r --output-dir " + Quoted(study_ / "out") + Quoted(study_)), 1);
  EXPECT_EQ(out_, "1 file written, 1 file rejected\n");
  EXPECT_TRUE(ErrSays(second.string() + ": its export " + (study_ / "out" / "same.num").string() +
                      " would replace that of " + first.string()))
      << err_;
  EXPECT_EQ(FileContents(study_ / "out" / "same.num"), FileContents(study_ / "x" / "a" / "same.num"));
}

// Only figures need Qt; a plain export starts without loading it.
TEST_F(ExportCli, ThePlainExporterLinksNoQt) {
  ASSERT_EQ(sinkview::testing::RunShell("readelf -d '" SINKVIEW_EXPORT_EXE "'", folder_.path, out_, err_), 0);
  EXPECT_NE(out_.find("libstdc++"), std::string::npos) << out_;
  EXPECT_EQ(out_.find("libQt"), std::string::npos) << out_;
}
