#include "model/whole_file.h"

#include <gtest/gtest.h>

#include <unistd.h>

using namespace sinkview;

// A file that keeps its reader waiting (here a pipe whose writer stays) is
// given up within the wait limit; one that ends is read whole. /proc/kmsg
// would show the same, but reading it takes the kernel's messages away.
TEST(WholeFile, ReadingWaitsNoLongerThanItsLimit) {
  int ends[2];
  ASSERT_EQ(::pipe(ends), 0);
  ASSERT_EQ(::write(ends[1], "[X-ray]", 7), 7);
  const WholeFile waiting = ReadToEnd(ends[0], 0, 100, std::chrono::milliseconds(50));
  EXPECT_EQ(waiting.problem, WholeFile::Problem::NoEnd);
  EXPECT_EQ(waiting.text, "");

  ASSERT_EQ(::write(ends[1], "\r\n", 2), 2);
  ::close(ends[1]);
  const WholeFile ended = ReadToEnd(ends[0], 0, 100, std::chrono::milliseconds(50));
  EXPECT_EQ(ended.problem, WholeFile::Problem::None);
  EXPECT_EQ(ended.text, "\r\n") << "the first reading took the bytes before";
  ::close(ends[0]);
}
