#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sys/wait.h>
#include <thread>

#include "../support/processes.h"
#include "../support/temp_folder.h"
#include "rrunner/run_process.h"

using namespace sinkview;
using sinkview::testing::Ends;
using namespace std::chrono_literals;

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

// A program that starts a child of its own, which holds its stderr open:
// the run ends when the program does (not at the time limit), at the time
// limit or when cancelled, and the child goes with it every time.
TEST(RunProcess, AChildTheProgramStartedEndsWithTheRun) {
  enum class End { Exits, TimeLimit, Cancelled };
  for (const End end : {End::Exits, End::TimeLimit, End::Cancelled}) {
    SCOPED_TRACE(static_cast<int>(end));
    std::atomic<bool> cancel = false;
    ProcessCall call{
        "sh",
        {"-c", "sleep 30 & echo $! >&2; " + std::string(end == End::Exits ? "exit 4" : "sleep 30")},
        "",
        end == End::TimeLimit ? 500ms : 20s};
    call.cancel = &cancel;
    std::thread canceller([&] {
      if (end != End::Cancelled) return;
      std::this_thread::sleep_for(500ms);
      cancel = true;
    });
    const auto started = std::chrono::steady_clock::now();
    const auto run = RunProcess(call);
    canceller.join();
    ASSERT_TRUE(run);
    EXPECT_LT(std::chrono::steady_clock::now() - started, 5s);
    EXPECT_EQ(run->exitStatus, end == End::Exits ? 4 : -1);
    EXPECT_EQ(run->timedOut, end == End::TimeLimit);
    EXPECT_EQ(run->cancelled, end == End::Cancelled);
    const pid_t child = std::atoi(run->stderrText.c_str());
    ASSERT_GT(child, 0) << run->stderrText;
    EXPECT_TRUE(Ends(child));
    ::kill(child, SIGKILL); // not left running when the run forgets it
  }
}

// A program missing, not executable or given a working folder that is not
// there is not started, and the failure says why.
TEST(RunProcess, ProgramThatCannotStartIsToldWhy) {
  const sinkview::testing::TempFolder folder;
  const std::filesystem::path readable = folder.path / "script";
  std::ofstream(readable) << "#!/bin/sh\n";
  const struct {
    std::string program, workingDir;
    int error;
  } cases[] = {{"sinkview-no-such-program", "", ENOENT},
               {readable.string(), "", EACCES},
               {"sh", (folder.path / "gone").string(), ENOENT}};
  for (const auto& c : cases) {
    const auto run = RunProcess({c.program, {"-c", "exit 0"}, c.workingDir, 10s});
    ASSERT_FALSE(run) << c.program;
    EXPECT_EQ(run.error().error, c.error) << c.program;
    EXPECT_EQ(run.error().failure.message.rfind("cannot start " + c.program + ": ", 0), 0u);
  }
  EXPECT_EQ(::waitpid(-1, nullptr, WNOHANG), -1) << "no child is left";
}
