// analysis.R run by R on small studies under tests/data: a two-group study
// fitted once by hand (model_two_groups/fitted_by_hand.R), a balanced study
// whose model means are the raw means, and the ways a fit can fail (R
// missing is the study command line's test).
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <map>
#include <optional>
#include <sstream>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>

#include "../support/file_contents.h"
#include "../support/run_shell.h"
#include "../support/temp_folder.h"
#include "base/atomic_file.h"
#include "report/main_table.h"
#include "rrunner/model_step.h"
#include "rrunner/scratch_model.h"
#include "study/analysis_script.h"
#include "study/csv_columns.h"

using namespace sinkview;
using sinkview::testing::Quoted;
using sinkview::testing::RunShell;
using sinkview::testing::TempFolder;
namespace fs = std::filesystem;

namespace {

// A measured visit with this subsidence and nothing else.
VisitValue Measured(double subsidence) {
  VisitValue value;
  value.status = VisitStatus::Measured;
  value.subsidence = subsidence;
  return value;
}

// The one tolerance of these comparisons: the golden numbers have 7
// significant digits.
::testing::AssertionResult Close(const std::optional<double>& actual, const std::optional<double>& expected) {
  if (!actual && !expected) return ::testing::AssertionSuccess();
  if (!actual || !expected) return ::testing::AssertionFailure() << "one of the two is empty";
  if (std::fabs(*actual - *expected) <= 1e-6 * std::max(1.0, std::fabs(*expected)))
    return ::testing::AssertionSuccess();
  return ::testing::AssertionFailure() << *actual << " where " << *expected << " was expected";
}

// A fresh folder with the study's tables from tests/data/`study` and analysis.R.
struct StudyFolder {
  explicit StudyFolder(std::string_view study) {
    for (const char* name : {"visits.csv", "primary_visit.csv", "model_settings.csv", "summary.csv"})
      if (fs::exists(fs::path(SINKVIEW_TEST_DATA) / study / name))
        fs::copy_file(fs::path(SINKVIEW_TEST_DATA) / study / name, folder.path / name);
    const auto written = WriteFileAtomically((folder.path / kAnalysisScript).native(), AnalysisScriptText());
    EXPECT_TRUE(written) << written.error().message;
  }
  TempFolder folder;
};

const ModelEstimate* Find(const ModelResults& results, std::string_view analysis, std::string_view kind,
                          std::string_view group, std::string_view visit) {
  for (const ModelEstimate& e : results.estimates) {
    if (e.analysis == analysis && e.series == "subsidence" && e.kind == kind && e.group == group &&
        e.visit == visit)
      return &e;
  }
  return nullptr;
}

// Every estimate of `expected` in `fitted`, with the same numbers.
void ExpectEstimates(const ModelResults& fitted, const ModelResults& expected) {
  for (const ModelEstimate& e : expected.estimates) {
    SCOPED_TRACE(e.analysis + " " + e.kind + " " + e.group + " at " + e.visit);
    const ModelEstimate* got = Find(fitted, e.analysis, e.kind, e.group, e.visit);
    ASSERT_NE(got, nullptr);
    EXPECT_EQ(got->referenceGroup, e.referenceGroup);
    for (auto value :
         {&ModelEstimate::targetMonths, &ModelEstimate::estimateMm, &ModelEstimate::seMm, &ModelEstimate::df,
          &ModelEstimate::ci95LowMm, &ModelEstimate::ci95HighMm, &ModelEstimate::pValue})
      EXPECT_TRUE(Close(got->*value, e.*value));
  }
}

// The joint tests of `expected` in `fitted`, row for row.
void ExpectTests(const ModelResults& fitted, const ModelResults& expected) {
  ASSERT_EQ(fitted.tests.size(), expected.tests.size());
  for (std::size_t t = 0; t < expected.tests.size(); ++t) {
    const ModelTest &got = fitted.tests[t], &hand = expected.tests[t];
    SCOPED_TRACE(hand.analysis + " " + hand.term);
    EXPECT_EQ(got.analysis + got.series + got.term, hand.analysis + hand.series + hand.term);
    for (auto value :
         {&ModelTest::numeratorDf, &ModelTest::denominatorDf, &ModelTest::fValue, &ModelTest::pValue})
      EXPECT_TRUE(Close(got.*value, hand.*value));
  }
}

std::vector<double> Numbers(const std::string& text) {
  std::istringstream in(text);
  return {std::istream_iterator<double>(in), std::istream_iterator<double>()};
}

} // namespace

