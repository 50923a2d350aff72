// Table 1 against counts made by hand: a patient with two hips in group A,
// an excluded hip, a hip without a surgery date, a numeric and a text
// covariate, and a column of the patients file the protocol does not list.
#include <gtest/gtest.h>

#include <cmath>

#include "study/baseline_table.h"
#include "study/csv_columns.h"
#include "study/model_settings.h"

using namespace sinkview;

namespace {

PatientSummary Hip(std::string patient, std::string group, std::vector<std::string> covariates,
                   std::string surgery, std::string last, std::optional<int> daysToFirst) {
  PatientSummary hip;
  hip.patient = std::move(patient);
  hip.group = std::move(group);
  hip.covariates = std::move(covariates);
  hip.surgeryDate = std::move(surgery);
  hip.lastDate = std::move(last);
  hip.daysToFirstRadiograph = daysToFirst;
  return hip;
}

StudyResult HandCountedStudy() {
  StudyResult study;
  study.groups = {"A", "B"};
  study.covariates = {"note", "age", "sex"};
  study.protocol.covariates = std::vector<std::string>{"sex", "age"};
  study.patients = {Hip("P1", "A", {"x", "60", "F"}, "2020-01-01", "2021-01-01", 5),
                    Hip("P1", "A", {"y", "60", "F"}, "2020-03-01", "2021-03-01", 10),
                    Hip("P2", "A", {"z", "70", "M"}, "2020-01-01", "2020-06-01", 3),
                    Hip("P3", "B", {"", "50", "M"}, "2020-02-01", "2022-02-01", 7),
                    Hip("P4", "B", {"", "80", "F"}, "", "2021-05-01", std::nullopt)};
  study.patients[2].exclusion = "infection";
  return study;
}

const BaselineRow& Find(const std::vector<BaselineRow>& rows, std::string_view characteristic,
                        std::string_view level, std::string_view group) {
  for (const BaselineRow& row : rows)
    if (row.characteristic == characteristic && row.level == level && row.group == group) return row;
  static const BaselineRow none{"none", "", "", -1, std::nullopt, std::nullopt};
  ADD_FAILURE() << characteristic << " " << level << " " << group;
  return none;
}

} // namespace

TEST(BaselineTable, CountsAndDescriptionsAreTheHandCountedOnes) {
  const std::vector<BaselineRow> rows = BaselineTable(HandCountedStudy());
  const struct {
    const char* characteristic;
    int a, b, all;
  } counts[] = {{"patients", 1, 2, 3},        {"hips", 2, 2, 4}, {"bilateral_patients", 1, 0, 1},
                {"excluded_hips", 1, 0, 1},   {"age", 2, 2, 4},  {"days_to_first_radiograph", 2, 1, 3},
                {"follow_up_months", 2, 1, 3}};
  for (const auto& c : counts) {
    SCOPED_TRACE(c.characteristic);
    EXPECT_EQ(Find(rows, c.characteristic, "", "A").n, c.a);
    EXPECT_EQ(Find(rows, c.characteristic, "", "B").n, c.b);
    EXPECT_EQ(Find(rows, c.characteristic, "", "all").n, c.all);
  }
  // The excluded hip's M counts nowhere; percents of the hips with a value.
  const struct {
    const char *level, *group;
    int n;
    double percent;
  } sexes[] = {{"F", "A", 2, 100}, {"F", "B", 1, 50}, {"F", "all", 3, 75},
               {"M", "A", 0, 0},   {"M", "B", 1, 50}, {"M", "all", 1, 25}};
  for (const auto& s : sexes) {
    const BaselineRow& row = Find(rows, "sex", s.level, s.group);
    EXPECT_EQ(row.n, s.n) << s.level << s.group;
    EXPECT_EQ(row.percent, s.percent) << s.level << s.group;
    EXPECT_FALSE(row.numbers);
  }
  // Ages 50, 60, 60, 80: quartiles as R's type 7.
  const Description& age = *Find(rows, "age", "", "all").numbers;
  EXPECT_EQ(std::vector({*age.mean, *age.median, *age.q1, *age.q3, *age.min, *age.max}),
            std::vector<double>({62.5, 60, 57.5, 65, 50, 80}));
  EXPECT_NEAR(*age.sd, std::sqrt(475.0 / 3), 1e-12);
  // Surgery to the last radiograph: 366, 365 and 731 days.
  EXPECT_NEAR(*Find(rows, "follow_up_months", "", "A").numbers->mean, (366 + 365) / 2.0 / 30.4375, 1e-12);
  EXPECT_NEAR(*Find(rows, "follow_up_months", "", "all").numbers->max, 731 / 30.4375, 1e-12);
  EXPECT_NEAR(*Find(rows, "days_to_first_radiograph", "", "all").numbers->mean, 22.0 / 3, 1e-12);
  for (const BaselineRow& row : rows) EXPECT_NE(row.characteristic, "note");
}

TEST(BaselineTable, CsvHasTheDictionarysColumnsAndEmptyFieldsWhereNothingApplies) {
  const std::string csv = BaselineCsv(BaselineTable(HandCountedStudy()));
  EXPECT_EQ(csv.rfind(CsvHeader(kBaselineCsv), 0), 0u);
  EXPECT_NE(csv.find("\r\npatients,,all,3,,,,,,,,\r\n"), std::string::npos) << csv;
  EXPECT_NE(csv.find("\r\nsex,F,B,1,50,,,,,,,\r\n"), std::string::npos) << csv;
  EXPECT_NE(csv.find("\r\nage,,A,2,,60,0,60,60,60,60,60\r\n"), std::string::npos) << csv;
}

// The model is adjusted for the protocol's covariates alone, in its order,
// each by its column in visits.csv after the file's own.
TEST(ModelSettings, CovariatesAreTheProtocolsByTheirColumnInVisitsCsv) {
  StudyResult study = HandCountedStudy();
  study.protocol.model = ModelStructure::Unstructured;
  const std::size_t own = ColumnsOf(kVisitsCsv).columns.size();
  EXPECT_EQ(ModelSettingsCsv(study), "setting,value,visits_column\r\nmodel,unstructured,\r\n"
                                     "covariate,sex," +
                                         std::to_string(own + 3) + "\r\ncovariate,age," +
                                         std::to_string(own + 2) + "\r\n");
  study.protocol.covariates.reset();
  study.protocol.model = ModelStructure::RandomIntercept;
  EXPECT_EQ(ModelSettingsCsv(study), "setting,value,visits_column\r\nmodel,random_intercept,\r\n");
}
