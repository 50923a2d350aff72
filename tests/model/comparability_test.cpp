#include "model/comparability.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <bit>
#include <cmath>
#include <random>
#include <vector>

#include "model/preparation.h"

using namespace sinkview;

namespace {

struct Radiograph {
  float days;
  float value;
  float c1 = 0, c2 = 0, c3 = 0;
};

MeasurementModel SeriesOf(const std::vector<Radiograph>& radiographs) {
  MeasurementModel m;
  m.RadiographCount = static_cast<std::int16_t>(radiographs.size());
  for (std::size_t k = 1; k <= radiographs.size(); ++k) {
    const Radiograph& r = radiographs[k - 1];
    m.ElapsedDays[k] = r.days;
    m.MedialDistance1[k] = r.value;
    m.ComparabilityMeasure1[k] = r.c1;
    m.ComparabilityMeasure2[k] = r.c2;
    m.ComparabilityMeasure3[k] = r.c3;
  }
  return m;
}

struct Result {
  Series corrected{};
  ComparabilityWork work;
};

Result Analyse(MeasurementModel& m, const Settings& settings = {}) {
  Result r;
  ComputeCorrectedSeries(m, settings, r.work, m.MedialDistance1, r.corrected);
  return r;
}

} // namespace

TEST(Comparability, WorkedExampleGivesWeightedMeanSlopes) {
  MeasurementModel m = SeriesOf({{0, 0}, {100, 1}, {200, 3}});
  const Result r = Analyse(m);
  EXPECT_FLOAT_EQ(r.work.PairWeight[1][2], 4);
  EXPECT_EQ(r.corrected[1], 0.0f);
  EXPECT_EQ(r.corrected[2], 1.2499999f); // the rate sum is formed in single precision
  EXPECT_NEAR(r.corrected[3], 3.0f, 3e-6);
  EXPECT_EQ(m.DisconnectionFlag, (Flags{0, 0, 0, 1}));
  EXPECT_EQ(m.IsolatedFlag, Flags{});
}

TEST(Comparability, PairsAtTheLimitsAreStillComparable) {
  struct Case {
    float difference, days;
    bool comparable;
  };
  // A largest difference of exactly 3 counts with weight 1, 3.01 does not;
  // a time difference equal to the limit is still examined.
  for (const Case c :
       {Case{3.0f, 100, true}, Case{3.01f, 100, false}, Case{0.0f, 1825, true}, Case{0.0f, 1826, false}}) {
    MeasurementModel m = SeriesOf({{0, 0, 10, 20, 30}, {c.days, 2, 10, 20 + c.difference, 30}});
    const Result r = Analyse(m);
    EXPECT_EQ(r.work.Comparable[1][2], c.comparable ? 1 : 0) << c.difference << " " << c.days;
    EXPECT_FLOAT_EQ(r.work.PairWeight[1][2], c.comparable ? 3 - c.difference + 1 : 0);
    EXPECT_EQ(m.DisconnectionFlag[1], c.comparable ? 0 : 1);
    EXPECT_EQ(r.corrected[2], c.comparable ? 2.0f : 0.0f) << "level across a break";
  }
  MeasurementModel single = SeriesOf({{0, 7.5f}});
  EXPECT_EQ(Analyse(single).corrected[1], 7.5f);
  EXPECT_EQ(single.DisconnectionFlag[1], 1);
  EXPECT_EQ(single.IsolatedFlag[1], 1);
}

// Radiograph 2 differs in projection from all others; with a time limit of
// 150 days nothing bridges it, else pair (1, 3) spans both intervals.
TEST(Comparability, RadiographWithoutPartnerBreaksBothIntervalsUnlessBridged) {
  for (const float limit : {150.0f, 1825.0f}) {
    MeasurementModel m = SeriesOf({{0, 0}, {100, 5, 9}, {200, 1}, {300, 2}});
    Settings settings;
    settings.TimeLimitDays = limit;
    const Result r = Analyse(m, settings);
    const bool broken = limit == 150;
    EXPECT_EQ(m.IsolatedFlag[2], 1);
    EXPECT_EQ(m.DisconnectionFlag, (Flags{0, broken, broken, 0, 1})) << limit;
    if (broken) {
      EXPECT_EQ((std::vector<float>{r.corrected[2], r.corrected[3], r.corrected[4]}),
                (std::vector<float>{0, 0, 1}));
    } else {
      EXPECT_NEAR(r.corrected[3], 7.0f / 6.0f, 1e-5) << "the isolated value does not pull the course";
    }
  }
}