TEST(Model, TwoGroupStudyWithMissedVisitsGivesTheNumbersFittedByHand) {
  const StudyFolder study("model_two_groups");
  const auto fitted = RunModel(study.folder.path.native());
  ASSERT_TRUE(fitted) << fitted.error().failure.message;
  const auto expected =
      ReadModelResults((fs::path(SINKVIEW_TEST_DATA) / "model_two_groups/expected").native());
  ASSERT_TRUE(expected) << expected.error().message;

  ExpectEstimates(*fitted, *expected);
  const ModelFit& fit = fitted->fits.front();
  const ModelFit& hand = expected->fits.front();
  EXPECT_EQ(fit.analysis + fit.series, "allsubsidence"); // its hips are the map's below
  EXPECT_EQ(fit.structure + " " + fit.dfMethod, "random_intercept containment");
  EXPECT_EQ(fit.observations, hand.observations);
  for (auto value :
       {&ModelFit::sdInterceptMm, &ModelFit::sdResidualMm, &ModelFit::remlLogLikelihood, &ModelFit::aic})
    EXPECT_TRUE(Close(fit.*value, hand.*value));
  // The joint tests of the subsidence of all hips come first.
  ModelResults subsidence = *fitted;
  subsidence.tests.resize(std::min<std::size_t>(3, subsidence.tests.size()));
  ExpectTests(subsidence, *expected);
  // Complete cases (a1, a3, a5, b1, b2, b4) and the stem/cement interface
  // are fitted too; the older format's hip (a5) has no stem/cement values.
  std::map<std::string, int> hips;
  for (const ModelFit& f : fitted->fits) hips[f.analysis + " " + f.series] = f.hips;
  EXPECT_EQ(hips, (std::map<std::string, int>{{"all subsidence", 10},
                                              {"complete_cases subsidence", 6},
                                              {"all stem_cement", 9},
                                              {"complete_cases stem_cement", 5}}));

  // nlminb stopping at a false convergence (as for 1,000 hips adjusted for
  // age) is retried with optim: the same numbers, and a note says so.
  const sinkview::testing::TempFolder fakeR;
  std::ofstream(fakeR.path / "Rscript")
      << "#!/bin/sh\nexec Rscript --vanilla -e 'lme <- function(fixed, ..., control) { "
         "if (control$opt == \"nlminb\") stop(\"nlminb problem, message = false convergence (8)\"); "
         "nlme::lme(fixed, ..., control = control) }; source(\"analysis.R\")'\n";
  fs::permissions(fakeR.path / "Rscript", fs::perms::owner_all);
  ModelRunOptions options;
  options.rscript = (fakeR.path / "Rscript").native();
  const auto retried = RunModel(study.folder.path.native(), options);
  ASSERT_TRUE(retried) << retried.error().failure.message;
  ExpectEstimates(*retried, *expected);
  ASSERT_FALSE(retried->notes.empty());
  EXPECT_EQ(retried->notes.front(),
            "model: note: subsidence, all: nlminb stopped at a false convergence; the fit is optim's");
}

