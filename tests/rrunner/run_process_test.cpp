#include <gtest/gtest.h>

#include <sys/wait.h>
#include <thread>

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

// A sleeping child is killed and reaped at its time limit, or once another
// thread cancels it, and the outcome says which.
TEST(RunProcess, ProgramPastItsTimeLimitOrCancelledIsKilledAndReaped) {
  for (const bool cancelling : {false, true}) {
    std::atomic<bool> cancel = false;
    ProcessCall call{
        "sleep", {"30"}, "", cancelling ? std::chrono::milliseconds(60'000) : std::chrono::milliseconds(100)};
    call.cancel = &cancel;
    std::thread canceller([&] {
      if (!cancelling) return;
      std::this_thread::sleep_for(std::chrono::milliseconds(200));
      cancel = true;
    });
    const auto run = RunProcess(call);
    canceller.join();
    ASSERT_TRUE(run);
    EXPECT_EQ(run->cancelled, cancelling);
    EXPECT_EQ(run->timedOut, !cancelling);
    EXPECT_EQ(::waitpid(-1, nullptr, WNOHANG), -1) << "no child is left";
  }
}
