// The study of a hand-computable cohort (tests/data/study_cohort): every
// length at magnification 1, and control lengths chosen so that only
// neighbours are comparable, so each corrected course is the course read:
//   a_break     40, 39.5 | 38, 37 at 0, 12, 24, 36 months, a break after 12
//   b_isolated  50, 49, (99), 47 at 0, 12, 17.98, 36; the third comparable
//               with no other, the course runs straight from 12 to 36
//   c_short     60, 59 at 0 and 12 months
#include <gtest/gtest.h>

#include <cmath>
#include <filesystem>

#include "../support/file_contents.h"
#include "../support/temp_folder.h"
#include "model/numtext.h"
#include "study/csv_text.h"
#include "study/long_csv.h"
#include "study/long_rows.h"
#include "study/student_t.h"
#include "study/study.h"
#include "study/study_csv.h"

using namespace sinkview;

namespace {

const std::string kCohort = std::string(SINKVIEW_TEST_DATA) + "/study_cohort";
const std::string kGoodAndBad = std::string(SINKVIEW_TEST_DATA) + "/study_good_and_bad";
constexpr double kTolerance = 2e-6;

StudyResult Cohort() {
  StudyOptions options;
  options.followUpMonths = {12, 24, 36};
  return RunStudy({kCohort}, options);
}

} // namespace

TEST(Study, SummarisesEachPatientOfTheCohort) {
  const StudyResult result = Cohort();
  ASSERT_EQ(result.patients.size(), 3u);
  ASSERT_TRUE(result.rejected.empty());
  const PatientSummary &a = result.patients[0], &b = result.patients[1], &c = result.patients[2];

  EXPECT_EQ(a.file, "a_break.vok");
  EXPECT_EQ(a.patient, "Arnold, Jr. Anton AA-1");
  EXPECT_EQ(b.patient, "B\xc3\xbcrgi Beat BB-2"); // read as Windows-1252
  EXPECT_EQ(a.format, "current");
  EXPECT_EQ(b.format, "older");
  EXPECT_EQ(a.firstDate, "2000-01-01");
  EXPECT_EQ(a.lastDate, "2003-01-01");
  EXPECT_EQ(b.subsidence[2].months, 547 * 12.0 / 365);

  struct Expected {
    const PatientSummary& p;
    int isolated, breaks;
    double last;
    std::optional<double> at24, rateBefore, rateAfter;
    std::optional<bool> flag;
    std::optional<double> stemCement;
  };
  for (const Expected& e : {
           // Level across the break: -0.5 from the first segment, -1 from the second.
           Expected{a, 0, 1, -1.5, -0.5, -0.25, -1, false, 0.6},
           // Between the second and the fourth radiograph: 49 - 2 x 12/24 at 24 months.
           Expected{b, 1, 0, -3, -2, -1, -1, true, std::nullopt},
           // Ends before 24 months: nothing that needs it.
           Expected{c, 0, 0, -1, std::nullopt, std::nullopt, std::nullopt, std::nullopt, 0.4},
       }) {
    SCOPED_TRACE(e.p.file);
    EXPECT_EQ(e.p.isolated, e.isolated);
    EXPECT_EQ(e.p.breaks, e.breaks);
    EXPECT_NEAR(e.p.subsidenceLastMm, e.last, kTolerance);
    for (auto [got, want] : {std::pair{e.p.subsidence24mMm, e.at24},
                             {e.p.rate0to24MmPerYear, e.rateBefore},
                             {e.p.rateAfter24MmPerYear, e.rateAfter}}) {
      ASSERT_EQ(got.has_value(), want.has_value());
      if (want) {
        EXPECT_NEAR(*got, *want, kTolerance);
      }
    }
    EXPECT_EQ(e.p.overThreshold, e.flag);
    ASSERT_EQ(e.p.stemCementLastMm.has_value(), e.stemCement.has_value());
    if (e.stemCement) {
      EXPECT_NEAR(*e.p.stemCementLastMm, *e.stemCement, kTolerance);
    }
    EXPECT_EQ(e.p.subsidence.size(), static_cast<std::size_t>(e.p.radiographs));
  }
}

TEST(Study, ThresholdIsInclusiveAndConfigurable) {
  StudyOptions options;
  options.thresholdMm = 0.5; // a's change at 24 months is exactly -0.5
  const StudyResult result = RunStudy({kCohort}, options);
  EXPECT_EQ(result.patients[0].overThreshold, true);
  options.thresholdMm = 2.5;
  EXPECT_EQ(RunStudy({kCohort}, options).patients[1].overThreshold, false);
}

