// sinkview-study run as a user runs it, and its command line read in-process.
#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <csignal>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <map>
#include <regex>
#include <sstream>
#include <sys/wait.h>
#include <tuple>
#include <unistd.h>

#include "../support/case_lines.h"
#include "../support/processes.h"
#include "../support/run_shell.h"
#include "../support/temp_folder.h"
#include "protocol/read_protocol.h"
#include "studyrun/study_options.h"
#include "studyrun/study_protocol.h"

namespace fs = std::filesystem;
using namespace sinkview;
using sinkview::testing::Ends;
using sinkview::testing::FileContents;
using sinkview::testing::Quoted;
using sinkview::testing::RunShell;

namespace {

class StudyCli : public ::testing::Test {
protected:
  void SetUp() override { fs::create_directories(out_); }

  // After the shell's variable assignments `environment`, if any.
  int Study(const std::string& arguments, const std::string& environment = "") {
    return RunShell(environment + "'" SINKVIEW_STUDY_EXE "' " + arguments, folder_.path, out_text, err_text);
  }

  const sinkview::testing::TempFolder folder_;
  const fs::path out_ = folder_.path / "out";
  const std::string outputDir_ = "--output-dir " + Quoted(out_);
  const fs::path data_ = SINKVIEW_TEST_DATA;
  std::string out_text, err_text;
};

const fs::path kExampleStudy = fs::path(SINKVIEW_SOURCE_DIR) / "examples/study";
const fs::path kCohort = fs::path(SINKVIEW_TEST_DATA) / "study_cohort";

// Whether the process has a handler for `signal` (its SigCgt mask).
bool Catches(pid_t process, int signal) {
  std::ifstream status("/proc/" + std::to_string(process) + "/status");
  for (std::string line; std::getline(status, line);) {
    if (line.rfind("SigCgt:", 0) == 0) return (std::stoull(line.substr(7), nullptr, 16) >> (signal - 1)) & 1;
  }
  return false;
}

} // namespace

TEST_F(StudyCli, ExitStatusSaysWhetherEveryFileWasRead) {
  ASSERT_EQ(Study(outputDir_ + Quoted(data_ / "study_cohort")), 0) << err_text;
  EXPECT_EQ(out_text,
            "3 patients (3 hips) read, 0 files rejected, 1 over the threshold; 17 CSV files written to " +
                out_.string() + "\n");
  // No hip has a value at every visit: the complete cases are said to be left out, and nothing else.
  EXPECT_EQ(err_text, "sinkview-study: model: not fitted: subsidence, complete_cases: no hip has a value at "
                      "every visit up to the primary one\n"
                      "sinkview-study: model: not fitted: stem_cement, complete_cases: no hip has a value at "
                      "every visit up to the primary one\n");
  EXPECT_FALSE(fs::exists(out_ / "protocol-used.toml")) << "written only for a study with a protocol";

  ASSERT_EQ(Study("--output-dir=" + Quoted(out_) + Quoted(data_ / "study_good_and_bad")), 1);
  EXPECT_EQ(out_text.rfind(
                "2 patients (2 hips) read, 2 files rejected, 0 over the threshold; 17 CSV files written", 0),
            0u);
  EXPECT_NE(err_text.find("sinkview-study: " + (data_ / "study_good_and_bad/no_record.vok").string()),
            std::string::npos);
}

#ifdef SINKVIEW_DRAWS_FIGURES
// Every output's folder is opened when the run starts: swapped for a link
// while R works (here a stand-in that swaps it), it is not followed, to
// another user's folder or to none; the workbook's temporaries stay in the
// folder as opened too.
TEST_F(StudyCli, AnOutputsFolderSwappedForALinkDuringTheRunIsNotFollowed) {
  const fs::path published = folder_.path / "published", moved = folder_.path / "moved",
                 other = folder_.path / "other";
  const sinkview::testing::TempFolder fakeR;
  for (const fs::path& to : {other, folder_.path / "nowhere"}) {
    fs::create_directories(published);
    fs::create_directories(other);
    std::ofstream(fakeR.path / "Rscript") << "#!/bin/sh\nmv " << Quoted(published) << Quoted(moved)
                                          << "&& ln -s " << Quoted(to) << Quoted(published) << "\nexit 1\n";
    fs::permissions(fakeR.path / "Rscript", fs::perms::owner_all);
    const std::string outputs = "--figure " + Quoted(published / "cohort.png") + "--report " +
                                Quoted(published / "report.pdf") + "--workbook " +
                                Quoted(published / "study.xlsx");
    ASSERT_EQ(Study(outputDir_ + outputs + Quoted(data_ / "study_cohort"),
                    "PATH=" + Quoted(fakeR.path.string() + ":/usr/bin:/bin")),
              0)
        << to << err_text;
    ASSERT_TRUE(fs::is_symlink(published)) << "swapped while R ran";
    for (const char* name : {"cohort.png", "report.pdf", "study.xlsx"})
      EXPECT_TRUE(fs::exists(moved / name)) << name;
    EXPECT_TRUE(fs::is_empty(other)) << to;
    fs::remove_all(moved);
    fs::remove(published);
  }
}
#endif

// A folder used before holds one whole set afterwards: the files of the
// earlier set that this run does not write are gone, any other file stays.
TEST_F(StudyCli, AFolderUsedBeforeKeepsNoFileOfTheEarlierSet) {
  const char* const earlier[] = {"protocol-used.toml", "pairs.csv", "precision.csv", "model.csv",
                                 "model_fit.csv"};
  for (const char* name : earlier) std::ofstream(out_ / name) << "earlier";
  std::ofstream(out_ / "notes.txt") << "mine";
  ASSERT_EQ(Study("--no-model " + outputDir_ + Quoted(data_ / "study_cohort")), 0) << err_text;
  for (const char* name : earlier) EXPECT_FALSE(fs::exists(out_ / name)) << name;
  EXPECT_EQ(FileContents(out_ / "notes.txt"), "mine");
  EXPECT_TRUE(fs::exists(out_ / "summary.csv"));
}

