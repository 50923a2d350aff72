// survival.R run by R: a three-group study whose estimates were computed
// once by hand (survival_three_groups/computed_by_hand.R), the protocol's
// times with one group, and what the user is told without cmprsk.
#include <gtest/gtest.h>

#include <cmath>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>

#include "../support/file_contents.h"
#include "../support/temp_folder.h"
#include "base/atomic_file.h"
#include "report/survival_curves.h"
#include "report/survival_reading.h"
#include "study/survival_columns.h"
#include "survival/survival_script.h"
#include "survival/survival_step.h"

using namespace sinkview;
using sinkview::testing::FileContents;
using sinkview::testing::TempFolder;
namespace fs = std::filesystem;

namespace {

const fs::path kStudy = fs::path(SINKVIEW_TEST_DATA) / "survival_three_groups";

std::vector<std::vector<std::string>> Rows(const std::string& csv) {
  std::vector<std::vector<std::string>> rows;
  std::istringstream lines(csv);
  for (std::string line; std::getline(lines, line);) {
    if (!line.empty() && line.back() == '\r') line.pop_back();
    std::vector<std::string> fields(1);
    for (char c : line) {
      if (c == ',')
        fields.emplace_back();
      else
        fields.back().push_back(c);
    }
    rows.push_back(fields);
  }
  return rows;
}

// Field by field; numbers within 1e-9 of the golden ones, other text and
// empty fields exactly.
void ExpectSameTable(const std::string& actual, const std::string& expected) {
  const auto a = Rows(actual), e = Rows(expected);
  ASSERT_EQ(a.size(), e.size()) << actual;
  for (std::size_t r = 0; r < e.size(); ++r) {
    ASSERT_EQ(a[r].size(), e[r].size()) << "row " << r;
    for (std::size_t f = 0; f < e[r].size(); ++f) {
      char* end = nullptr;
      const double golden = std::strtod(e[r][f].c_str(), &end);
      if (e[r][f].empty() || *end != '\0') {
        EXPECT_EQ(a[r][f], e[r][f]) << "row " << r << ", field " << f;
      } else {
        EXPECT_NEAR(std::stod(a[r][f]), golden, 1e-9 * std::max(1.0, std::fabs(golden)))
            << "row " << r << ", field " << f;
      }
    }
  }
}

// A folder with survival_hips.csv (its rows filtered by `keep`) and survival.R.
struct SurvivalFolder {
  explicit SurvivalFolder(const std::vector<double>& years, const std::string& onlyGroup = "") {
    std::string hips;
    for (const auto& row : Rows(FileContents(kStudy / "survival_hips.csv")))
      if (onlyGroup.empty() || row[2] == "group" || row[2] == onlyGroup) {
        for (std::size_t f = 0; f < row.size(); ++f) hips += (f ? "," : "") + row[f];
        hips += "\r\n";
      }
    for (const auto& [name, text] : {std::pair{std::string(kSurvivalHipsCsv), hips},
                                     {std::string(kSurvivalScript), SurvivalScriptText(years)}})
      EXPECT_TRUE(WriteFileAtomically((folder.path / name).native(), text));
  }
  TempFolder folder;
};

} // namespace

TEST(Survival, ThreeGroupsGiveTheEstimatesComputedByHand) {
  const SurvivalFolder study({1, 2, 5, 10});
  const auto estimates = RunSurvival(study.folder.path.native());
  ASSERT_TRUE(estimates) << estimates.error().failure.message;
  ExpectSameTable(estimates->survivalCsv, FileContents(kStudy / "expected/survival.csv"));
  ExpectSameTable(estimates->testsCsv, FileContents(kStudy / "expected/survival_tests.csv"));
  EXPECT_EQ(FileContents(study.folder.path / "survival.csv"), estimates->survivalCsv);
  EXPECT_TRUE(estimates->notes.empty());
  const auto software = Rows(estimates->softwareCsv);
  ASSERT_EQ(software.size(), 4u);
  EXPECT_EQ(software[2][0] + software[3][0], "survivalcmprsk");
  EXPECT_FALSE(software[3][1].empty());
}