TEST(Study, CohortStatisticsAtTheFollowUpTimes) {
  const StudyResult result = Cohort();
  ASSERT_EQ(result.cohort.size(), 6u);
  struct Row {
    CohortSeries series;
    double months;
    int n;
    double mean, median, min, max;
    std::optional<double> sd, halfInterval;
  };
  const double sd2 = std::sqrt(2 * 0.75 * 0.75); // two values 1.5 apart
  for (std::size_t r = 0;
       const Row& want : {
           // -0.5, -1, -1: sd sqrt(1/12), t(0.975, 2) = 4.302653
           Row{CohortSeries::Subsidence, 12, 3, -2.5 / 3, -1, -1, -0.5, std::sqrt(1.0 / 12),
               4.3026527 * std::sqrt(1.0 / 12) / std::sqrt(3.0)},
           Row{CohortSeries::Subsidence, 24, 2, -1.25, -1.25, -2, -0.5, sd2, 12.706205 * 0.75},
           Row{CohortSeries::Subsidence, 36, 2, -2.25, -2.25, -3, -1.5, sd2, 12.706205 * 0.75},
           // The older format's patient has no stem/cement values.
           Row{CohortSeries::StemCement, 12, 2, 0.3, 0.3, 0.2, 0.4, std::sqrt(0.02), 12.706205 * 0.1},
           Row{CohortSeries::StemCement, 24, 1, 0.2, 0.2, 0.2, 0.2, {}, {}},
           Row{CohortSeries::StemCement, 36, 1, 0.6, 0.6, 0.6, 0.6, {}, {}},
       }) {
    const CohortRow& got = result.cohort[r++];
    SCOPED_TRACE(got.followUpMonths);
    EXPECT_EQ(got.series, want.series);
    EXPECT_EQ(got.followUpMonths, want.months);
    EXPECT_EQ(got.n, want.n);
    EXPECT_NEAR(*got.mean, want.mean, kTolerance);
    EXPECT_NEAR(*got.median, want.median, kTolerance);
    EXPECT_NEAR(*got.min, want.min, kTolerance);
    EXPECT_NEAR(*got.max, want.max, kTolerance);
    ASSERT_EQ(got.sd.has_value(), want.sd.has_value());
    ASSERT_EQ(got.ci95Low.has_value(), want.sd.has_value());
    if (!want.sd) continue;
    EXPECT_NEAR(*got.sd, *want.sd, kTolerance);
    EXPECT_NEAR(*got.ci95Low, want.mean - *want.halfInterval, 1e-5);
    EXPECT_NEAR(*got.ci95High, want.mean + *want.halfInterval, 1e-5);
  }
}

TEST(Study, NoPatientAtATimeLeavesEveryValueEmpty) {
  const std::vector<CohortRow> rows = CohortStatistics(Cohort().patients, {200});
  ASSERT_EQ(rows.size(), 2u);
  EXPECT_EQ(rows[0].n, 0);
  EXPECT_FALSE(rows[0].mean || rows[0].median || rows[0].min || rows[0].sd);
}

TEST(Study, StudentTQuantiles) {
  for (auto [degrees, want] :
       {std::pair{1, 12.7062047}, {2, 4.30265273}, {5, 2.57058184}, {30, 2.04227246}, {1000, 1.96233908}}) {
    EXPECT_NEAR(StudentTQuantile(0.975, degrees), want, 1e-7) << degrees;
  }
}

TEST(Study, RejectedFilesKeepTheExportersReasonAndProgressCountsEveryFile) {
  std::vector<std::size_t> reported;
  const StudyResult result = RunStudy({kGoodAndBad}, {}, [&](std::size_t done, std::size_t total) {
    EXPECT_EQ(total, 4u);
    reported.push_back(done);
  });
  EXPECT_EQ(reported, (std::vector<std::size_t>{1, 2, 3, 4}));
  EXPECT_EQ(result.patients.size(), 2u);
  ASSERT_EQ(result.rejected.size(), 2u);
  EXPECT_EQ(result.rejected[0].file, "medial_not_a_number.vok");
  EXPECT_EQ(result.rejected[0].reason,
            kGoodAndBad +
                "/medial_not_a_number.vok: record 2, medial distance 2: \"twelve\" is not a number.");
  EXPECT_FALSE(result.cancelled);

  const std::atomic<bool> cancel = true;
  const StudyResult cancelled = RunStudy({kGoodAndBad}, {}, {}, &cancel);
  EXPECT_TRUE(cancelled.cancelled);
  EXPECT_TRUE(cancelled.patients.empty());
}

// The rows reach the spool in the order of the patients, each under its
// file and patient, and the spool is saved whole, as often as asked.
TEST(StudyCsv, LongRowsGoOutInPatientOrderThroughTheSpool) {
  LongCsvSpool spool;
  const StudyResult result = RunStudy({kCohort}, {}, {}, nullptr, spool.Sink());
  const sinkview::testing::TempFolder folder;
  const auto saved = folder.path / "long.csv";
  ASSERT_EQ(spool.SaveAs(saved), std::nullopt);
  ASSERT_EQ(spool.SaveAs(saved), std::nullopt);
  const std::string text = sinkview::testing::FileContents(saved);
  ASSERT_EQ(text.rfind(kLongHeader, 0), 0u);
  std::istringstream rows(text.substr(kLongHeader.size()));
  std::string row;
  for (const PatientSummary& p : result.patients)
    for (int i = 1; i <= p.radiographs; ++i)
      EXPECT_TRUE(std::getline(rows, row) &&
                  row.rfind(LongRowPrefix(p.file, p.patient) + std::to_string(i), 0) == 0);
  EXPECT_FALSE(std::getline(rows, row)) << row;
  EXPECT_NE(spool.SaveAs("/nonexistent/long.csv")->message.find("/nonexistent/long.csv"), std::string::npos);
}

TEST(StudyCsv, NumbersAndFields) {
  SetDecimalSeparator(','); // the user's locale is not the files'
  for (auto [value, text] : {std::pair{-0.0, "0"},
                             {0.1f, "0.1"},
                             {-1234567.8, "-1234568"},
                             {1.5e-7, "1.5e-07"},
                             {2.0 / 3, "0.6666667"},
                             {std::nan(""), ""}}) {
    EXPECT_EQ(CsvNumber(value), text) << value;
  }
  SetDecimalSeparator('.');
  for (auto [field, text] : {std::pair{"plain", "plain"},
                             {"a,b", "\"a,b\""},
                             {"say \"hi\"", "\"say \"\"hi\"\"\""},
                             {"two\r\nlines", "\"two\r\nlines\""},
                             {"", ""}}) {
    std::string out;
    AppendCsvField(out, field);
    EXPECT_EQ(out, text);
  }
}
