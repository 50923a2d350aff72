// analysis.R run by R on small studies: a two-group study fitted once by
// hand (tests/data/model_two_groups/fitted_by_hand.R), a balanced study
// whose model means are the raw means, and the ways a fit can fail (R
// missing is the study command line's test).
#include <gtest/gtest.h>

#include <cmath>
#include <filesystem>
#include <map>
#include <optional>

#include "../support/file_contents.h"
#include "../support/temp_folder.h"
#include "model/atomic_file.h"
#include "rrunner/model_step.h"
#include "study/analysis_script.h"
#include "study/csv_text.h"

using namespace sinkview;
using sinkview::testing::TempFolder;
namespace fs = std::filesystem;

namespace {

const fs::path kTwoGroups = fs::path(SINKVIEW_TEST_DATA) / "model_two_groups";

// The one tolerance of these comparisons: the golden numbers have 7
// significant digits.
::testing::AssertionResult Close(const std::optional<double>& actual, const std::optional<double>& expected) {
  if (!actual && !expected) return ::testing::AssertionSuccess();
  if (!actual || !expected) return ::testing::AssertionFailure() << "one of the two is empty";
  if (std::fabs(*actual - *expected) <= 1e-6 * std::max(1.0, std::fabs(*expected)))
    return ::testing::AssertionSuccess();
  return ::testing::AssertionFailure() << *actual << " where " << *expected << " was expected";
}

void WriteInto(const fs::path& folder, std::string_view name, std::string_view text) {
  const auto written = WriteFileAtomically((folder / name).native(), text);
  ASSERT_TRUE(written) << written.error().message;
}

// One hip: its group and its value at each visit (none: missed).
struct Hip {
  std::string group;
  std::vector<std::optional<double>> values;
};

// visits.csv, flow.csv, primary_visit.csv and analysis.R for `hips` at
// visits of 6, 12 and 24 months, the last the primary one.
void WriteStudy(const fs::path& folder, const std::vector<std::string>& groups,
                const std::vector<Hip>& hips) {
  const std::vector<std::pair<std::string, int>> visits{
      {"6 months", 6}, {"12 months", 12}, {"24 months", 24}};
  std::string csv = "file,patient,group,visit,target_months,status,radiograph,date,days,months,interpolated,"
                    "subsidence_mm,stem_cement_mm\r\n";
  for (std::size_t h = 0; h < hips.size(); ++h) {
    const auto row = [&](std::string_view visit, std::string_view status,
                         const std::optional<double>& value) {
      csv += "hip" + std::to_string(h) + ".vok,P,";
      AppendCsvField(csv, hips[h].group);
      csv += ',' + std::string(visit) + ",0," + std::string(status) + ",,,,,,";
      if (value) AppendCsvNumber(csv, *value);
      csv += ",\r\n";
    };
    row("baseline", "measured", 0.0);
    for (std::size_t v = 0; v < visits.size(); ++v)
      row(visits[v].first, hips[h].values[v] ? "measured" : "missed", hips[h].values[v]);
  }
  std::string flow = "group,visit,target_months,hips,measured\r\n";
  for (const std::string& group : groups) {
    for (const auto& [visit, months] : visits) {
      if (&visit == &visits.front().first) {
        AppendCsvField(flow, group);
        flow += ",baseline,0,0,0\r\n";
      }
      AppendCsvField(flow, group);
      flow += ',' + visit + ',' + std::to_string(months) + ",0,0\r\n";
    }
  }
  WriteInto(folder, "visits.csv", csv);
  WriteInto(folder, "flow.csv", flow);
  WriteInto(folder, kPrimaryVisitCsv, PrimaryVisitCsv("24 months"));
  WriteInto(folder, kAnalysisScript, AnalysisScriptText());
}

const ModelEstimate* Find(const ModelResults& results, std::string_view analysis, std::string_view kind,
                          std::string_view group, std::string_view visit) {
  for (const ModelEstimate& e : results.estimates) {
    if (e.analysis == analysis && e.series == "subsidence" && e.kind == kind && e.group == group &&
        e.visit == visit)
      return &e;
  }
  return nullptr;
}

} // namespace

