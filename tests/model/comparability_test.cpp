#include "model/comparability.h"

#include <gtest/gtest.h>

#include <vector>

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

Result Analyse(MeasurementModel& m) {
  Result r;
  ComputeCorrectedSeries(m, r.work, m.MedialDistance1, r.corrected);
  return r;
}

} // namespace

TEST(Comparability, WorkedExampleGivesWeightedMeanSlopes) {
  MeasurementModel m = SeriesOf({{0, 0}, {100, 1}, {200, 3}});
  const Result r = Analyse(m);
  EXPECT_FLOAT_EQ(r.work.PairWeight[1][2], 4);
  EXPECT_FLOAT_EQ(r.work.PairRate[1][3], 0.06f);
  EXPECT_EQ(r.corrected[1], 0.0f);
  EXPECT_NEAR(r.corrected[2], 1.25f, 1e-6);
  EXPECT_EQ(r.corrected[2], 1.2499999f); // the rate sum is formed in single precision
  EXPECT_NEAR(r.corrected[3], 3.0f, 3e-6);
  EXPECT_EQ((std::vector<int>{m.DisconnectionFlag[1], m.DisconnectionFlag[2], m.DisconnectionFlag[3]}),
            (std::vector<int>{0, 0, 1}));
  EXPECT_EQ((std::vector<int>{m.IsolatedFlag[1], m.IsolatedFlag[2], m.IsolatedFlag[3]}),
            (std::vector<int>{0, 0, 0}));
}

TEST(Comparability, SingleRadiographIsIsolatedAndFlagged) {
  MeasurementModel m = SeriesOf({{0, 7.5f}});
  const Result r = Analyse(m);
  EXPECT_EQ(r.corrected[1], 7.5f);
  EXPECT_EQ(m.DisconnectionFlag[1], 1);
  EXPECT_EQ(m.IsolatedFlag[1], 1);
}

TEST(Comparability, LimitOfThreeIsStillComparableWithWeightOne) {
  struct Case {
    float difference;
    bool comparable;
  };
  for (const Case c : {Case{3.0f, true}, Case{3.01f, false}, Case{0.0f, true}}) {
    MeasurementModel m = SeriesOf({{0, 0, 10, 20, 30}, {100, 2, 10, 20 + c.difference, 30}});
    const Result r = Analyse(m);
    EXPECT_EQ(r.work.Comparable[1][2], c.comparable ? 1 : 0) << c.difference;
    if (c.comparable) {
      EXPECT_FLOAT_EQ(r.work.PairWeight[1][2], 3 - c.difference + 1);
    }
    EXPECT_EQ(m.DisconnectionFlag[1], c.comparable ? 0 : 1);
    EXPECT_EQ(r.corrected[2], c.comparable ? 2.0f : 0.0f) << "level across a break";
  }
}

TEST(Comparability, TimeLimitItselfIsStillExamined) {
  for (const float days : {1825.0f, 1826.0f}) {
    MeasurementModel m = SeriesOf({{0, 0}, {days, 1}});
    const Result r = Analyse(m);
    EXPECT_EQ(r.work.Comparable[1][2], days <= 1825 ? 1 : 0) << days;
  }
}

TEST(Comparability, RadiographWithoutPartnerBreaksBothIntervalsUnlessBridged) {
  // Radiograph 2 differs in projection from all others.
  MeasurementModel m = SeriesOf({{0, 0}, {100, 5, 9}, {200, 1}, {300, 2}});
  m.TimeLimitDays = 150; // nothing bridges radiograph 2
  Result r = Analyse(m);
  EXPECT_EQ(m.IsolatedFlag[2], 1);
  EXPECT_EQ(m.DisconnectionFlag[1], 1);
  EXPECT_EQ(m.DisconnectionFlag[2], 1);
  EXPECT_EQ(m.DisconnectionFlag[3], 0);
  EXPECT_EQ(r.corrected[2], 0.0f);
  EXPECT_EQ(r.corrected[3], 0.0f);
  EXPECT_EQ(r.corrected[4], 1.0f);

  MeasurementModel bridged = SeriesOf({{0, 0}, {100, 5, 9}, {200, 1}, {300, 2}});
  r = Analyse(bridged);
  EXPECT_EQ(bridged.IsolatedFlag[2], 1);
  EXPECT_EQ(bridged.DisconnectionFlag[1], 0) << "pair (1, 3) spans both intervals";
  EXPECT_EQ(bridged.DisconnectionFlag[2], 0);
  EXPECT_NEAR(r.corrected[3], 7.0f / 6.0f, 1e-5) << "the isolated value does not pull the course";
}