// Two groups of nine hips adjusted for age (numeric) and sex (text), by the
// unstructured model, fitted once by hand (model_adjusted/fitted_by_hand.R):
// adjusted and unadjusted, the complete cases, and one hip of each of the
// two patients with two (P01's operated first, P11's left one, operated
// the same day as the right).
TEST(Model, UnstructuredModelWithCovariatesGivesTheNumbersFittedByHand) {
  const StudyFolder study("model_adjusted");
  const auto fitted = RunModel(study.folder.path.native());
  ASSERT_TRUE(fitted) << fitted.error().failure.message;
  const auto expected = ReadModelResults((fs::path(SINKVIEW_TEST_DATA) / "model_adjusted/expected").native());
  ASSERT_TRUE(expected) << expected.error().message;
  EXPECT_EQ(fitted->estimates.size(), expected->estimates.size());
  ExpectEstimates(*fitted, *expected);
  ExpectTests(*fitted, *expected);
  ASSERT_EQ(fitted->fits.size(), expected->fits.size());
  for (std::size_t f = 0; f < expected->fits.size(); ++f) {
    const ModelFit &got = fitted->fits[f], &hand = expected->fits[f];
    SCOPED_TRACE(hand.analysis);
    EXPECT_EQ(got.analysis + "|" + got.structure + "|" + got.dfMethod + "|" + got.covariates + "|" +
                  got.fallback,
              hand.analysis + "|" + hand.structure + "|" + hand.dfMethod + "|" + hand.covariates + "|" +
                  hand.fallback);
    EXPECT_EQ(std::pair(got.hips, got.observations), std::pair(hand.hips, hand.observations));
    EXPECT_TRUE(Close(got.remlLogLikelihood, hand.remlLogLikelihood));
    EXPECT_TRUE(Close(got.aic, hand.aic));
    EXPECT_EQ(got.visitNumbers, hand.visitNumbers);
    const std::vector<double> sds = Numbers(got.sdByVisitMm), handSds = Numbers(hand.sdByVisitMm);
    ASSERT_EQ(sds.size(), handSds.size());
    for (std::size_t v = 0; v < sds.size(); ++v) EXPECT_TRUE(Close(sds[v], handSds[v]));
  }
  EXPECT_EQ(fitted->notes, std::vector<std::string>{});
}

// With one hip of each group at 24 months the unstructured model has no
// usable variance there: the random intercept is fitted instead, and
// model_fit.csv and the notes say why. The complete cases (up to 12
// months) take the unstructured model.
TEST(Model, UnstructuredModelThatCannotBeFittedFallsBackToTheRandomIntercept) {
  const StudyFolder study("model_fallback");
  const auto fitted = RunModel(study.folder.path.native());
  ASSERT_TRUE(fitted) << fitted.error().failure.message;
  ASSERT_EQ(fitted->fits.size(), 2u);
  EXPECT_EQ(fitted->fits[0].structure + " " + fitted->fits[0].dfMethod, "random_intercept containment");
  EXPECT_EQ(fitted->fits[0].fallback.rfind("the unstructured model could not be fitted: ", 0), 0u)
      << fitted->fits[0].fallback;
  EXPECT_EQ(fitted->fits[1].structure + " " + fitted->fits[1].fallback, "unstructured ");
  ASSERT_EQ(fitted->notes.size(), 1u);
  EXPECT_EQ(fitted->notes[0], "model: note: subsidence, all: " + fitted->fits[0].fallback);
  EXPECT_NE(Find(*fitted, "all", "difference", "B", "24 months"), nullptr);
}

// Three hips a group at 6, 12 and 24 months; the raw means of A are 0.1,
// 0.3 and 0.5, those of B 0.6, 2.8 / 3 and 3.5 / 3.
TEST(Model, BalancedStudyHasTheRawMeansAsModelMeansAndGroupNamesComeBackWhole) {
  const std::string groups[] = {"A", "B \"new\", cemented\nline two, Grüße"};
  const struct {
    const char* visit;
    double raw[2];
  } visits[] = {{"6 months", {0.1, 0.6}}, {"12 months", {0.3, 2.8 / 3}}, {"24 months", {0.5, 3.5 / 3}}};
  const StudyFolder study("model_balanced");
  const auto fitted = RunModel(study.folder.path.native());
  ASSERT_TRUE(fitted) << fitted.error().failure.message;
  for (std::string_view analysis : {"all", "complete_cases"}) {
    for (const auto& [visit, raw] : visits) {
      for (std::size_t g = 0; g < 2; ++g) {
        const ModelEstimate* mean = Find(*fitted, analysis, "mean", groups[g], visit);
        ASSERT_NE(mean, nullptr) << analysis << " " << groups[g] << " " << visit;
        EXPECT_TRUE(Close(mean->estimateMm, raw[g]));
      }
      const ModelEstimate* difference = Find(*fitted, analysis, "difference", groups[1], visit);
      ASSERT_NE(difference, nullptr);
      EXPECT_EQ(difference->referenceGroup, groups[0]);
      EXPECT_TRUE(Close(difference->estimateMm, raw[1] - raw[0]));
    }
  }
}

