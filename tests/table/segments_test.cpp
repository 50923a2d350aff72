#include "table/segments.h"

#include <gtest/gtest.h>

#include <vector>

#include "series_builder.h"

using namespace sinkview;

TEST(Segments, StartAfterEveryFlaggedRunAtTheFirstUnflaggedRadiograph) {
  struct Case {
    std::vector<int> flags;
    std::vector<int> starts;
  };
  const Case cases[] = {
      {{0}, {1}},
      {{1}, {1}},
      {{0, 1, 1, 0}, {1, 1, 1, 4}},
      {{1, 0, 0}, {1, 2, 2}},
      {{0, 1, 0, 1, 0}, {1, 1, 3, 3, 5}},
      {{1, 1, 1}, {1, 1, 1}},
      {{0, 0, 0, 0, 1}, {1, 1, 1, 1, 1}},
  };
  for (const Case& c : cases) {
    MeasurementModel m;
    m.RadiographCount = static_cast<std::int16_t>(c.flags.size());
    for (std::size_t k = 0; k < c.flags.size(); ++k)
      m.DisconnectionFlag[k + 1] = static_cast<std::int16_t>(c.flags[k]);
    const Flags starts = SegmentStarts(m);
    std::vector<int> got;
    for (int k = 1; k <= m.RadiographCount; ++k) got.push_back(starts[k]);
    EXPECT_EQ(got, c.starts) << "flags " << ::testing::PrintToString(c.flags);
  }
}

TEST(Segments, SlotsBeyondTheSeriesStayZero) {
  MeasurementModel m;
  m.RadiographCount = 2;
  m.DisconnectionFlag.fill(1); // an earlier, longer series left its flags
  const Flags starts = SegmentStarts(m);
  EXPECT_EQ(starts[0], 0);
  EXPECT_EQ(starts[3], 0);
  EXPECT_EQ(SegmentStarts(MeasurementModel{}), Flags{});
}

TEST(Segments, ChangesAreSinglePrecisionDifferencesOfTheChosenSubsidence) {
  MeasurementModel m = PreparedSeries({0, 100}, true);
  // 0.1f - 0.3f in float differs from the double difference rounded once.
  m.CorrectedMedial1[1] = 0.3f;
  m.CorrectedMedial1[2] = 0.1f;
  m.CorrectedAngle[2] = 2.5f;
  m.CorrectedShoulderMajor[2] = -1.0f;
  m.CorrectedShoulderMinor[2] = -2.0f;
  m.CorrectedHeadMajor[2] = -3.0f;
  m.CorrectedHeadMinor[2] = -4.0f;
  m.CorrectedStemCement[2] = 0.25f;
  const float expectedMedial = 0.1f - 0.3f;

  struct Case {
    int referencePoint, trochanter;
    float subsidence;
  };
  for (const Case& c : {Case{1, 0, -1.0f}, Case{1, 1, -2.0f}, Case{0, 0, -3.0f}, Case{0, 1, -4.0f}}) {
    m.ReferencePoint = static_cast<std::int16_t>(c.referencePoint);
    m.TrochanterChoice = static_cast<std::int16_t>(c.trochanter);
    const ChangesSinceStart changes = Changes(m, 2, 1);
    EXPECT_EQ(changes.parameters[0], expectedMedial);
    EXPECT_EQ(changes.parameters[8], 2.5f) << "the angle is the last parameter";
    EXPECT_EQ(changes.subsidence, c.subsidence);
    EXPECT_EQ(changes.stemCement, 0.25f);
    EXPECT_EQ(changes.cementBone, c.subsidence - 0.25f);
  }
}

TEST(Segments, MonthsRoundHalvesToEven) {
  // 45.625 days are exactly 1.5 months, 136.875 days 4.5, 228.125 days 7.5.
  MeasurementModel m = PreparedSeries({0, 45.625f, 136.875f, 228.125f, 730}, false);
  EXPECT_EQ(MonthsSinceFirst(m, 2), 2);
  EXPECT_EQ(MonthsSinceFirst(m, 3), 4);
  EXPECT_EQ(MonthsSinceFirst(m, 4), 8);
  EXPECT_EQ(MonthsSinceFirst(m, 5), 24);
}