TEST(Model, TwoGroupStudyWithMissedVisitsGivesTheNumbersFittedByHand) {
  TempFolder folder;
  for (const char* name : {"visits.csv", "flow.csv", "primary_visit.csv"})
    fs::copy_file(kTwoGroups / name, folder.path / name);
  WriteInto(folder.path, kAnalysisScript, AnalysisScriptText());
  const auto fitted = RunModel(folder.path.native());
  ASSERT_TRUE(fitted) << fitted.error().failure.message;
  const auto expected = ReadModelResults((kTwoGroups / "expected").native());
  ASSERT_TRUE(expected) << expected.error().message;

  for (const ModelEstimate& e : expected->estimates) {
    SCOPED_TRACE(e.kind + " " + e.group + " at " + e.visit);
    const ModelEstimate* got = Find(*fitted, e.analysis, e.kind, e.group, e.visit);
    ASSERT_NE(got, nullptr);
    EXPECT_EQ(got->referenceGroup, e.referenceGroup);
    for (auto value :
         {&ModelEstimate::targetMonths, &ModelEstimate::estimateMm, &ModelEstimate::seMm, &ModelEstimate::df,
          &ModelEstimate::ci95LowMm, &ModelEstimate::ci95HighMm, &ModelEstimate::pValue})
      EXPECT_TRUE(Close(got->*value, e.*value));
  }
  const ModelFit& fit = fitted->fits.front();
  const ModelFit& hand = expected->fits.front();
  EXPECT_EQ(fit.analysis + fit.series, "allsubsidence");
  EXPECT_EQ(fit.hips, hand.hips);
  EXPECT_EQ(fit.observations, hand.observations);
  for (auto value : {&ModelFit::sdInterceptMm, &ModelFit::sdResidualMm, &ModelFit::remlLogLikelihood})
    EXPECT_TRUE(Close(fit.*value, hand.*value));
  // Complete cases (a1, a3, a5, b1, b2, b4) and the stem/cement interface
  // are fitted too; the older format's hip (a5) has no stem/cement values.
  std::map<std::string, int> hips;
  for (const ModelFit& f : fitted->fits) hips[f.analysis + " " + f.series] = f.hips;
  EXPECT_EQ(hips, (std::map<std::string, int>{{"all subsidence", 10},
                                              {"complete_cases subsidence", 6},
                                              {"all stem_cement", 9},
                                              {"complete_cases stem_cement", 5}}));
}

TEST(Model, BalancedStudyHasTheRawMeansAsModelMeansAndGroupNamesComeBackWhole) {
  const std::vector<std::string> groups{"A", "B \"new\", cemented\nline two, Grüße"};
  const std::vector<Hip> hips{
      {groups[0], {0.1, 0.3, 0.4}}, {groups[0], {0.2, 0.2, 0.6}}, {groups[0], {0.0, 0.4, 0.5}},
      {groups[1], {0.5, 0.9, 1.0}}, {groups[1], {0.7, 0.8, 1.3}}, {groups[1], {0.6, 1.1, 1.2}},
  };
  TempFolder folder;
  WriteStudy(folder.path, groups, hips);
  const auto fitted = RunModel(folder.path.native());
  ASSERT_TRUE(fitted) << fitted.error().failure.message;
  const char* visits[] = {"6 months", "12 months", "24 months"};
  for (std::string_view analysis : {"all", "complete_cases"}) {
    for (std::size_t v = 0; v < 3; ++v) {
      double raw[2] = {0, 0};
      for (const Hip& hip : hips) raw[hip.group == groups[1]] += *hip.values[v] / 3;
      for (std::size_t g = 0; g < 2; ++g) {
        const ModelEstimate* mean = Find(*fitted, analysis, "mean", groups[g], visits[v]);
        ASSERT_NE(mean, nullptr) << analysis << " " << groups[g] << " " << visits[v];
        EXPECT_TRUE(Close(mean->estimateMm, raw[g]));
      }
      const ModelEstimate* difference = Find(*fitted, analysis, "difference", groups[1], visits[v]);
      ASSERT_NE(difference, nullptr);
      EXPECT_EQ(difference->referenceGroup, groups[0]);
      EXPECT_TRUE(Close(difference->estimateMm, raw[1] - raw[0]));
    }
  }
}

TEST(Model, FitThatFailsBesideTheMainOneIsANoteAndTheRestStands) {
  TempFolder folder;
  // One complete hip is too few for the complete cases; a visit group A
  // never reached leaves 24 months out of the main fit.
  WriteStudy(folder.path, {"A", "B"},
             {{"A", {0.1, 0.2, std::nullopt}},
              {"A", {0.2, 0.4, std::nullopt}},
              {"B", {0.3, std::nullopt, 0.5}},
              {"B", {0.2, 0.5, 0.7}},
              {"B", {0.4, 0.3, std::nullopt}}});
  const auto fitted = RunModel(folder.path.native());
  ASSERT_TRUE(fitted) << fitted.error().failure.message;
  ASSERT_EQ(fitted->notes.size(), 1u);
  EXPECT_EQ(fitted->notes[0].rfind("model: not fitted: subsidence, complete_cases: ", 0), 0u)
      << fitted->notes[0];
  EXPECT_EQ(fitted->fits.size(), 1u);
  EXPECT_NE(Find(*fitted, "all", "difference", "B", "12 months"), nullptr);
  EXPECT_EQ(Find(*fitted, "all", "mean", "B", "24 months"), nullptr);
}

TEST(Model, ModelThatCannotBeFittedIsOneLineAndLeavesNoModelFile) {
  TempFolder folder;
  WriteStudy(folder.path, {"A"}, {{"A", {0.1, 0.2, 0.3}}});
  WriteInto(folder.path, kModelCsv, "left from an earlier run\r\n");
  const auto fitted = RunModel(folder.path.native());
  ASSERT_FALSE(fitted);
  EXPECT_FALSE(fitted.error().rMissing);
  const std::string& message = fitted.error().failure.message;
  EXPECT_NE(message.find("subsidence, all"), std::string::npos) << message;
  EXPECT_EQ(message.find('\n'), std::string::npos);
  EXPECT_LE(message.size(), 400u);
  EXPECT_EQ(folder.Names(),
            (std::vector<std::string>{"analysis.R", "flow.csv", "primary_visit.csv", "visits.csv"}));
}