TEST(Model, FitThatFailsBesideTheMainOneIsANoteAndTheRestStands) {
  // One complete hip is too few for the complete cases; a visit group A
  // never reached leaves 24 months out of the main fit.
  const StudyFolder study("model_partial");
  const auto fitted = RunModel(study.folder.path.native());
  ASSERT_TRUE(fitted) << fitted.error().failure.message;
  ASSERT_EQ(fitted->notes.size(), 1u);
  EXPECT_EQ(fitted->notes[0].rfind("model: not fitted: subsidence, complete_cases: ", 0), 0u)
      << fitted->notes[0];
  EXPECT_EQ(fitted->fits.size(), 1u);
  EXPECT_NE(Find(*fitted, "all", "difference", "B", "12 months"), nullptr);
  EXPECT_EQ(Find(*fitted, "all", "mean", "B", "24 months"), nullptr);

  // Without a complete hip the fit is not left out silently: R says why.
  const fs::path visits = study.folder.path / "visits.csv";
  std::string text = sinkview::testing::FileContents(visits);
  const std::string complete = "hip3.vok,P4,B,12 months,12,measured,,,,,,0.5,";
  text.replace(text.find(complete), complete.size(), "hip3.vok,P4,B,12 months,12,missed,,,,,,,");
  std::ofstream(visits, std::ios::binary) << text;
  const auto none = RunModel(study.folder.path.native());
  ASSERT_TRUE(none) << none.error().failure.message;
  // (The fit of all hips, with fewer values, falls back to the random intercept: a note before.)
  ASSERT_FALSE(none->notes.empty());
  EXPECT_EQ(none->notes.back(), "model: not fitted: subsidence, complete_cases: no hip has a value at every "
                                "visit up to the primary one");
}

TEST(Model, ModelThatCannotBeFittedIsOneLineAndLeavesNoModelFile) {
  const StudyFolder study("model_one_group");
  std::ofstream(study.folder.path / kModelCsv) << "left from an earlier run\r\n";
  const auto fitted = RunModel(study.folder.path.native());
  ASSERT_FALSE(fitted);
  EXPECT_FALSE(fitted.error().rMissing);
  const std::string& message = fitted.error().failure.message;
  EXPECT_NE(message.find("subsidence, all"), std::string::npos) << message;
  EXPECT_EQ(message.find('\n'), std::string::npos);
  EXPECT_LE(message.size(), 400u);
  EXPECT_EQ(study.folder.Names(),
            (std::vector<std::string>{"analysis.R", "primary_visit.csv", "visits.csv"}));
}

// A study's model fitted in a scratch folder of its own under the temporary
// folder, which goes whether R fits the model or is cancelled while it runs,
// R's own temporary files with it.
TEST(Model, FittedInAScratchFolderThatGoesWhateverHappens) {
  const TempFolder temporary;
  const char* const before = std::getenv("TMPDIR");
  const std::string kept = before ? before : "";
  ::setenv("TMPDIR", temporary.path.c_str(), 1);
  const StudyResult study = RunStudy({SINKVIEW_TEST_DATA "/study_cohort"}, StudyOptions());
  for (const bool cancelled : {false, true}) {
    std::atomic<bool> cancel = false;
    // Cancelled once R has made its own temporary folder, so that R is
    // running and has something to leave behind, however fast it is.
    std::thread canceller([&] {
      if (!cancelled) return;
      const auto rStarted = [&] {
        std::error_code gone;
        for (fs::recursive_directory_iterator it(temporary.path, gone), end; !gone && it != end;
             it.increment(gone))
          if (it->path().filename().string().rfind("Rtmp", 0) == 0) return true;
        return false;
      };
      for (int wait = 0; wait < 2000 && !rStarted(); ++wait)
        std::this_thread::sleep_for(std::chrono::milliseconds(5));
      cancel = true;
    });
    const auto fitted = FitModelInScratch(study, &cancel);
    canceller.join();
    EXPECT_EQ(temporary.Names(), std::vector<std::string>{}) << cancelled;
    if (cancelled) {
      ASSERT_FALSE(fitted);
      EXPECT_EQ(fitted.error().failure.message, "model: cancelled");
      continue;
    }
    ASSERT_TRUE(fitted) << fitted.error().failure.message;
    EXPECT_EQ(fitted->modelCsv.rfind(CsvHeader(kModelCsv), 0), 0u);
    EXPECT_EQ(fitted->modelFitCsv.rfind(CsvHeader(kModelFitCsv), 0), 0u);
    EXPECT_FALSE(fitted->results.estimates.empty());
  }
  before ? ::setenv("TMPDIR", kept.c_str(), 1) : ::unsetenv("TMPDIR");
}

