#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <sys/wait.h>
#include <unistd.h>

namespace fs = std::filesystem;

namespace {

std::string Contents(const fs::path& path) {
  std::ifstream in(path, std::ios::binary);
  std::stringstream text;
  text << in.rdbuf();
  return text.str();
}

struct Outcome {
  int status;
  std::string out, err;
};

class ExportCli : public ::testing::Test {
protected:
  void SetUp() override {
    folder_ = fs::temp_directory_path() / ("sinkview_cli_" + std::to_string(::getpid()));
    fs::remove_all(folder_);
    fs::create_directories(folder_);
  }
  void TearDown() override { fs::remove_all(folder_); }

  // Runs the exporter in the C locale, so numbers are written with ".".
  Outcome Export(const std::string& arguments) {
    const fs::path out = folder_ / "stdout", err = folder_ / "stderr";
    const std::string command = "LC_ALL=C '" + std::string(SINKVIEW_EXPORT_EXE) + "' " + arguments + " >'" +
                                out.string() + "' 2>'" + err.string() + "'";
    const int status = std::system(command.c_str());
    Outcome run{WIFEXITED(status) ? WEXITSTATUS(status) : -1, Contents(out), Contents(err)};
    fs::remove(out);
    fs::remove(err);
    return run;
  }

  fs::path CopyOf(const fs::path& source, const std::string& name) {
    fs::copy(source, folder_ / name, fs::copy_options::recursive);
    return folder_ / name;
  }

  fs::path folder_;
};

const fs::path kExamples = fs::path(SINKVIEW_SOURCE_DIR) / "examples";
const fs::path kRecorded = fs::path(SINKVIEW_TEST_DATA) / "examples_export";
const char* const kSamples[] = {"bauer_helene_left", "mueller_otto_right", "schmid_anna_left_breaks"};

} // namespace

TEST_F(ExportCli, WritesOneExportBesideEachSampleAndSucceeds) {
  const fs::path study = CopyOf(kExamples, "study");
  const Outcome run = Export("'" + study.string() + "/'");
  EXPECT_EQ(run.status, 0) << run.err;
  EXPECT_EQ(run.out, "3 files written, 0 files rejected\n");
  EXPECT_EQ(run.err, "");
  for (const char* name : kSamples) {
    EXPECT_EQ(Contents(study / (name + std::string(".num"))),
              Contents(kRecorded / (name + std::string(".shoulder.num"))))
        << name;
  }
}

TEST_F(ExportCli, SettingsAndOutputFolderFollowTheOptions) {
  const fs::path out = folder_ / "out";
  fs::create_directories(out);
  const std::string sample = (kExamples / "schmid_anna_left_breaks.vok").string();
  const Outcome run = Export("--reference-point head --trochanter=major --time-limit 60 --output-dir '" +
                             out.string() + "' '" + sample + "'");
  EXPECT_EQ(run.status, 0) << run.err;
  EXPECT_EQ(Contents(out / "schmid_anna_left_breaks.num"),
            Contents(kRecorded / "schmid_anna_left_breaks.head.num"));

  // A shorter time limit leaves more radiographs incomparable.
  ASSERT_EQ(Export("--time-limit 3 --output-dir '" + out.string() + "' '" + sample + "'").status, 0);
  const std::string shortLimit = Contents(out / "schmid_anna_left_breaks.num");
  EXPECT_NE(shortLimit, Contents(kRecorded / "schmid_anna_left_breaks.shoulder.num"));
  EXPECT_NE(shortLimit.find("; .; ."), std::string::npos);
}

