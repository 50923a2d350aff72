// The paper's main table from the two-group study fitted by hand
// (model_two_groups/expected) and its cohort rows, and the sentences on the
// analyses beside it.
#include <gtest/gtest.h>

#include <filesystem>

#include "report/analysis_text.h"
#include "report/main_table.h"
#include "report/welch_table.h"

using namespace sinkview;
namespace fs = std::filesystem;

namespace {

using Cells = std::vector<std::string>;

ModelResults HandFitted() {
  auto read = ReadModelResults((fs::path(SINKVIEW_TEST_DATA) / "model_two_groups/expected").native());
  EXPECT_TRUE(read) << read.error().message;
  return read ? *read : ModelResults{};
}

// The study of that model: A and B at 6, 12 and 24 months, the raw rows
// made up to be told apart from the model's.
StudyResult TwoGroups() {
  StudyResult study;
  study.groups = {"A", "B"};
  study.protocol.visits.clear();
  for (const auto& [name, months] : {std::pair{"6 months", 6.0}, {"12 months", 12.0}, {"24 months", 24.0}})
    study.protocol.visits.push_back({name, months, {months - 1, months + 1}});
  study.protocol.primaryVisit = "24 months";
  for (const std::string group : {"A", "B"}) {
    for (const Visit& visit : study.protocol.visits) {
      CohortRow row;
      row.group = group;
      row.visit = visit.name;
      row.followUpMonths = visit.months;
      row.n = group == "A" ? 5 : 4;
      row.mean = visit.months / 10 + (group == "A" ? 0 : 0.5);
      row.ci95Low = *row.mean - 0.25;
      row.ci95High = *row.mean + 0.26;
      study.cohort.push_back(row);
    }
  }
  return study;
}

const Cells kAllColumns = {"Visit",
                           "Group",
                           "n",
                           "Raw mean (mm)",
                           "95 % CI (mm)",
                           "Model mean (mm)",
                           "95 % CI (mm)",
                           "Difference (mm)",
                           "95 % CI (mm)",
                           "p"};

} // namespace

TEST(MainTable, TwoGroupsShowRawAndModelMeansByVisitAndTheDifferencesFromTheReference) {
  const ModelResults model = HandFitted();
  const MainTable table = BuildMainTable(TwoGroups(), &model, CohortSeries::Subsidence, kAllHips);
  EXPECT_EQ(MainTableHeaders(table), kAllColumns);
  EXPECT_EQ(MainTableTitle(table), "Subsidence, all hips (10 in the model); differences from A");
  ASSERT_EQ(table.rows.size(), 6u);
  ASSERT_TRUE(table.rows[5].difference);
  EXPECT_DOUBLE_EQ(*table.rows[5].difference->pValue, 0.005759442);
  const std::vector<Cells> expected = {
      {"6 months", "A", "5", "0.60", "0.35 to 0.86", "0.32", "0.08 to 0.56", "reference", "", ""},
      {"6 months", "B", "4", "1.10", "0.85 to 1.36", "0.61", "0.35 to 0.86", "0.29", "-0.07 to 0.64",
       "0.099"},
      {"12 months", "A", "5", "1.20", "0.95 to 1.46", "0.51", "0.26 to 0.76", "reference", "", ""},
      {"12 months", "B", "4", "1.70", "1.45 to 1.96", "0.95", "0.70 to 1.20", "0.44", "0.08 to 0.79",
       "0.021"},
      {"24 months", "A", "5", "2.40", "2.15 to 2.66", "0.65", "0.40 to 0.90", "reference", "", ""},
      {"24 months", "B", "4", "2.90", "2.65 to 3.16", "1.23", "0.98 to 1.49", "0.58", "0.22 to 0.94",
       "0.006"},
  };
  EXPECT_EQ(MainTableCells(table), expected);
}