// Names that R would read alike once written (a group or visit starting
// like a formula gets a ' before it, a control character is blanked) stay
// apart, and so does every hip: three groups of four hips, all called
// "twin .vok", at two visits, balanced so that the model's means are the
// raw ones. Group =A has the means 1 and 2, '=A 3 and 5, B 6 and 9.
TEST(Model, GroupsVisitsAndHipsThatPrintAlikeStayApartInTheModel) {
  StudyResult study;
  study.groups = {"=A", "'=A", "B"};
  study.protocol.visits = {{"=1", 6, {3, 9}}, {"'=1", 12, {9, 18}}};
  study.protocol.primaryVisit = "'=1";
  const double means[3][2] = {{1, 2}, {3, 5}, {6, 9}};
  const double offsets[4][2] = {{0.1, 0.2}, {-0.1, 0}, {0.3, 0.1}, {-0.3, -0.3}}; // summing to 0
  for (std::size_t g = 0; g < 3; ++g) {
    for (const auto& offset : offsets) {
      PatientSummary& hip = study.patients.emplace_back();
      hip.file = "twin .vok";
      hip.group = study.groups[g];
      hip.visits.push_back(Measured(0.0));
      for (std::size_t v = 0; v < 2; ++v) hip.visits.push_back(Measured(means[g][v] + offset[v]));
    }
  }
  study.cohort = CohortStatistics(study.patients, study.protocol, study.groups);
  study.flow = StudyFlow(study.patients, study.protocol, study.groups);
  const auto fitted = FitModelInScratch(study, nullptr);
  ASSERT_TRUE(fitted) << fitted.error().failure.message;

  const MainTable table = BuildMainTable(study, &fitted->results, CohortSeries::Subsidence, kAllHips);
  EXPECT_EQ(table.hips, 12);
  EXPECT_EQ(table.referenceGroup, "=A");
  ASSERT_EQ(table.rows.size(), 6u);
  for (const MainTableRow& row : table.rows) {
    const auto g = static_cast<std::size_t>(std::find(study.groups.begin(), study.groups.end(), row.group) -
                                            study.groups.begin());
    const std::size_t v = row.visit == "=1" ? 0 : 1;
    SCOPED_TRACE(row.group + " at " + row.visit);
    ASSERT_TRUE(row.mean);
    EXPECT_TRUE(Close(row.mean->estimateMm, means[g][v]));
    if (g == 0) continue;
    ASSERT_TRUE(row.difference);
    EXPECT_TRUE(Close(row.difference->estimateMm, means[g][v] - means[0][v]));
  }
  // The complete cases name the groups and visits as the study does.
  const MainTable complete =
      BuildMainTable(study, &fitted->results, CohortSeries::Subsidence, kCompleteCases);
  ASSERT_EQ(complete.rows.size(), 6u);
  EXPECT_EQ(complete.rows[1].group + " at " + complete.rows[1].visit, "'=A at =1");
}

// R runs with the caller's PATH, HOME and locale and its own temporary
// folder, and nothing else: no R_LIBS, no variable of the caller's own, and
// no user library.
TEST(Model, RSeesAMinimalEnvironment) {
  const TempFolder folder;
  const fs::path rscript = folder.path / "Rscript", seen = folder.path / "environment";
  std::ofstream(rscript) << "#!/bin/sh\nenv >'" << seen.string() << "'\nexit 1\n";
  fs::permissions(rscript, fs::perms::owner_all);
  ::setenv("R_LIBS", "/planted", 1);
  ::setenv("SINKVIEW_CALLERS_OWN", "leaked", 1);
  ModelRunOptions options;
  options.rscript = rscript.native();
  options.temporaryFolder = "/scratch";
  EXPECT_FALSE(RunModel(folder.path.native(), options));
  ::unsetenv("R_LIBS");
  ::unsetenv("SINKVIEW_CALLERS_OWN");
  std::map<std::string, std::string> variables;
  std::istringstream lines(sinkview::testing::FileContents(seen));
  for (std::string line; std::getline(lines, line);)
    variables[line.substr(0, line.find('='))] = line.substr(line.find('=') + 1);
  EXPECT_EQ(variables.count("R_LIBS"), 0u);
  EXPECT_EQ(variables.count("SINKVIEW_CALLERS_OWN"), 0u);
  EXPECT_EQ(variables["R_LIBS_USER"], "NULL");
  EXPECT_EQ(variables["TMPDIR"], "/scratch");
  EXPECT_EQ(variables["PATH"], std::getenv("PATH"));
}