TEST_F(ExportCli, MixedFolderWritesTheGoodFilesNamesTheBadOnesAndFails) {
  const fs::path study = CopyOf(fs::path(SINKVIEW_TEST_DATA) / "study_good_and_bad", "study");
  const Outcome run = Export("'" + study.string() + "'");
  EXPECT_EQ(run.status, 1);
  EXPECT_EQ(run.out, "2 files written, 2 files rejected\n");
  EXPECT_NE(run.err.find((study / "medial_not_a_number.vok").string() + ": record 2"), std::string::npos)
      << run.err;
  EXPECT_NE(run.err.find((study / "no_record.vok").string() + ": the file holds no record"),
            std::string::npos)
      << run.err;
  EXPECT_TRUE(fs::exists(study / "two_radiographs.num"));
  EXPECT_TRUE(fs::exists(study / "UPPER_CASE_EXTENSION.num")) << "names are matched without regard to case";
  EXPECT_FALSE(fs::exists(study / "medial_not_a_number.num"));
  EXPECT_FALSE(fs::exists(study / "notes.num"));
}

TEST_F(ExportCli, RefusesPathsThatAreNoDataFiles) {
  std::ofstream(folder_ / "results.num") << "an export the user wants to keep";
  fs::create_directories(folder_ / "empty");
  struct Case {
    std::string path, message;
  };
  const Case cases[] = {
      {(folder_ / "results.num").string(), "not a data file"},
      {(folder_ / "missing.vok").string(), "no such file or folder"},
      {(folder_ / "empty").string(), "the folder holds no data file"},
  };
  for (const Case& c : cases) {
    const Outcome run = Export("'" + c.path + "'");
    EXPECT_EQ(run.status, 1) << c.path;
    EXPECT_NE(run.err.find(c.path + ": " + c.message), std::string::npos) << run.err;
  }
  EXPECT_EQ(Contents(folder_ / "results.num"), "an export the user wants to keep");
}

TEST_F(ExportCli, SameNameFromTwoFoldersIsNotGatheredIntoOneExport) {
  const fs::path a = CopyOf(kExamples, "a"), b = CopyOf(kExamples, "b"), out = folder_ / "out";
  fs::create_directories(out);
  const Outcome run = Export("--output-dir '" + out.string() + "' '" + a.string() + "' '" + b.string() +
                             "' '" + a.string() + "'");
  EXPECT_EQ(run.status, 1);
  EXPECT_EQ(run.out, "3 files written, 3 files rejected\n") << "a folder named twice is exported once";
  EXPECT_NE(run.err.find("would replace that of " + (a / "bauer_helene_left.vok").string()),
            std::string::npos)
      << run.err;
}

TEST_F(ExportCli, CommandLineMistakesAreUsageErrors) {
  const std::string sample = "'" + (kExamples / "bauer_helene_left.vok").string() + "'";
  for (const std::string& arguments :
       {std::string(""), "--reference-point hip " + sample, "--trochanter " + sample,
        "--time-limit -1 " + sample, "--time-limit 6o " + sample, "--output-dir /no/such/folder " + sample,
        "--colour red " + sample, sample + " --time-limit"}) {
    const Outcome run = Export(arguments);
    EXPECT_EQ(run.status, 2) << arguments;
    EXPECT_NE(run.err.find("--help"), std::string::npos) << arguments << ": " << run.err;
  }
  EXPECT_FALSE(fs::exists(kExamples / "bauer_helene_left.num")) << "nothing written beside the samples";
}

TEST_F(ExportCli, HelpAndVersion) {
  const Outcome help = Export("--help");
  EXPECT_EQ(help.status, 0);
  for (const char* option :
       {"--reference-point", "--trochanter", "--time-limit", "--output-dir", "--version"}) {
    EXPECT_NE(help.out.find(option), std::string::npos) << option;
  }
  const Outcome version = Export("--version");
  EXPECT_EQ(version.status, 0);
  EXPECT_EQ(version.out.rfind("sinkview-export ", 0), 0u) << version.out;
}

TEST_F(ExportCli, DoesNotLinkQt) {
  // The exporter proves that reading, preparing and exporting need no Qt.
  EXPECT_EQ(Contents(SINKVIEW_EXPORT_EXE).find("libQt"), std::string::npos);
}