// The study's files are one set: one that cannot be written keeps all the
// older files as they were, the model's too, fitted or left out.
TEST_F(StudyCli, AnOutputThatCannotBeWrittenFailsTheRunAndReplacesNothing) {
  fs::create_directories(out_ / "summary.csv"); // a folder where the file should go
  const char* const older[] = {"cohort.csv", "long.csv", "rejected.csv", "model.csv", "model_fit.csv"};
  for (const char* name : older) std::ofstream(out_ / name) << "old";
  for (const char* model : {"", "--no-model "}) {
    ASSERT_EQ(Study(model + outputDir_ + Quoted(data_ / "study_cohort")), 1);
    EXPECT_NE(err_text.find("summary.csv"), std::string::npos);
    EXPECT_NE(err_text.find("No file that belongs with it was replaced."), std::string::npos) << err_text;
    EXPECT_NE(out_text.find("0 CSV files written"), std::string::npos);
    for (const char* name : older) EXPECT_EQ(FileContents(out_ / name), "old") << model << name;
  }
}

// Ctrl-C and SIGTERM stop a run cleanly, leaving the older files as they
// were and no temporary file.
TEST_F(StudyCli, CtrlCAndSigtermStopTheRunReplacingNothing) {
  const fs::path many = folder_.path / "many";
  fs::create_directories(many);
  for (int i = 0; i < 200; ++i) {
    for (const auto& entry : fs::directory_iterator(data_ / "study_cohort"))
      fs::copy_file(entry.path(), many / (std::to_string(i) + entry.path().filename().string()));
  }
  const std::vector<std::string> csvFiles{"cohort.csv", "long.csv", "rejected.csv", "summary.csv"};
  for (const std::string& name : csvFiles) std::ofstream(out_ / name) << "old";
  for (const auto& [signal, status, name] : {std::tuple{SIGINT, 130, "SIGINT"}, {SIGTERM, 143, "SIGTERM"}}) {
    const pid_t child = ::fork();
    if (child == 0) {
      std::freopen((folder_.path / "stderr").c_str(), "w", stderr);
      std::freopen("/dev/null", "w", stdout);
      ::execl(SINKVIEW_STUDY_EXE, SINKVIEW_STUDY_EXE, "--output-dir", out_.c_str(), many.c_str(), nullptr);
      ::_exit(127);
    }
    // Once the program catches the signal, it is sent.
    for (int wait = 0; wait < 10000 && !Catches(child, signal); ++wait) ::usleep(1000);
    ::kill(child, signal);
    int exit = 0;
    ::waitpid(child, &exit, 0);
    EXPECT_TRUE(WIFEXITED(exit) && WEXITSTATUS(exit) == status) << name;
    EXPECT_EQ(FileContents(folder_.path / "stderr"),
              "sinkview-study: stopped by " + std::string(name) + "; no file was replaced\n");
    for (const std::string& csv : csvFiles) EXPECT_EQ(FileContents(out_ / csv), "old") << csv;
    std::vector<std::string> names;
    for (const auto& entry : fs::directory_iterator(out_)) names.push_back(entry.path().filename());
    std::sort(names.begin(), names.end());
    EXPECT_EQ(names, csvFiles);
  }
}

// R dies with a study killed by kill -9, or stopped by SIGHUP as by SIGTERM,
// and so does a child R started of its own. The scratch folder with the
// study's data goes with a stopped study, and with a killed one when the
// program next starts.
TEST_F(StudyCli, RAndItsChildDieWithAKilledOrHungUpStudy) {
  const fs::path fakeR = folder_.path / "fake-r", temporary = folder_.path / "tmp";
  fs::create_directories(fakeR);
  fs::create_directories(temporary);
  const fs::path pids = fakeR / "pids";
  std::ofstream(fakeR / "Rscript") << "#!/bin/sh\nsleep 60 &\necho $$ $! >" << Quoted(pids.string() + ".new")
                                   << "&& mv " << Quoted(pids.string() + ".new") << Quoted(pids)
                                   << "\nwait\n";
  fs::permissions(fakeR / "Rscript", fs::perms::owner_all);
  std::vector<std::string> variables{"PATH=" + fakeR.string() + ":/usr/bin:/bin",
                                     "TMPDIR=" + temporary.string()};
  std::vector<char*> environment;
  for (std::string& variable : variables) environment.push_back(variable.data());
  environment.push_back(nullptr);
  const std::string study = (data_ / "study_cohort").string();
  for (const int signal : {SIGKILL, SIGHUP}) {
    SCOPED_TRACE(signal);
    fs::remove(pids);
    const pid_t child = ::fork();
    if (child == 0) {
      std::freopen((folder_.path / "stderr").c_str(), "w", stderr);
      std::freopen("/dev/null", "w", stdout);
      ::execle(SINKVIEW_STUDY_EXE, SINKVIEW_STUDY_EXE, "--output-dir", out_.c_str(), study.c_str(), nullptr,
               environment.data());
      ::_exit(127);
    }
    for (int wait = 0; wait < 10000 && !fs::exists(pids); ++wait) ::usleep(1000);
    pid_t r = 0, rsChild = 0;
    std::istringstream(FileContents(pids)) >> r >> rsChild;
    ASSERT_GT(rsChild, 0) << "R was not started";
    ::kill(child, signal);
    int exit = 0;
    ::waitpid(child, &exit, 0);
    EXPECT_TRUE(Ends(r));
    EXPECT_TRUE(Ends(rsChild));
    ::kill(r, SIGKILL); // none left running should the test fail
    ::kill(rsChild, SIGKILL);
    if (signal == SIGHUP) {
      EXPECT_TRUE(WIFEXITED(exit) && WEXITSTATUS(exit) == 129);
      EXPECT_EQ(FileContents(folder_.path / "stderr"),
                "sinkview-study: stopped by SIGHUP; no file was replaced\n");
    } else {
      std::vector<std::string> left;
      for (const auto& entry : fs::directory_iterator(temporary)) left.push_back(entry.path().filename());
      ASSERT_EQ(left.size(), 1u);
      EXPECT_EQ(left[0].rfind("sinkview-model-" + std::to_string(child) + "-", 0), 0u) << left[0];
      ASSERT_EQ(Study("--no-model " + outputDir_ + Quoted(study), "TMPDIR=" + Quoted(temporary)), 0)
          << err_text;
    }
    EXPECT_TRUE(fs::is_empty(temporary));
  }
}