// R's steps read back for the figure: each curve at the protocol's times is
// survival.csv's estimate, and so are the hips at risk at a whole year; a
// file not as survival.R writes it is refused by line and column.
TEST(SurvivalCurves, TheStepsAgreeWithTheEstimatesAndAWrongFileIsRefused) {
  const SurvivalFolder study({1, 2, 5, 10});
  const auto estimates = RunSurvival(study.folder.path.native());
  ASSERT_TRUE(estimates) << estimates.error().failure.message;
  // The study's order, not the file's, keeps each group's colour; D has no hips.
  const auto curves = SurvivalCurvesOf(estimates->stepsCsv, {"C", "A", "B", "D"});
  ASSERT_TRUE(curves) << curves.error().message;
  ASSERT_EQ(curves->size(), 4u);
  EXPECT_EQ(curves->front().name, "C");
  EXPECT_TRUE(curves->back().incidence.empty() && curves->back().atRisk.empty());
  int compared = 0;
  for (const auto& row : Rows(estimates->survivalCsv)) {
    if (row[0] == "method" || row[1] != "revision" || row[6].empty()) continue;
    const auto group = std::find_if(curves->begin(), curves->end(),
                                    [&](const SurvivalCurves& c) { return c.name == row[2]; });
    ASSERT_NE(group, curves->end()) << row[2];
    const auto& steps = row[0] == "aalen_johansen" ? group->incidence : group->oneMinusKaplanMeier;
    const double t = std::stod(row[3]);
    const auto at =
        std::find_if(steps.rbegin(), steps.rend(), [&](const SurvivalStep& s) { return s.years <= t; });
    ASSERT_NE(at, steps.rend());
    EXPECT_NEAR(at->estimate, std::stod(row[6]), 1e-12) << row[0] << " " << row[2] << " at " << row[3];
    for (const SurvivalAtRisk& risk : group->atRisk)
      if (risk.years == t) EXPECT_EQ(std::to_string(risk.hips), row[4]) << row[2] << " at " << row[3];
    ++compared;
  }
  EXPECT_GE(compared, 10);

  const std::string header = "method,group,years,at_risk,estimate,ci95_low,ci95_high\r\n";
  const std::pair<std::string, std::string> wrong[] = {
      {"aalen_johansen,A,0,5,1.5,,", "line 2, column estimate: '1.5' is not a number from 0 to 1"},
      {"aalen_johansen,Z,0,5,0,,", "line 2, column group: 'Z' is no group of the study"},
      {"kaplan_meier,A,0,5,0,,", "line 2, column method: 'kaplan_meier' is none of"},
      {"one_minus_kaplan_meier,A,nan,5,0,,", "line 2, column years: 'nan' is not a number"},
      {"at_risk,A,1,1e99,,,", "line 2, column at_risk"},
      {"aalen_johansen,A,2,5,0,,\r\naalen_johansen,A,1,4,0.1,0,0.3",
       "line 3, column years: the curve goes back"},
      {"aalen_johansen,A,0,5", "survival_steps.csv: line 2 has 4 fields, not 7"}};
  for (const auto& [rows, message] : wrong) {
    const auto read = SurvivalCurvesOf(header + rows + "\r\n", {"A"});
    ASSERT_FALSE(read) << rows;
    EXPECT_NE(read.error().message.find(message), std::string::npos) << read.error().message;
  }
}

TEST(Survival, TheProtocolsTimesAndOneGroupWithoutTest) {
  const SurvivalFolder study({0.5, 3}, "A");
  const auto estimates = RunSurvival(study.folder.path.native());
  ASSERT_TRUE(estimates) << estimates.error().failure.message;
  EXPECT_EQ(estimates->testsCsv, CsvHeader(kSurvivalTestsCsv));
  const auto rows = Rows(estimates->survivalCsv);
  ASSERT_EQ(rows.size(), 1u + 3 * 2); // revision, death, one minus Kaplan-Meier; two times each
  for (std::size_t r = 1; r < rows.size(); ++r) EXPECT_EQ(rows[r][3], r % 2 ? "0.5" : "3");
}

// survival.R finds cmprsk missing: R's requireNamespace answers no for it.
TEST(Survival, WithoutCmprskTheUserIsToldWhatToInstall) {
  const SurvivalFolder study({1});
  const TempFolder fakeR;
  std::ofstream(fakeR.path / "Rscript")
      << "#!/bin/sh\nexec Rscript --vanilla -e 'rn <- base::requireNamespace; "
         "unlockBinding(\"requireNamespace\", baseenv()); "
         "assign(\"requireNamespace\", function(package, ...) package != \"cmprsk\" && rn(package, ...), "
         "baseenv()); source(\"survival.R\")'\n";
  fs::permissions(fakeR.path / "Rscript", fs::perms::owner_all);
  ModelRunOptions options;
  options.rscript = (fakeR.path / "Rscript").native();
  const auto estimates = RunSurvival(study.folder.path.native(), options);
  ASSERT_FALSE(estimates);
  EXPECT_TRUE(estimates.error().rMissing);
  EXPECT_EQ(estimates.error().failure.message,
            "R lacks the package cmprsk; the survival estimates were not made (on Debian: apt install "
            "r-base-core r-cran-survival r-cran-cmprsk), survival.R is written for a later run");
  EXPECT_FALSE(fs::exists(study.folder.path / "survival.csv"));
}

// The report's table: a row per group and time, percentages with their
// intervals, none beyond the follow-up; Gray's p-values in the note.
TEST(SurvivalReading, GoldenEstimatesReadAsTheReportShowsThem) {
  const SurvivalEstimates estimates{FileContents(kStudy / "expected/survival.csv"),
                                    FileContents(kStudy / "expected/survival_tests.csv"),
                                    {},
                                    {}};
  const auto reading = SurvivalReadingOf(estimates);
  ASSERT_TRUE(reading) << reading.error().message;
  ASSERT_EQ(reading->rows.size(), 3u * 4);
  EXPECT_EQ(reading->rows[3], (std::vector<std::string>{"A", "10", "2", "3", "2", "37.5 (15.3 to 91.7)",
                                                        "43.8 (18.4 to 80.5)"}));
  EXPECT_EQ(reading->rows[4], (std::vector<std::string>{"B", "1", "6", "0", "1", "0.0", "0.0"}));
  EXPECT_EQ(reading->rows[11], (std::vector<std::string>{"C", "10", "0", "1", "2", "", ""}));
  EXPECT_EQ(reading->notes.back(), "Gray's test across the groups: revision p = 0.560, death p = 0.721.");

  const auto broken = SurvivalReadingOf({"method,event\r\naalen_johansen\r\n", estimates.testsCsv, {}, {}});
  ASSERT_FALSE(broken);
  EXPECT_EQ(broken.error().message, "survival.csv: line 2 has 1 fields, not 9");
}