namespace {

// The analysis as plainly written, one series at a time: the oracle for the
// preparation, which corrects all series side by side.
void PlainCorrectedSeries(const MeasurementModel& m, const Settings& s, const Series& x, Series& y) {
  const int n = m.RadiographCount;
  const Series& t = m.ElapsedDays;
  float weight[kSlots][kSlots] = {}, rate[kSlots][kSlots] = {};
  int comparable[kSlots][kSlots] = {};
  for (int i = 1; i < n; ++i) {
    for (int j = i + 1; j <= n; ++j) {
      const float dt = t[j] - t[i];
      const float d = std::max({std::fabs(m.ComparabilityMeasure1[i] - m.ComparabilityMeasure1[j]),
                                std::fabs(m.ComparabilityMeasure2[i] - m.ComparabilityMeasure2[j]),
                                std::fabs(m.ComparabilityMeasure3[i] - m.ComparabilityMeasure3[j])});
      if (dt <= s.TimeLimitDays && d <= s.ComparabilityLimit) {
        comparable[i][j] = 1;
        weight[i][j] = s.ComparabilityLimit - d + 1;
        rate[i][j] = static_cast<float>(static_cast<double>(x[j] - x[i]) * weight[i][j] / dt);
      }
    }
  }
  y[1] = x[1];
  for (int i = 2; i <= n; ++i) {
    float rates = 0, weights = 0;
    int pairs = 0;
    const auto add = [&](int k, int l) {
      rates += rate[k][l], weights += weight[k][l], pairs += comparable[k][l];
    };
    const int a = i - 1; // the interval after radiograph a
    for (int j = a + 1; j <= n; ++j) add(a, j);
    for (int k = 1; k <= a - 1; ++k) {
      for (int l = a + 1; l <= n; ++l) add(k, l);
    }
    y[i] = pairs == 0 ? y[i - 1]
                      : static_cast<float>(y[i - 1] + static_cast<double>(t[i] - t[i - 1]) * rates / weights);
  }
}

} // namespace

TEST(Comparability, PreparationCorrectsAllSeriesExactlyAsOneAtATime) {
  std::mt19937 random(20261206);
  std::uniform_real_distribution<float> value(-50, 50), control(0, 4), gap(1, 200);
  for (int trial = 0; trial < 50; ++trial) {
    MeasurementModel m;
    m.RadiographCount = static_cast<std::int16_t>(1 + trial % 30);
    Settings settings;
    settings.TimeLimitDays = trial % 3 == 0 ? 400 : 1825;
    for (int k = 1; k <= m.RadiographCount; ++k) {
      m.ElapsedDays[k] = k == 1 ? 0 : m.ElapsedDays[k - 1] + gap(random);
      m.ComparabilityMeasure1[k] = control(random);
      m.ComparabilityMeasure2[k] = control(random);
      m.ComparabilityMeasure3[k] = control(random);
      for (const AnalysisRun& run : kAnalysisRuns) (m.*run.measured)[k] = value(random);
    }
    RunAnalyses(m, settings);
    for (const AnalysisRun& run : kAnalysisRuns) {
      Series expected{};
      PlainCorrectedSeries(m, settings, m.*run.measured, expected);
      for (int k = 1; k <= m.RadiographCount; ++k) {
        ASSERT_EQ(std::bit_cast<std::uint32_t>((m.*run.corrected)[k]),
                  std::bit_cast<std::uint32_t>(expected[k]))
            << "trial " << trial << ", radiograph " << k;
      }
    }
  }
}
