// Welch's comparison of two means, against R's t.test and a hand case.
#include <gtest/gtest.h>

#include <vector>

#include "study/comparison.h"
#include "study/reading_text.h"
#include "study/welch.h"

using namespace sinkview;

// R: a <- c(1.2, 0.8, 1.5, 1.1, 0.9); b <- c(0.4, 0.7, 0.3, 0.6); t.test(a, b)
// (df 6.857142857142855), and t.test(c(2, 4), c(1, 1, 1, 5, 9, 3)) (df
// 4.635604833686307). By hand: equal samples, se = sqrt(2/3), df = 4,
// t(0.975, 4) = 2.7764451051977987.
TEST(Welch, DifferenceIntervalAndPValueAreRsAndTheHandsOnes) {
  constexpr double kHalf = 2.7764451051977987 * 0.816496580927726;
  const struct {
    std::vector<double> values, reference;
    double difference, low, high, p;
  } cases[] = {
      {{1.2, 0.8, 1.5, 1.1, 0.9},
       {0.4, 0.7, 0.3, 0.6},
       0.6,
       0.23726660340605191,
       0.96273339659394830,
       0.00592870304344039},
      {{2, 4}, {1, 1, 1, 5, 9, 3}, -1.0 / 3, -4.667970352467666, 4.001303685800999, 0.848151287465090},
      {{1, 2, 3}, {3, 1, 2}, 0, -kHalf, kHalf, 1},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.difference);
    const MeanDifference d = WelchDifference(c.values, c.reference);
    EXPECT_EQ(d.n, static_cast<int>(c.values.size()));
    EXPECT_EQ(d.referenceN, static_cast<int>(c.reference.size()));
    ASSERT_TRUE(d.difference && d.ci95Low && d.ci95High && d.pValue);
    EXPECT_NEAR(*d.difference, c.difference, 1e-12);
    EXPECT_NEAR(*d.ci95Low, c.low, 1e-12);
    EXPECT_NEAR(*d.ci95High, c.high, 1e-12);
    EXPECT_NEAR(*d.pValue, c.p, 1e-12);
  }
}

TEST(Welch, TooFewValuesOrConstantSamplesLeaveTheStatisticsEmpty) {
  const std::vector<double> one{1.0}, two{1.0, 2.0}, level{3.0, 3.0}, none;
  for (const auto& [values, reference] : {std::pair{one, two}, std::pair{two, one}, std::pair{none, two}}) {
    const MeanDifference d = WelchDifference(values, reference);
    EXPECT_EQ(d.n, static_cast<int>(values.size()));
    EXPECT_FALSE(d.difference || d.ci95Low || d.ci95High || d.pValue);
  }
  const MeanDifference constant = WelchDifference(level, two);
  ASSERT_TRUE(constant.difference);
  EXPECT_TRUE(constant.ci95Low); // one sample varies: an interval
  const MeanDifference both = WelchDifference(level, std::vector<double>{1.0, 1.0});
  EXPECT_EQ(both.difference, 2.0);
  EXPECT_FALSE(both.ci95Low || both.pValue);
}

TEST(Comparison, EachGroupAgainstTheFirstPerSeriesAndVisitInCsv) {
  const std::vector<std::string> groups{"A", "B \"new\", cemented", "C"};
  const std::vector<SeriesSamples> series{
      {"subsidence",
       {{"12 months", 12, {{2, 4}, {1, 1, 1, 5, 9, 3}, {5}}}, {"24 months", 24, {{}, {1, 2}, {}}}}},
  };
  const std::vector<ComparisonRow> rows = GroupComparisons(groups, series);
  ASSERT_EQ(rows.size(), 4u);
  EXPECT_EQ(
      ComparisonCsv(rows),
      "series,visit,target_months,group,reference_group,n,reference_n,difference_mm,ci95_low_mm,"
      "ci95_high_mm,p_value\r\n"
      "subsidence,12 months,12,\"B \"\"new\"\", cemented\",A,6,2,0.3333333,-4.001304,4.66797,0.8481513\r\n"
      "subsidence,12 months,12,C,A,1,2,,,,\r\n"
      "subsidence,24 months,24,\"B \"\"new\"\", cemented\",A,2,0,,,,\r\n"
      "subsidence,24 months,24,C,A,0,0,,,,\r\n");
  EXPECT_TRUE(GroupComparisons({"all"}, series).empty());
}

// A p-value below what three decimals show must not read as 0.001 or 0.000.
TEST(ReadingText, PValuesAndUnitsForReading) {
  const struct {
    std::optional<double> p;
    const char* shown;
  } cases[] = {{0.0009996, "< 0.001"}, {0.0, "< 0.001"}, {0.001, "0.001"},  {0.04951, "0.050"},
               {0.8481513, "0.848"},   {1.0, "1.000"},   {std::nullopt, ""}};
  for (const auto& c : cases) EXPECT_EQ(PValueText(c.p), c.shown) << c.shown;
  EXPECT_EQ(MmText(-0.004), "0.00");
  EXPECT_EQ(MmIntervalText(-0.5, 1.25), "-0.50 to 1.25");
  EXPECT_EQ(MmIntervalText(-0.5, std::nullopt), "");
  EXPECT_EQ(IntervalText(DaysText(724.6), DaysText(741.49)), "725 to 741");
  EXPECT_EQ(MonthsText(35.96), "36.0");
  EXPECT_EQ(WithUnit("Subsidence at 24 months", "mm"), "Subsidence at 24 months (mm)");
}