// One group has nothing to differ from; without R, or without a fit R
// left out, only what the study itself has, and one line says why.
TEST(MainTable, OneGroupOrNoModelDropTheColumnsTheyHaveNoValuesFor) {
  const ModelResults model = HandFitted();
  StudyResult one = TwoGroups();
  one.groups = {"A"};
  std::erase_if(one.cohort, [](const CohortRow& row) { return row.group != "A"; });
  ModelResults leftOut = model;
  leftOut.notes = {"model: not fitted: subsidence, complete_cases: too few hips"};
  const struct {
    MainTable table;
    std::size_t columns, rows;
    std::string note;
  } cases[] = {
      {BuildMainTable(one, &model, CohortSeries::Subsidence, kAllHips), 7, 3, ""},
      {BuildMainTable(TwoGroups(), nullptr, CohortSeries::Subsidence, kAllHips), 5, 6,
       "The model was not fitted: the raw statistics only."},
      {BuildMainTable(TwoGroups(), &leftOut, CohortSeries::Subsidence, kCompleteCases), 2, 0,
       "The model was not fitted: too few hips"},
      {BuildMainTable(TwoGroups(), nullptr, CohortSeries::Subsidence, kAllHips,
                      "model: R could not fit it: x"),
       5, 6, "The model was not fitted: the raw statistics only (R could not fit it: x)."},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.note);
    EXPECT_EQ(MainTableHeaders(c.table), Cells(kAllColumns.begin(), kAllColumns.begin() + c.columns));
    EXPECT_EQ(c.table.rows.size(), c.rows);
    EXPECT_EQ(c.table.note, c.note);
  }
  EXPECT_EQ(MainTableCells(cases[1].table)[1], (Cells{"6 months", "B", "4", "1.10", "0.85 to 1.36"}));
}

// What the main result page and the Model tab say of the analyses: the
// structure with its degrees of freedom and fallback, which result is
// primary, and the patients with two hips (P1 here) with the analysis of
// one hip per patient.
TEST(AnalysisText, StructurePrimaryResultAndBilateralPatients) {
  auto read = ReadModelResults((fs::path(SINKVIEW_TEST_DATA) / "model_adjusted/expected").native());
  ASSERT_TRUE(read) << read.error().message;
  const ModelResults& model = *read;
  ASSERT_NE(FitOf(model, "all", "subsidence"), nullptr);
  EXPECT_EQ(FitOf(model, "all", "stem_cement"), nullptr);
  ModelFit fallen = *FitOf(model, "all", "subsidence");
  fallen.structure = "random_intercept";
  fallen.dfMethod = "containment";
  fallen.fallback = "the unstructured model could not be fitted: singular";
  EXPECT_EQ(ModelStructureText(fallen),
            "a random intercept per hip, containment degrees of freedom; the fallback, "
            "since the unstructured model could not be fitted: singular");

  StudyResult study = TwoGroups();
  for (const auto& [patient, group] : {std::pair{"P1", "A"}, {"P1", "A"}, {"P2", "B"}}) {
    PatientSummary hip;
    hip.patient = patient;
    hip.group = group;
    study.patients.push_back(hip);
  }
  const std::string structure =
      "unstructured covariance (a correlation per two visits, a variance per visit), "
      "Satterthwaite degrees of freedom";
  const std::string welch = "Welch's differences of the raw means at each visit (comparison.csv)";
  EXPECT_EQ(PrimaryAnalysisText(study, &model),
            "Primary analysis (primary_analysis = \"model\"): the model's "
            "differences (" +
                structure + "). Secondary: " + welch + ".");
  EXPECT_EQ(PrimaryAnalysisText(study, nullptr),
            "Primary analysis (primary_analysis = \"model\"): the model, "
            "which was not fitted; " +
                welch + ", the secondary analysis, stand alone.");
  EXPECT_EQ(BilateralText(study, &model),
            "1 patient has two hips in the study, each hip counted on its own in the "
            "analysis of all hips. The analysis one_hip_per_patient (each patient's "
            "hip operated first; on the same day, the left one) was fitted as well: "
            "16 hips.");
  ModelResults without = model;
  std::erase_if(without.fits, [](const ModelFit& fit) { return fit.analysis == "one_hip_per_patient"; });
  without.notes = {"model: not fitted: subsidence, one_hip_per_patient: too few hips"};
  EXPECT_TRUE(BilateralText(study, &without).ends_with("was not fitted: too few hips"))
      << BilateralText(study, &without);

  study.protocol.primaryAnalysis = PrimaryAnalysis::Welch;
  EXPECT_EQ(PrimaryAnalysisText(study, &model), "Primary analysis (primary_analysis = \"welch\"): " + welch +
                                                    ". Secondary: the model's differences (" + structure +
                                                    ").");
  EXPECT_EQ(BuildWelchTable(study, CohortSeries::Subsidence, true).title,
            "Subsidence, all hips: Welch's differences of the raw means from A (primary)");
  study.patients.pop_back();
  EXPECT_EQ(BilateralText(study, nullptr).substr(0, 46), "1 patient has two hips in the study, each hip ");
  study.patients.pop_back();
  EXPECT_EQ(BilateralText(study, nullptr), "No patient has two hips in the study.");
}
