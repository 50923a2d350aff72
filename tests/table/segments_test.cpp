#include "table/segments.h"

#include <gtest/gtest.h>

#include <vector>

using namespace sinkview;

TEST(Segments, StartAfterEveryFlaggedRunAtTheFirstUnflaggedRadiograph) {
  struct Case {
    std::vector<int> flags, starts;
  };
  const Case cases[] = {
      {{0}, {1}},
      {{0, 1, 1, 0}, {1, 1, 1, 4}},
      {{1, 0, 0}, {1, 2, 2}},
      {{0, 1, 0, 1, 0}, {1, 1, 3, 3, 5}},
      {{1, 1, 1}, {1, 1, 1}},
  };
  for (const Case& c : cases) {
    MeasurementModel m;
    m.DisconnectionFlag.fill(1); // slots beyond the series are never read
    m.RadiographCount = static_cast<std::int16_t>(c.flags.size());
    for (std::size_t k = 0; k < c.flags.size(); ++k)
      m.DisconnectionFlag[k + 1] = static_cast<std::int16_t>(c.flags[k]);
    const Flags starts = SegmentStarts(m);
    EXPECT_EQ(std::vector<int>(starts.begin() + 1, starts.begin() + 1 + m.RadiographCount), c.starts)
        << ::testing::PrintToString(c.flags);
  }
}
