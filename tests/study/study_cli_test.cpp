// sinkview-study run as a user runs it, and its command line read in-process.
#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <sys/wait.h>
#include <unistd.h>

#include "../support/file_contents.h"
#include "tools/study/study_options.h"

namespace fs = std::filesystem;
using namespace sinkview;
using sinkview::testing::FileContents;

namespace {

std::string Quoted(const fs::path& path) { return "'" + path.string() + "' "; }

class StudyCli : public ::testing::Test {
protected:
  void SetUp() override { fs::create_directories(out_); }
  void TearDown() override { fs::remove_all(folder_); }

  int Study(const std::string& arguments) {
    const std::string command = "'" SINKVIEW_STUDY_EXE "' " + arguments + ">" + Quoted(folder_ / "stdout") +
                                "2>" + Quoted(folder_ / "stderr");
    const int status = std::system(command.c_str());
    out_text = FileContents(folder_ / "stdout");
    err_text = FileContents(folder_ / "stderr");
    return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
  }

  const fs::path folder_ = fs::temp_directory_path() / ("sinkview_study_cli_" + std::to_string(::getpid()));
  const fs::path out_ = folder_ / "out";
  const fs::path data_ = SINKVIEW_TEST_DATA;
  std::string out_text, err_text;
};

} // namespace

TEST_F(StudyCli, ExitStatusSaysWhetherEveryFileWasRead) {
  ASSERT_EQ(Study("--output-dir " + Quoted(out_) + Quoted(data_ / "study_cohort")), 0) << err_text;
  EXPECT_EQ(out_text, "3 files read, 0 files rejected, 1 over the threshold; 4 CSV files written to " +
                          out_.string() + "\n");
  EXPECT_EQ(err_text, "");

  ASSERT_EQ(Study("--output-dir=" + Quoted(out_) + Quoted(data_ / "study_good_and_bad")), 1);
  EXPECT_EQ(out_text.rfind("2 files read, 2 files rejected, 0 over the threshold; 4 CSV files written", 0),
            0u);
  EXPECT_NE(err_text.find("sinkview-study: " + (data_ / "study_good_and_bad/no_record.vok").string()),
            std::string::npos);
}

TEST_F(StudyCli, AnOutputThatCannotBeWrittenFailsTheRun) {
  fs::create_directories(out_ / "summary.csv"); // a folder where the file should go
  ASSERT_EQ(Study("--output-dir " + Quoted(out_) + Quoted(data_ / "study_cohort")), 1);
  EXPECT_NE(err_text.find("summary.csv"), std::string::npos);
  EXPECT_NE(out_text.find("3 CSV files written"), std::string::npos);
}

TEST_F(StudyCli, AWrongCommandLineIsExitStatusTwo) {
  for (const std::string arguments : {"", "--threshold x . ", "--no-such-option . ", "--figure a.gif . "}) {
    EXPECT_EQ(Study(arguments), 2) << arguments;
    EXPECT_NE(err_text.find("Try 'sinkview-study --help'."), std::string::npos) << arguments;
  }
}

TEST(StudyOptionsParser, ReadsEveryOption) {
  const auto command = ParseStudyArguments({"-r", "--follow-up", "24,3,12,3", "--threshold=2", "--report",
                                            "r.PDF", "--figure=f.svg", "a", "--reference-point=head",
                                            "--output-dir", SINKVIEW_TEST_DATA, "--", "-b"});
  ASSERT_TRUE(command) << command.error().message;
  EXPECT_TRUE(command->options.recursive);
  EXPECT_EQ(command->options.followUpMonths, (std::vector<double>{3, 12, 24}));
  EXPECT_EQ(command->options.thresholdMm, 2);
  EXPECT_EQ(command->reportFile, "r.PDF");
  EXPECT_EQ(command->figureFile, "f.svg");
  EXPECT_EQ(command->options.settings.ReferencePoint, Reference::HeadCenter);
  EXPECT_EQ(command->outputDir, SINKVIEW_TEST_DATA);
  EXPECT_EQ(ParseStudyArguments({"a"})->outputDir, ".");
  EXPECT_EQ(command->folders, (std::vector<std::string>{"a", "-b"}));

  for (const std::vector<std::string>& wrong :
       std::vector<std::vector<std::string>>{{"--follow-up", "3,,6", "a"},
                                             {"--follow-up", "0", "a"},
                                             {"--threshold", "-1", "a"},
                                             {"--output-dir", "/no/such/folder", "a"},
                                             {"--report", "r.png", "a"},
                                             {"a", "--threshold"}}) {
    EXPECT_FALSE(ParseStudyArguments(wrong)) << wrong[0] << ' ' << wrong[1];
  }
}