// An nlme of the user's own, in R_LIBS or in the user library under HOME,
// is not the one the model loads: it would stop R.
TEST(Model, AnNlmeOfTheUsersOwnIsNotLoaded) {
  const TempFolder planted;
  const fs::path source = planted.path / "source/nlme", library = planted.path / "library",
                 home = planted.path / "home";
  fs::create_directories(source / "R");
  fs::create_directories(library);
  std::ofstream(source / "DESCRIPTION")
      << "Package: nlme\nVersion: 99.0\nTitle: Planted\nDescription: Planted.\n"
         "License: GPL-2\nAuthor: nobody\nMaintainer: nobody <no@example.org>\n";
  std::ofstream(source / "NAMESPACE") << "export(lme)\n";
  std::ofstream(source / "R/planted.R") << ".onLoad <- function(libname, pkgname) stop(\"a planted nlme was "
                                           "loaded\")\nlme <- function(...) NULL\n";
  std::string out, err;
  ASSERT_EQ(
      RunShell("R CMD INSTALL --no-test-load -l " + Quoted(library) + Quoted(source), planted.path, out, err),
      0)
      << err;
  ASSERT_EQ(RunShell("HOME=" + Quoted(home) +
                         "Rscript --vanilla -e 'cat(path.expand(Sys.getenv(\"R_LIBS_USER\")))'",
                     planted.path, out, err),
            0)
      << err;
  fs::create_directories(out);
  fs::copy(library, out, fs::copy_options::recursive);

  const std::string kept = std::getenv("HOME") ? std::getenv("HOME") : "";
  for (const auto& [name, value] : {std::pair{"R_LIBS", library}, {"HOME", home}}) {
    const StudyFolder study("model_balanced");
    ::setenv(name, value.c_str(), 1);
    const auto fitted = RunModel(study.folder.path.native());
    name == std::string("HOME") ? ::setenv("HOME", kept.c_str(), 1) : ::unsetenv(name);
    EXPECT_TRUE(fitted) << name << ": " << fitted.error().failure.message;
  }
}

// At a program's start, a scratch folder whose process is gone is removed;
// one of a process still running (a fit under way) and anything not made
// as a scratch folder stay.
TEST(Model, OnlyScratchFoldersOfEndedProcessesAreRemoved) {
  const TempFolder temporary;
  const pid_t ended = ::fork();
  if (ended == 0) ::_exit(0);
  ::waitpid(ended, nullptr, 0);
  const std::string dead = "sinkview-model-" + std::to_string(ended) + "-",
                    alive = "sinkview-model-" + std::to_string(::getpid()) + "-";
  for (const std::string& name :
       std::vector<std::string>{dead + "aB3xYz", alive + "aB3xYz", dead + "short", "sinkview-model-abcdef"})
    fs::create_directories(temporary.path / name / "inside");
  std::ofstream(temporary.path / (dead + "isfile"));
  const char* const before = std::getenv("TMPDIR");
  const std::string kept = before ? before : "";
  ::setenv("TMPDIR", temporary.path.c_str(), 1);
  RemoveOrphanedScratchFolders();
  before ? ::setenv("TMPDIR", kept.c_str(), 1) : ::unsetenv("TMPDIR");
  std::vector<std::string> left{dead + "isfile", dead + "short", alive + "aB3xYz", "sinkview-model-abcdef"};
  std::sort(left.begin(), left.end());
  EXPECT_EQ(temporary.Names(), left);
}
