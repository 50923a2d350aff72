#pragma once

// A program run as a separate process: no shell, the arguments as a vector,
// an environment of the caller's choosing, a time limit, a flag to cancel
// it and a bounded capture of what it says on stderr. The program and every
// process it starts end with the run, and with the caller should the
// caller be killed.

#include <atomic>
#include <chrono>
#include <cstddef>
#include <string>
#include <vector>

#include "base/expected.h"
#include "base/failure.h"

namespace sinkview {

struct ProcessCall {
  std::string program; // found on the caller's PATH when it holds no '/'
  std::vector<std::string> arguments;
  std::string workingDir; // empty: the caller's
  std::chrono::milliseconds timeLimit{60'000};
  std::size_t stderrLimit = 16 * 1024; // bytes kept from the start of stderr
  // Set by another thread: the program is killed within a tenth of a second.
  const std::atomic<bool>* cancel = nullptr;
  // The program's whole environment, "NAME=value": nothing of the caller's
  // reaches it unless named here (MinimalEnvironment).
  std::vector<std::string> environment{};
};

struct ProcessOutcome {
  int exitStatus = -1;    // -1 when ended by a signal
  bool timedOut = false;  // killed at the time limit
  bool cancelled = false; // killed when the cancel flag was set
  std::string stderrText;
};

// Why a program could not be started: the message names it, and `error`
// (ENOENT: not there) lets the caller tell a missing program apart.
struct StartFailure {
  int error = 0;
  Failure failure;
};

// The caller's PATH, HOME and locale (LANG, LANGUAGE, LC_*), as "NAME=value":
// what a program needs to run as the user, and nothing that would choose
// its libraries or start-up files.
std::vector<std::string> MinimalEnvironment();

// Runs `call` to its end, or kills it at the time limit or when it is
// cancelled; stdin and stdout are /dev/null. The program runs in a process
// group of its own, which is killed whatever the end (so a child it left
// behind goes too) and, by a watcher in the group, when the caller dies.
Expected<ProcessOutcome, StartFailure> RunProcess(const ProcessCall& call);

} // namespace sinkview
