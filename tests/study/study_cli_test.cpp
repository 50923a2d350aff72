// sinkview-study run as a user runs it, and its command line read in-process.
#include <gtest/gtest.h>

#include <filesystem>

#include "../support/run_shell.h"
#include "../support/temp_folder.h"
#include "tools/study/study_options.h"

namespace fs = std::filesystem;
using namespace sinkview;
using sinkview::testing::Quoted;

namespace {

class StudyCli : public ::testing::Test {
protected:
  void SetUp() override { fs::create_directories(out_); }

  int Study(const std::string& arguments) {
    return sinkview::testing::RunShell("'" SINKVIEW_STUDY_EXE "' " + arguments, folder_.path, out_text,
                                       err_text);
  }

  const sinkview::testing::TempFolder folder_;
  const fs::path out_ = folder_.path / "out";
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
