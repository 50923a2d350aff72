#include "base/work_pool.h"

#include <gtest/gtest.h>

#include <chrono>
#include <thread>

using namespace sinkview;

// Items finish out of order (the early ones slowest); they are handed on in
// order, each once, with the progress rising to the total.
TEST(WorkPool, HandsResultsOnInOrderWithRisingProgress) {
  constexpr std::size_t kItems = 40;
  std::vector<std::size_t> taken;
  std::vector<std::size_t> progress;
  const std::size_t done = RunInOrder<std::size_t>(
      kItems,
      [](std::size_t i) {
        std::this_thread::sleep_for(std::chrono::microseconds((kItems - i) * 50));
        return i * i;
      },
      [&](std::size_t i, std::size_t&& square) {
        EXPECT_EQ(square, i * i);
        taken.push_back(i);
      },
      {nullptr, [&](std::size_t n, std::size_t total) {
         EXPECT_EQ(total, kItems);
         progress.push_back(n);
       }});
  EXPECT_EQ(done, kItems);
  ASSERT_EQ(taken.size(), kItems);
  for (std::size_t i = 0; i < kItems; ++i) {
    EXPECT_EQ(taken[i], i);
    EXPECT_EQ(progress[i], i + 1);
  }
}

// A cancel stops new items; those done are still handed on, in order.
TEST(WorkPool, ACancelHandsOnWhatIsDone) {
  std::atomic<bool> cancel = false;
  std::vector<std::size_t> taken;
  const std::size_t done = RunInOrder<int>(
      1000,
      [&](std::size_t i) {
        if (i == 5) cancel = true;
        return 0;
      },
      [&](std::size_t i, int&&) { taken.push_back(i); }, {&cancel, {}});
  EXPECT_LT(done, 1000u);
  EXPECT_GE(done, 6u);
  ASSERT_EQ(taken.size(), done);
  for (std::size_t k = 1; k < taken.size(); ++k) EXPECT_LT(taken[k - 1], taken[k]);
}
