// Repeat readings on a hand-computable set: lengths at magnification 1 and
// control lengths that make only neighbours comparable, so a radiograph's
// change is its shoulder distance less the first's. Three
// hips read twice give the differences (first - second) -0.4, -0.4, 0.1,
// 0.6, 0.6: bias 0.1, sd 0.5 (squares 0.25 + 0.25 + 0 + 0.25 + 0.25 over
// 4), limits 0.1 -+ 0.98, t(0.975, 4) = 2.776445, so the bias's interval is
// 0.1 -+ 2.776445 x 0.5 / sqrt(5) and each limit's -+ 2.776445 x 0.5 x
// sqrt(1/5 + 1.96^2 / 8).
#include <gtest/gtest.h>

#include <chrono>
#include <filesystem>
#include <fstream>

#include "../support/file_contents.h"
#include "../support/temp_folder.h"

#include "report/precision_tables.h"
#include "study/precision.h"
#include "study/study.h"
#include "study/study_csv.h"

using namespace sinkview;

namespace {

// tests/data/precision_repeat: h1 to h3 read twice, their differences
// above; h4 with a radiograph read on another day in each reading, h5 with
// the other side read again, h6 with another patient's, and a repeat
// reading (ghost.vok) without a first one.
const std::filesystem::path kRepeatSet = std::filesystem::path(SINKVIEW_TEST_DATA) / "precision_repeat";

StudyResult RunRepeatSet(CalendarDate cutoff = std::chrono::year(2025) / 1 / 1) {
  StudyOptions options;
  options.recursive = true;
  options.protocol.repeatReadings = (kRepeatSet / "repeat").string();
  options.protocol.cutoff = cutoff;
  return RunStudy({kRepeatSet.string()}, options);
}

} // namespace

TEST(Precision, AgreementOfTheHandComputedDifferences) {
  const AgreementRow row = Agreement(CohortSeries::Subsidence, {-0.4, -0.4, 0.1, 0.6, 0.6}, 3);
  constexpr double kTol = 1e-12, h = 1.1449259775815934; // the limits' half interval
  EXPECT_EQ(row.pairs, 5);
  EXPECT_NEAR(*row.bias, 0.1, kTol);
  EXPECT_NEAR(*row.sd, 0.5, kTol);
  EXPECT_NEAR((*row.biasCi95)[0], -0.5208319991018833, 1e-9);
  EXPECT_NEAR((*row.biasCi95)[1], 0.7208319991018832, 1e-9);
  EXPECT_NEAR((*row.limits)[0], -0.88, kTol);
  EXPECT_NEAR((*row.limits)[1], 1.08, kTol);
  EXPECT_NEAR((*row.lowLimitCi95)[0], -0.88 - h, 1e-9);
  EXPECT_NEAR((*row.highLimitCi95)[1], 1.08 + h, 1e-9);
  EXPECT_NEAR(*row.detectionLimit, 0.98, kTol);

  const AgreementRow one = Agreement(CohortSeries::Subsidence, {0.3}, 1);
  EXPECT_EQ(one.pairs, 1);
  EXPECT_FALSE(one.bias || one.sd || one.limits || one.detectionLimit) << "fewer than 2 pairs: no values";
}

TEST(Precision, PairsByDateTwoOfOneDayInOrder) {
  using namespace std::chrono;
  const CalendarDate a = 2020y / 1 / 1, b = 2021y / 1 / 1, c = 2022y / 1 / 1;
  const DatePairing p = PairByDate({a, b, b, c}, {a, b, c, c});
  EXPECT_EQ(p.pairs, (std::vector<std::array<std::size_t, 2>>{{0, 0}, {1, 1}, {3, 2}}));
  EXPECT_EQ(p.unpaired[0], std::vector<std::size_t>{2});
  EXPECT_EQ(p.unpaired[1], std::vector<std::size_t>{3});
}

TEST(Precision, RepeatReadingsOfTheHandComputedHips) {
  const StudyResult result = RunRepeatSet();
  EXPECT_EQ(result.patients.size(), 6u) << "the repeat folder's files are no hips of the study";
  ASSERT_TRUE(result.repeat);
  const AgreementRow& subsidence = result.repeat->rows[0];
  EXPECT_NEAR(*subsidence.bias, 0.1, 1e-5);
  EXPECT_NEAR(*subsidence.sd, 0.5, 1e-5);
  EXPECT_NEAR(*subsidence.detectionLimit, 0.98, 1e-5);
  EXPECT_EQ(result.repeat->rows[1].pairs, 5) << "stem/cement where both readings have it";
  EXPECT_NEAR(*result.repeat->rows[1].sd, 0, 1e-9);
  // For reading, in millimetres with two decimals.
  EXPECT_EQ(AgreementTable(result).rows.at(0),
            (std::vector<std::string>{"subsidence", "5", "3", "0.10", "-0.52 to 0.72", "0.50", "-0.88",
                                      "-2.02 to 0.26", "1.08", "-0.06 to 2.22", "0.98"}));
  EXPECT_NE(PatternRuleText(result).find("more than 0.98 mm (the detection limit of the repeat readings)"),
            std::string::npos)
      << PatternRuleText(result);

  std::vector<std::string> reasons;
  for (const RejectedFile& r : result.rejected) reasons.push_back(r.file + ": " + r.reason);
  const std::string study = kRepeatSet.string() + "/", repeat = study + "repeat/";
  EXPECT_EQ(
      reasons,
      (std::vector<std::string>{
          "h4.vok: " + study + "h4.vok: the radiograph of 2021-01-01 has no partner in the second reading",
          "h4.vok: " + repeat + "h4.vok: the radiograph of 2021-01-02 has no partner in the first reading",
          "h5.vok: " + repeat + "h5.vok: a second reading of the other side than " + study + "h5.vok",
          "h6.vok: " + repeat + "h6.vok: a second reading of another patient than " + study + "h6.vok",
          repeat + "ghost.vok: " + repeat + "ghost.vok: a second reading without a first one"}));

  const std::string pairs = PairsCsv(result);
  EXPECT_NE(pairs.find("\r\nh1.vok,2,2021-01-01,subsidence,-1,-0.5999985,-0.7999992,-0.4000015\r\n"),
            std::string::npos)
      << pairs;
}