#ifdef SINKVIEW_DRAWS_FIGURES
// Ctrl-C while the report of a large study is drawn stops the run within a
// second or so, not once the report is done. A stand-in for R marks the end
// of the reading; the report of 2,400 hips takes many seconds after it.
TEST_F(StudyCli, CtrlCStopsTheDrawingOfTheReport) {
  const fs::path many = folder_.path / "many", fakeR = folder_.path / "fake-r", read = fakeR / "read";
  fs::create_directories(many);
  fs::create_directories(fakeR);
  const std::regex patientLine("^\"([^\"]*)\",\"([^\"]*)\",\"([^\"]*)\"\r$", std::regex::multiline);
  for (int i = 0; i < 800; ++i) {
    for (const auto& entry : fs::directory_iterator(data_ / "study_cohort")) {
      const std::string copy =
          std::regex_replace(FileContents(entry.path()), patientLine,
                             "\"$1 " + std::to_string(i) + "\",\"$2\",\"$3-" + std::to_string(i) + "\"\r");
      std::ofstream(many / (std::to_string(i) + entry.path().filename().string()), std::ios::binary) << copy;
    }
  }
  std::ofstream(fakeR / "Rscript") << "#!/bin/sh\ntouch " << Quoted(read) << "\nexit 1\n";
  fs::permissions(fakeR / "Rscript", fs::perms::owner_all);
  const std::string path = "PATH=" + fakeR.string() + ":/usr/bin:/bin";
  const pid_t child = ::fork();
  if (child == 0) {
    ::putenv(const_cast<char*>(path.c_str()));
    std::freopen((folder_.path / "stderr").c_str(), "w", stderr);
    std::freopen("/dev/null", "w", stdout);
    ::execl(SINKVIEW_STUDY_EXE, SINKVIEW_STUDY_EXE, "--output-dir", out_.c_str(), "--report",
            (out_ / "report.pdf").c_str(), many.c_str(), nullptr);
    ::_exit(127);
  }
  for (int wait = 0; wait < 60000 && !fs::exists(read); ++wait) ::usleep(1000);
  ::usleep(500'000); // the CSV files are made, the report is under way
  ::kill(child, SIGINT);
  const auto stopped = std::chrono::steady_clock::now();
  int exit = 0;
  ::waitpid(child, &exit, 0);
  EXPECT_LT(std::chrono::steady_clock::now() - stopped, std::chrono::milliseconds(2500));
  EXPECT_TRUE(WIFEXITED(exit) && WEXITSTATUS(exit) == 130);
  EXPECT_NE(FileContents(folder_.path / "stderr").find("stopped by SIGINT; no file was replaced"),
            std::string::npos);
  EXPECT_FALSE(fs::exists(out_ / "report.pdf"));
}
#endif

// A German locale changes no number of the files: neither the figure's nor
// the reader's in rejected.csv.
TEST_F(StudyCli, AGermanLocaleKeepsThePoint) {
  const fs::path study = folder_.path / "study";
  fs::create_directories(study);
  fs::copy(data_ / "bad/head_magnification_tiny.vok", study);
  fs::copy(data_ / "study_cohort/a_break.vok", study);
  const fs::path figure = out_ / "cohort.svg";
#ifdef SINKVIEW_DRAWS_FIGURES
  const std::string figureOption = "--figure " + Quoted(figure);
#else
  const std::string figureOption; // a build without the GUI draws no figure
#endif
  ASSERT_EQ(Study(outputDir_ + figureOption + Quoted(study), "LC_ALL=de_DE.UTF-8 "), 1);
  const std::string rejected = FileContents(out_ / "rejected.csv");
  EXPECT_NE(rejected.find("between 0.5 and 2"), std::string::npos) << rejected;
#ifdef SINKVIEW_DRAWS_FIGURES
  const std::string svg = FileContents(figure);
  EXPECT_NE(svg.find(">-0.5</text>"), std::string::npos);
  EXPECT_NE(svg.find("\u00B11.5 mm at 24 months</text>"), std::string::npos);
#endif
}

// One file given as two outputs is a wrong command line, a folder reached
// through a link among them. (The other wrong command lines' messages are
// checked in-process.)
TEST_F(StudyCli, AWrongCommandLineIsExitStatusTwoAndReplacesNothing) {
  std::ofstream(out_ / "summary.csv") << "file\n";
  fs::create_directory_symlink(out_, folder_.path / "same");
  const std::string study = Quoted(data_ / "study_cohort");
  const fs::path again = out_ / ".." / "x.pdf";
  const std::pair<std::string, std::string> cases[] = {
      {outputDir_ + "--figure " + Quoted(folder_.path / "x.pdf") + "--model-figure " + Quoted(again) + study,
       "is given for both --figure and --model-figure; each output needs a file of its own\n"},
      {outputDir_ + "--figure " + Quoted(folder_.path / "x.pdf") + "--report " + Quoted(again) + study,
       "sinkview-study: " + again.string() +
           " is given for both --figure and --report; each output needs a file of its own\n"},
      {outputDir_ + "--figure " + Quoted(out_ / "r.pdf") + "--report " + Quoted(folder_.path / "same/r.pdf") +
           study,
       "same/r.pdf is given for both --figure and --report; each output needs a file of its own\n"},
  };
  for (const auto& [arguments, message] : cases) {
    EXPECT_EQ(Study(arguments), 2) << arguments;
    EXPECT_NE(err_text.find(message + "Try 'sinkview-study --help'."), std::string::npos) << err_text;
  }
  EXPECT_FALSE(fs::exists(folder_.path / "x.pdf"));
  EXPECT_EQ(FileContents(out_ / "summary.csv"), "file\n");
}

// Links planted at the outputs' names are replaced, each by its own file,
// whatever they point to: two to one file are no reason to refuse a run.
TEST_F(StudyCli, LinksAtTheOutputsNamesAreReplacedNotCompared) {
  std::ofstream(folder_.path / "target") << "kept";
  for (const char* name : {"summary.csv", "visits.csv", "study.xlsx"})
    fs::create_symlink(folder_.path / "target", out_ / name);
  fs::create_hard_link(folder_.path / "target", out_ / "flow.csv");
  ASSERT_EQ(Study(outputDir_ + "--workbook " + Quoted(out_ / "study.xlsx") + Quoted(data_ / "study_cohort")),
            0)
      << err_text;
  for (const char* name : {"summary.csv", "visits.csv", "study.xlsx", "flow.csv"}) {
    EXPECT_TRUE(fs::is_regular_file(fs::symlink_status(out_ / name))) << name;
    EXPECT_NE(FileContents(out_ / name), "kept") << name;
  }
  EXPECT_EQ(FileContents(folder_.path / "target"), "kept");
}

TEST(StudyOptionsParser, ReadsEveryOption) {
  const auto command =
      ParseStudyArguments({"-r", "--figure-width", "85", "--threshold=2", "--report", "r.PDF",
                           "--figure=f.svg", "a", "--reference-point=head", "--model-figure", "m.png",
                           "--survival-figure=s.tif", "--output-dir", SINKVIEW_TEST_DATA, "--", "-b"});
  ASSERT_TRUE(command) << command.error().message;
  EXPECT_TRUE(command->options.recursive);
  EXPECT_EQ(command->figureWidthMm, 85);
  EXPECT_EQ(command->options.thresholdMm, 2);
  EXPECT_EQ(command->reportFile, "r.PDF");
  EXPECT_EQ(command->figureFile, "f.svg");
  EXPECT_EQ(command->modelFigureFile, "m.png");
  EXPECT_EQ(command->survivalFigureFile, "s.tif");
  EXPECT_EQ(command->options.settings.ReferencePoint, Reference::HeadCenter);
  EXPECT_EQ(command->outputDir, SINKVIEW_TEST_DATA);
  EXPECT_EQ(command->folders, (std::vector<std::string>{"a", "-b"}));
}

TEST(StudyOptionsParser, WrongCommandLinesSayWhatIsWrong) {
  const auto cases = sinkview::testing::CaseLines(SINKVIEW_TEST_DATA "/study_usage_errors.txt");
  EXPECT_EQ(cases.size(), 18u);
  for (const auto& [arguments, message] : cases) {
    std::istringstream words(arguments);
    const auto command = ParseStudyArguments({std::istream_iterator<std::string>(words), {}});
    ASSERT_FALSE(command) << arguments;
    EXPECT_EQ(command.error().message, message);
  }
  // A journal's TIFF is a figure like any other.
  for (const char* figure : {"--figure=f.tif", "--figure=f.TIFF", "--bland-altman=b.tiff"})
    EXPECT_TRUE(ParseStudyArguments({figure, "a"})) << figure;
}

// A protocol that cannot be followed, a repeat folder that is missing or is
// the study folder among them, stops the study before it writes anything.
TEST_F(StudyCli, ABadProtocolStopsTheRunBeforeAnythingIsWritten) {
  const fs::path study = folder_.path / "study";
  fs::create_directories(study);
  fs::copy_file(kExampleStudy / "schulz_bernd_right.vok", study / "schulz_bernd_right.vok");
  const struct {
    std::string toml, patients, arguments, message;
  } cases[] = {
      {"treshold_mm = 2\n", "", "", "study.toml: line 1, 'treshold_mm': is no key of a protocol"},
      {"patients = \"patients.csv\"\n", "file\nschulz_bernd_right.vok\n", "--pseudonymise ",
       "patients.csv: line 1: pseudonymisation needs a column 'patient'"},
      {"patients = \"missing.csv\"\n", "", "", "missing.csv: the file cannot be opened"},
      {"repeat_readings = \"second\"\n", "", "",
       "'repeat_readings': " + (study / "second").string() + " is no folder"},
      {"repeat_readings = \".\"\n", "", "", "is the study folder itself"},
  };
  for (const auto& c : cases) {
    std::ofstream(study / "study.toml", std::ios::binary) << c.toml;
    std::ofstream(study / "patients.csv", std::ios::binary) << c.patients;
    EXPECT_EQ(Study(c.arguments + outputDir_ + Quoted(study)), 2) << c.toml;
    EXPECT_NE(err_text.find(c.message), std::string::npos) << err_text;
    EXPECT_TRUE(fs::is_empty(out_)) << c.toml;
  }
  fs::remove(study / "study.toml");
  fs::create_directories(study / "second");
  EXPECT_EQ(Study("--repeat-readings " + Quoted(study / "second") + outputDir_ + Quoted(study)), 0)
      << err_text;
  EXPECT_TRUE(fs::exists(out_ / "precision.csv"));
}

// Second readings are looked for only in a folder inside the study's: "/"
// or ".." would search the whole tree and read other users' folders.
TEST_F(StudyCli, RepeatReadingsLieInsideTheStudyFolder) {
  const fs::path study = folder_.path / "study";
  fs::create_directories(study / "inner");
  fs::create_directories(folder_.path / "beside");
  fs::create_symlink("/", study / "root");
  fs::copy_file(kExampleStudy / "schulz_bernd_right.vok", study / "schulz_bernd_right.vok");
  for (const std::string folder : {"/", "..", "../beside", "root", "inner/../.."}) {
    std::ofstream(study / "study.toml", std::ios::binary) << "repeat_readings = \"" << folder << "\"\n";
    EXPECT_EQ(Study(outputDir_ + Quoted(study)), 2) << folder;
    EXPECT_NE(err_text.find("study.toml: 'repeat_readings': "), std::string::npos) << err_text;
    EXPECT_NE(err_text.find("inside the study folder"), std::string::npos) << err_text;
    EXPECT_TRUE(fs::is_empty(out_)) << folder;
  }
  fs::remove(study / "study.toml");
  EXPECT_EQ(Study("--repeat-readings / " + outputDir_ + Quoted(study)), 2);
  EXPECT_NE(err_text.find("--repeat-readings: "), std::string::npos) << err_text;
}

// Pseudonymised, a covariate the protocol does not declare stays out of
// every output: a birth date or a name would identify the patient.
TEST_F(StudyCli, PseudonymisedTheUndeclaredCovariatesAreLeftOut) {
  const fs::path study = folder_.path / "study";
  fs::create_directories(study);
  fs::copy_file(kExampleStudy / "schulz_bernd_right.vok", study / "schulz_bernd_right.vok");
  std::ofstream(study / "patients.csv", std::ios::binary)
      << "file;patient;birth_date;age\nschulz_bernd_right.vok;P1;03.04.1951;71\n";
  std::ofstream(study / "study.toml", std::ios::binary) << "patients = \"patients.csv\"\n";
  ASSERT_EQ(Study("--pseudonymise --no-model " + outputDir_ + Quoted(study)), 0) << err_text;
  for (const char* file : {"summary.csv", "visits.csv", "dictionary.csv", "long.csv"}) {
    const std::string text = FileContents(out_ / file);
    EXPECT_EQ(text.find("birth_date"), std::string::npos) << file;
    EXPECT_EQ(text.find("1951"), std::string::npos) << file;
  }
  EXPECT_NE(err_text.find("'birth_date' (it holds dates)"), std::string::npos) << err_text;
  ASSERT_EQ(Study("--no-model " + outputDir_ + Quoted(study)), 0) << err_text;
  EXPECT_NE(FileContents(out_ / "summary.csv").find("birth_date"), std::string::npos);
  // A covariate the protocol lists is kept.
  std::ofstream(study / "patients.csv", std::ios::binary)
      << "file;patient;age\nschulz_bernd_right.vok;P1;71\n";
  std::ofstream(study / "study.toml", std::ios::binary)
      << "patients = \"patients.csv\"\ncovariates = [\"age\"]\n";
  ASSERT_EQ(Study("--pseudonymise --no-model " + outputDir_ + Quoted(study)), 0) << err_text;
  const std::string summary = FileContents(out_ / "summary.csv");
  EXPECT_NE(summary.find(",age\r\n"), std::string::npos) << summary;
  EXPECT_NE(summary.find(",71\r\n"), std::string::npos) << summary;
}

#ifdef SINKVIEW_DRAWS_FIGURES
// A study of the working folder without surgery dates, repeat readings or
// R: the report names the folder, counts its months from the first
// radiograph, lists only the sections it has, says why the model is
// missing and what the patients file says of each hip.
TEST_F(StudyCli, TheReportSaysWhatTheStudyHadAndWhatItLacked) {
  const fs::path study = folder_.path / "cohort 2026", report = out_ / "report.pdf";
  fs::copy(kCohort, study);
  ASSERT_EQ(Study(outputDir_ + "--report " + Quoted(report) + ".",
                  "cd " + Quoted(study) + "&& PATH=" + Quoted(folder_.path / "no programs")),
            0)
      << err_text;
  ASSERT_EQ(RunShell("pdftotext " + Quoted(report) + "-", folder_.path, out_text, err_text), 0);
  const std::string& text = out_text;
  for (const char* expected : {"Study: cohort 2026", "since the first radiograph",
                               "The model was not fitted: the raw statistics only (Rscript is not installed",
                               "Patients: groups, events and exclusions"})
    EXPECT_NE(text.find(expected), std::string::npos) << expected << '\n' << text;
  for (const char* absent : {"Study: .", "since surgery"})
    EXPECT_EQ(text.find(absent), std::string::npos) << absent;
  const std::string contents = text.substr(0, text.find('\f'));
  EXPECT_EQ(contents.find("Precision"), std::string::npos) << contents;
  EXPECT_EQ(contents.find("Revision survival"), std::string::npos) << "no estimates without R";
  EXPECT_NE(contents.find("Patients"), std::string::npos) << contents;
}

// The report's study pages say what the study is, what became of its hips
// and how well its repeat readings agree; the Bland-Altman plot is as wide
// as --figure-width says.
TEST_F(StudyCli, TheReportHasTheTitleTheFlowThePatientsWithTheirHipsAndThePrecision) {
  const fs::path report = out_ / "report.pdf", plot = out_ / "bland-altman.png",
                 survival = out_ / "survival.svg";
  ASSERT_EQ(Study(outputDir_ + "--report " + Quoted(report) + "--figure-width 170 " + "--bland-altman " +
                  Quoted(plot) + "--survival-figure " + Quoted(survival) + Quoted(kExampleStudy)),
            0)
      << err_text;
  // The survival figure draws R's steps: its hips at risk at year 0 are
  // each group's hips that enter (one of A's is excluded).
  const std::string svg = FileContents(survival), steps = FileContents(out_ / "survival_steps.csv");
  for (const char* text : {"Years since surgery", "Cumulative incidence of revision (%)", ">A (n = 6 hips)<",
                           ">B (n = 7 hips)<", "1 - Kaplan-Meier"})
    EXPECT_NE(svg.find(text), std::string::npos) << text;
  for (const char* atRisk : {"\r\nat_risk,A,0,6,,,\r\n", "\r\nat_risk,B,0,7,,,\r\n"})
    EXPECT_NE(steps.find(atRisk), std::string::npos) << atRisk << steps;
  // The PNG's width, big-endian after its signature and the header's length and type.
  const std::string png = FileContents(plot);
  ASSERT_GT(png.size(), 20u);
  EXPECT_EQ(png.substr(16, 4), std::string("\0\0\x07\xD8", 4)) << "2008 pixels: 170 mm at 300 dpi";
  ASSERT_EQ(RunShell("pdftotext -layout " + Quoted(report) + Quoted(out_ / "report.txt"), folder_.path,
                     out_text, err_text),
            0)
      << "pdftotext (poppler-utils) is installed by scripts/install-deps.sh";
  const std::string text = FileContents(out_ / "report.txt");
  // The tables name each quantity with its unit and round to what a reader
  // needs: A at 24 months, mm to two decimals, days whole, percentages to one.
  for (const std::string expected : {"Cemented stems A and B: subsidence over three years",
                                     "13 patients (14 hips) read",
                                     "Enrolled: 6 patients (7 hips)",
                                     "Enrolled: 7 patients (7 hips)",
                                     "24 months: 4 of 7 hips measured",
                                     "not measured: revised 1, late baseline 1, after break 1",
                                     "12 months: 5 of 7 hips measured",
                                     "Days since surgery, mean",
                                     "725 to 741",
                                     "Bands at 24 months (0.50 to 1.50 mm",
                                     "Share (%)",
                                     "4.6 to 69.9",
                                     "95 % CI (mm)",
                                     "-1.83 to 0.24",
                                     "Follow-up (months)",
                                     "Subsidence at 24 months (mm)",
                                     "Angle change, last (°)",
                                     "threshold of 1.50 mm",
                                     "Fissure of the femur during surgery; cerclage",
                                     "2022-10-03"})
    EXPECT_NE(text.find(expected), std::string::npos) << expected;
  // The front page's fingerprint is inputs.csv's, as sha256sum gives it, and the software follows.
  std::string sha, shaErrors;
  ASSERT_EQ(RunShell("sha256sum " + Quoted(out_ / "inputs.csv"), folder_.path, sha, shaErrors), 0)
      << shaErrors;
  EXPECT_NE(text.find("Data fingerprint (SHA-256 of inputs.csv): " + sha.substr(0, 64)), std::string::npos);
  EXPECT_NE(text.find("Software: Sinkview "), std::string::npos);
  // The precision page: the agreement, its plot's panel and the patterns.
  for (const std::string expected :
       {"Agreement of the repeat readings with the first", "0.04 to 0.12", "Subsidence (n = 27 pairs)",
        "43.9 to 100.0", "(the detection limit of the repeat readings)"})
    EXPECT_NE(text.find(expected), std::string::npos) << expected;
  // The survival section: death competing, Kaplan-Meier beside it, Gray's test.
  for (const std::string expected : {"Death is treated as a competing event", "Years since surgery",
                                     "Gray's test across the groups: revision p = 0.756, death p = 0.260.",
                                     "20.0 (3.5 to 100.0)", "33.3 (12.2 to 71.8)"})
    EXPECT_NE(text.find(expected), std::string::npos) << expected;
  for (const std::string unitAlone : {" last mm", "primary mm", "angle deg", "-1.827484"})
    EXPECT_EQ(text.find(unitAlone), std::string::npos) << unitAlone;

  // Every page counts the pages, and the contents on the first send the
  // reader to the page where each section begins.
  std::vector<std::string> pages;
  for (std::size_t at = 0, end; (end = text.find('\f', at)) != std::string::npos; at = end + 1)
    pages.push_back(text.substr(at, end - at));
  const std::string count = std::to_string(pages.size());
  for (std::size_t page = 0; page < pages.size(); ++page)
    EXPECT_NE(pages[page].find("Page " + std::to_string(page + 1) + " of " + count), std::string::npos)
        << pages[page];
  // Each section named begins its page.
  for (const auto& [section, begins] :
       {std::pair{"Protocol", "Protocol: visits"},
        {"Participant flow", "Participant flow"},
        {"Cohort statistics and patients' summaries", "Cohort statistics per"},
        {"Patients", "becker_karl_left.vok"}}) {
    std::smatch entry;
    ASSERT_TRUE(std::regex_search(pages.at(0), entry, std::regex(std::string(section) + " +([0-9]+)\\n")))
        << section;
    const std::size_t page = std::stoul(entry[1]) - 1;
    ASSERT_LT(page, pages.size()) << section;
    EXPECT_EQ(pages[page].find_first_not_of(" \n"), pages[page].find(begins)) << section << '\n'
                                                                              << pages[page];
  }

  // An archive's PDF/A-1b, named for its study and the program that made it.
  std::string info;
  ASSERT_EQ(RunShell("(pdfinfo " + Quoted(report) + "&& pdfinfo -meta " + Quoted(report) + ")", folder_.path,
                     info, err_text),
            0);
  for (const std::string& expected :
       std::vector<std::string>{"Title:           Cemented stems A and B: subsidence over three years\n",
                                "Creator:         Sinkview " SINKVIEW_VERSION "\n", "PDF version:     1.4\n",
                                "CreationDate:", "Pages:           " + count + "\n", "pdfaid:part=\"1\"",
                                "pdfaid:conformance=\"B\""})
    EXPECT_NE(info.find(expected), std::string::npos) << expected << "\n" << info;
}

// A figure for a journal that asks for TIFF: 85 mm at 600 dpi, drawn at
// that resolution, LZW-compressed.
TEST_F(StudyCli, TheCohortFigureAsTiffIsSixHundredDpiAndLzwCompressed) {
  // An upper-case ending (.tif is the study window's test's).
  const fs::path tiff = out_ / "cohort.TIFF";
  ASSERT_EQ(Study(outputDir_ + "--figure-width 85 --figure " + Quoted(tiff) + Quoted(data_ / "study_cohort")),
            0)
      << err_text;
  std::string tags;
  ASSERT_EQ(RunShell("tiffinfo " + Quoted(tiff), folder_.path, tags, err_text), 0)
      << "tiffinfo (libtiff-tools) is installed by scripts/install-deps.sh";
  // 85 mm is 2007.9 pixels at 600 dpi.
  for (const char* expected :
       {"Image Width: 2008 ", "Resolution: 600, 600 pixels/inch", "Compression Scheme: LZW"})
    EXPECT_NE(tags.find(expected), std::string::npos) << expected << "\n" << tags;

  // Without Qt's TIFF plugin (the program's plugins told by a qt.conf beside
  // it) the run fails, saying which file and why, and writes no TIFF.
  const fs::path program = folder_.path / "program", plugins = folder_.path / "plugins";
  for (const fs::path& folder : {program, plugins}) fs::create_directories(folder);
  fs::copy_file(SINKVIEW_STUDY_EXE, program / "sinkview-study");
  fs::create_directory_symlink(fs::path(SINKVIEW_QT_PLUGINS) / "platforms", plugins / "platforms");
  std::ofstream(program / "qt.conf") << "[Paths]\nPlugins=" << plugins.string() << "\n";
  const fs::path figure = out_ / "no_plugin.tif";
  EXPECT_EQ(RunShell(Quoted(program / "sinkview-study") + outputDir_ + "--figure " + Quoted(figure) +
                         Quoted(data_ / "study_cohort"),
                     folder_.path, out_text, err_text),
            1);
  EXPECT_NE(err_text.find(figure.string() +
                          ": the figure of 4016 x 2350 pixels is not written (Qt's TIFF image "
                          "plugin is not installed: Debian's qt6-image-formats-plugins)"),
            std::string::npos)
      << err_text;
  EXPECT_FALSE(fs::exists(figure));
}
#endif

TEST_F(StudyCli, TheProtocolUsedIsWrittenBesideTheResultsAndReadsBack) {
  ASSERT_EQ(Study(outputDir_ + "--reference-point head --threshold 2 " + Quoted(kExampleStudy)), 0)
      << err_text;
  EXPECT_NE(out_text.find("13 patients (14 hips) read"), std::string::npos) << out_text;
  auto command = ParseStudyArguments({"--reference-point", "head", "--threshold=2", kExampleStudy.string()});
  ASSERT_TRUE(command);
  ASSERT_TRUE(ApplyProtocol(*command, CalendarDate{}));
  const auto used = ReadProtocol((out_ / "protocol-used.toml").string(), Protocol{});
  ASSERT_TRUE(used) << used.error().message;
  EXPECT_EQ(*used, command->options.protocol);
}

TEST(StudyProtocol, TheCommandLineOverridesTheProtocol) {
  auto command = ParseStudyArguments(
      {"--trochanter=minor", "--threshold", "2.5", "--pseudonymise", kExampleStudy.string() + "/"});
  ASSERT_TRUE(command) << command.error().message;
  ASSERT_TRUE(ApplyProtocol(*command, CalendarDate{}));
  const StudyOptions& options = command->options;
  EXPECT_EQ(options.protocol.settings.TrochanterChoice, Trochanter::Minor);
  EXPECT_EQ(options.protocol.settings, options.settings);
  EXPECT_EQ(options.protocol.thresholdMm, 2.5);
  EXPECT_EQ(options.thresholdMm, 2.5);
  EXPECT_TRUE(options.protocol.pseudonymise);
  ASSERT_TRUE(options.patients);
  EXPECT_EQ(options.patients->rows.size(), 14u);
}

TEST(StudyProtocol, WithoutAProtocolFileTheDefaultsAreTheFoldersAndTheDay) {
  const CalendarDate today = std::chrono::year(2026) / 12 / 8;
  const auto named = ParseStudyArguments({"--protocol=p.toml", kExampleStudy.string()});
  EXPECT_EQ(ProtocolFileOf(*named), "p.toml"); // the folder's own is not read then
  const auto two = ParseStudyArguments({kExampleStudy.string(), SINKVIEW_TEST_DATA});
  EXPECT_EQ(ProtocolFileOf(*two), ""); // whose would it be?
  auto command = ParseStudyArguments({std::string(SINKVIEW_TEST_DATA) + "/study_cohort/", "--time-limit=24"});
  ASSERT_TRUE(command);
  EXPECT_EQ(ProtocolFileOf(*command), "");
  ASSERT_TRUE(ApplyProtocol(*command, today));
  Protocol expected = DefaultProtocol("study_cohort", today);
  expected.settings.TimeLimitDays = TimeLimitDaysForMonths(24);
  EXPECT_EQ(command->options.protocol, expected);
  EXPECT_FALSE(command->options.patients);
}

// R fits the model before the study's files are written, and its files
// join them (and the workbook: workbook_libreoffice_read_back), the same
// model.csv as R writes from them later. With --no-model no model file is left from an earlier run;
// without R one line says what to install, with R failing one line says
// why, and the other files are written either way.
TEST_F(StudyCli, TheModelIsWrittenWithTheFilesOrToldWhyNot) {
  const std::string study = Quoted(kExampleStudy);
  ASSERT_EQ(Study(outputDir_ + study), 0) << err_text;
  // The protocol asks for no structure: the random intercept is fitted, and nothing is said.
  EXPECT_EQ(err_text, "");
  EXPECT_NE(FileContents(out_ / "model_fit.csv").find(",random_intercept,containment,,,"), std::string::npos);
  const char* const modelFiles[] = {"model.csv", "model_fit.csv", "model_tests.csv", "r_software.csv"};
  for (const char* name : {"comparison.csv", "primary_visit.csv", "model_settings.csv", "analysis.R"})
    EXPECT_TRUE(fs::exists(out_ / name)) << name;
  std::map<std::string, std::string> written;
  for (const char* name : modelFiles) written[name] = FileContents(out_ / name);
  const std::string& model = written["model.csv"];
  EXPECT_NE(model.find(",difference,B,A,24 months,24,"), std::string::npos);
  EXPECT_NE(FileContents(out_ / "comparison.csv")
                .find("\r\nsubsidence,3 months,3,B,A,6,6,-0.1496464,-0.35169,0.05239716,0.1296054\r\n"),
            std::string::npos);
  ASSERT_EQ(
      RunShell("cd " + Quoted(out_) + "&& Rscript --vanilla analysis.R", folder_.path, out_text, err_text), 0)
      << err_text;
  for (const char* name : modelFiles) EXPECT_EQ(FileContents(out_ / name), written[name]) << name;
  // survival.R beside the hips it reads rewrites R's files as they were.
  const std::string survival = FileContents(out_ / "survival.csv"),
                    tests = FileContents(out_ / "survival_tests.csv"),
                    steps = FileContents(out_ / "survival_steps.csv");
  EXPECT_NE(survival.find("\r\naalen_johansen,revision,B,2,"), std::string::npos) << survival;
  EXPECT_NE(tests.find("\r\nrevision,gray,"), std::string::npos) << tests;
  // The survival packages' versions reach software.csv, R's once.
  const std::string software = FileContents(out_ / "software.csv");
  for (const char* row : {"\r\nsurvival,", "\r\ncmprsk,", "\r\nnlme,"})
    EXPECT_NE(software.find(row), std::string::npos) << row << software;
  EXPECT_EQ(software.find("\r\nR,"), software.rfind("\r\nR,")) << software;
  ASSERT_EQ(
      RunShell("cd " + Quoted(out_) + "&& Rscript --vanilla survival.R", folder_.path, out_text, err_text), 0)
      << err_text;
  EXPECT_EQ(FileContents(out_ / "survival.csv"), survival);
  EXPECT_EQ(FileContents(out_ / "survival_tests.csv"), tests);
  EXPECT_EQ(FileContents(out_ / "survival_steps.csv"), steps);
  EXPECT_NE(steps.find("\r\nat_risk,B,0,"), std::string::npos) << steps;

  ASSERT_EQ(Study("--no-model " + outputDir_ + study), 0);
  EXPECT_EQ(err_text, "");
  for (const char* name : modelFiles) EXPECT_FALSE(fs::exists(out_ / name)) << name;
  for (const char* name :
       {"survival.csv", "survival_tests.csv", "survival_steps.csv", "survival_software.csv"})
    EXPECT_FALSE(fs::exists(out_ / name)) << name;
  EXPECT_TRUE(fs::exists(out_ / "survival_hips.csv"));

  const sinkview::testing::TempFolder noR, failingR;
  std::ofstream(failingR.path / "Rscript") << "#!/bin/sh\necho 'Error: the model broke' >&2\nexit 1\n";
  fs::permissions(failingR.path / "Rscript", fs::perms::owner_all);
  // Without R one line says what to install for both scripts; R failing
  // is said of each.
  const struct {
    std::string path, message;
    long lines;
  } cases[] = {{noR.path, "r-base-core r-cran-nlme r-cran-emmeans r-cran-survival r-cran-cmprsk", 1},
               {failingR.path.string() + ":/usr/bin:/bin", "model: R could not fit it: the model broke", 2}};
  for (const auto& c : cases) {
    fs::remove(out_ / "summary.csv");
    std::ofstream(out_ / "model_fit.csv") << "old";
    ASSERT_EQ(Study(outputDir_ + study, "PATH=" + Quoted(c.path)), 0);
    EXPECT_NE(err_text.find(c.message), std::string::npos) << err_text;
    EXPECT_EQ(std::count(err_text.begin(), err_text.end(), '\n'), c.lines) << err_text;
    for (const char* name : {"analysis.R", "summary.csv"}) EXPECT_TRUE(fs::exists(out_ / name)) << name;
    EXPECT_FALSE(fs::exists(out_ / "model_fit.csv"));
  }
}

// Without a title, the study is named by its folder, whose line end or
// direction mark is a blank there.
TEST(StudyProtocol, AFoldersNameAsTitleHasNoControlCharacters) {
  const sinkview::testing::TempFolder folder;
  const fs::path study = folder.path / "trial\nB\xE2\x80\xAE";
  fs::create_directories(study);
  auto command = ParseStudyArguments({study.string()});
  ASSERT_TRUE(command) << command.error().message;
  ASSERT_TRUE(ApplyProtocol(*command, CalendarDate{}));
  EXPECT_EQ(command->options.protocol.title, "trial B ");
}
