#include <gtest/gtest.h>

#include "rrunner/run_process.h"

using namespace sinkview;

TEST(RunProcess, ArgumentsGoAsTheyAreAndStderrIsCutAtItsLimit) {
  // One argument with blanks and quotes reaches the program whole, no shell between.
  const auto run = RunProcess(
      {"sh", {"-c", "printf '%s' \"$0\" >&2; exit 7", "a 'b' \"c\"; d"}, "/", std::chrono::seconds(10), 8});
  ASSERT_TRUE(run);
  EXPECT_EQ(run->exitStatus, 7);
  EXPECT_FALSE(run->timedOut);
  EXPECT_EQ(run->stderrText, "a 'b' \"c");
}

TEST(RunProcess, ProgramPastItsTimeLimitIsKilled) {
  const auto run = RunProcess({"sleep", {"30"}, "", std::chrono::milliseconds(100)});
  ASSERT_TRUE(run);
  EXPECT_TRUE(run->timedOut);
}