// A file changed while the study runs: the precision pairs take the first
// reading the cohort was computed from, not the file read again. h1's
// second radiograph is -1 in the first reading as read.
TEST(Precision, TheFirstReadingIsTheOneTheCohortRead) {
  const sinkview::testing::TempFolder folder;
  std::filesystem::copy(kRepeatSet, folder.path, std::filesystem::copy_options::recursive);
  const std::filesystem::path h1 = folder.path / "h1.vok";
  StudyOptions options;
  options.recursive = true;
  options.protocol.repeatReadings = (folder.path / "repeat").string();
  options.protocol.cutoff = std::chrono::year(2025) / 1 / 1;
  const auto changeH1 = [&](std::size_t done, std::size_t total) {
    if (done != total) return;
    std::string text = sinkview::testing::FileContents(h1);
    text.replace(text.find("55.8,59"), 7, "55.8,50");
    std::ofstream(h1, std::ios::binary | std::ios::trunc) << text;
  };
  const StudyResult result = RunStudy({folder.path.string()}, options, changeH1);
  ASSERT_TRUE(result.repeat);
  ASSERT_EQ(result.patients[0].file, "h1.vok");
  EXPECT_NE(PairsCsv(result).find("\r\nh1.vok,2,2021-01-01,subsidence,-1,"), std::string::npos)
      << PairsCsv(result);
}

// Both readings stop at the cut-off: h1's and h3's radiographs of 2022 are
// in neither, so neither is a radiograph without a partner.
TEST(Precision, BothReadingsStopAtTheCutoff) {
  const StudyResult result = RunRepeatSet(std::chrono::year(2021) / 12 / 31);
  EXPECT_EQ(result.repeat->rows[0].pairs, 3);
  EXPECT_EQ(result.rejected.size(), 5u) << "h4, h5, h6 and ghost.vok, as without a cut-off";
}

// Changes are from the first radiograph, so readings that start on
// different days give no pair.
TEST(Precision, ReadingsWhoseFirstRadiographsDifferGiveNoPairs) {
  using namespace std::chrono;
  const std::vector<bool> no(3, false);
  const HipCourse first{{2020y / 1 / 1, 2021y / 1 / 1, 2022y / 1 / 1}, {0, -1, -2}, {}, no, no};
  HipCourse late = first;
  late.dates[0] = 2020y / 1 / 2;
  EXPECT_TRUE(ReadingPairs("h", first, late, PairByDate(first.dates, late.dates)).empty());
  EXPECT_EQ(ReadingPairs("h", first, first, PairByDate(first.dates, first.dates)).size(), 2u);
}

TEST(Precision, PatternByTheDetectionLimitEqualIsStabilised) {
  Protocol protocol; // the default visits: 12 months is the third, 24 the fourth
  protocol.detectionLimitMm = 0.5;
  const std::optional<PatternRule> rule = PatternRuleOf(protocol, std::nullopt);
  ASSERT_TRUE(rule);
  EXPECT_EQ(rule->visits, (std::array<std::size_t, 2>{3, 4}));
  struct Case {
    std::optional<double> at12, at24;
    std::string_view pattern;
  };
  for (const Case& c : {Case{-0.25, -0.75, "stabilised"}, Case{-0.25, -0.76, "continuous"},
                        Case{0.25, -0.26, "continuous"}, Case{-0.25, std::nullopt, ""}}) {
    std::vector<VisitValue> visits(5);
    visits[3].subsidence = c.at12;
    visits[4].subsidence = c.at24;
    EXPECT_EQ(PatternOf(visits, *rule), c.pattern);
  }
  StudyResult study;
  study.protocol = protocol;
  EXPECT_EQ(PatternRuleText(study),
            "Between 12 months and 24 months, a stem whose subsidence changes by more "
            "than 0.50 mm (the detection limit of the protocol) migrates continuously; "
            "the others have stabilised.");
  EXPECT_TRUE(AgreementTable(study).rows.empty());
  protocol.detectionLimitMm.reset();
  EXPECT_FALSE(PatternRuleOf(protocol, std::nullopt)) << "no limit, no pattern";
  study.protocol = protocol;
  EXPECT_EQ(PatternRuleText(study), "");
  RepeatReadings repeat;
  repeat.rows = {Agreement(CohortSeries::Subsidence, {-0.4, -0.4, 0.1, 0.6, 0.6}, 3)};
  EXPECT_NEAR(PatternRuleOf(protocol, repeat)->limitMm, 0.98, 1e-12) << "the repeat readings' limit";
}
