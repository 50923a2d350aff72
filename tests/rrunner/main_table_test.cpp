// The paper's main table from the two-group study fitted by hand
// (model_two_groups/expected) and its cohort rows.
#include <gtest/gtest.h>

#include <filesystem>

#include "rrunner/main_table.h"

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
  EXPECT_EQ(table.note, "");
  ASSERT_EQ(table.rows.size(), 6u);
  const MainTableRow& last = table.rows[5];
  EXPECT_EQ(last.visit + " " + last.group, "24 months B");
  ASSERT_TRUE(last.mean && last.difference);
  EXPECT_DOUBLE_EQ(*last.mean->estimateMm, 1.2346290);
  EXPECT_DOUBLE_EQ(*last.difference->pValue, 0.005759442);

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

  ModelResults tiny = model;
  for (ModelEstimate& e : tiny.estimates)
    if (e.kind == "difference") e.pValue = 0.0004;
  EXPECT_EQ(MainTableCells(BuildMainTable(TwoGroups(), &tiny, CohortSeries::Subsidence, kAllHips))[5][9],
            "< 0.001");
}

// One group has nothing to differ from; without R, or without a fit R
// left out, only what the study itself has, and one line says why.
TEST(MainTable, OneGroupOrNoModelDropTheColumnsTheyHaveNoValuesFor) {
  const ModelResults model = HandFitted();
  StudyResult one = TwoGroups();
  one.groups = {"A"};
  std::erase_if(one.cohort, [](const CohortRow& row) { return row.group != "A"; });
  ModelResults onlyA = model;
  std::erase_if(onlyA.estimates, [](const ModelEstimate& e) { return e.group != "A" || e.kind != "mean"; });
  ModelResults withNote = model;
  withNote.notes = {"model: not fitted: subsidence, complete_cases: too few hips"};

  const Cells raw(kAllColumns.begin(), kAllColumns.begin() + 5),
      modelled(kAllColumns.begin(), kAllColumns.begin() + 7);
  const struct {
    const char* what;
    MainTable table;
    Cells headers;
    std::size_t rows;
    std::string note;
  } cases[] = {
      {"one group", BuildMainTable(one, &onlyA, CohortSeries::Subsidence, kAllHips), modelled, 3, ""},
      {"no model", BuildMainTable(TwoGroups(), nullptr, CohortSeries::Subsidence, kAllHips), raw, 6,
       "The model was not fitted: the raw statistics only."},
      {"no stem/cement fit",
       BuildMainTable(TwoGroups(), &model, CohortSeries::StemCement, kAllHips),
       {"Visit", "Group", "n", "Raw mean (mm)", "95 % CI (mm)"},
       0,
       "The model was not fitted for these hips."},
      {"complete cases left out",
       BuildMainTable(TwoGroups(), &withNote, CohortSeries::Subsidence, kCompleteCases),
       {"Visit", "Group"},
       0,
       "The model was not fitted: too few hips"},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(MainTableHeaders(c.table), c.headers) << c.what;
    EXPECT_EQ(c.table.rows.size(), c.rows) << c.what;
    EXPECT_EQ(c.table.note, c.note) << c.what;
    for (const Cells& cells : MainTableCells(c.table)) EXPECT_EQ(cells.size(), c.headers.size()) << c.what;
  }
  EXPECT_EQ(MainTableCells(cases[1].table)[1], (Cells{"6 months", "B", "4", "1.10", "0.85 to 1.36"}));
}
