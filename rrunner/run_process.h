#pragma once

// A program run as a separate process: no shell, the arguments as a vector,
// a time limit, a flag to cancel it and a bounded capture of what it says
// on stderr.

#include <atomic>
#include <chrono>
#include <cstddef>
#include <string>
#include <vector>

#include "model/expected.h"
#include "model/failure.h"

namespace sinkview {

struct ProcessCall {
  std::string program; // found on PATH when it holds no '/'
  std::vector<std::string> arguments;
  std::string workingDir; // empty: the caller's
  std::chrono::milliseconds timeLimit{60'000};
  std::size_t stderrLimit = 16 * 1024; // bytes kept from the start of stderr
  // Set by another thread: the program is killed within a tenth of a second.
  const std::atomic<bool>* cancel = nullptr;
  std::vector<std::string> environment{}; // "NAME=value", over the caller's environment
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

// Runs `call` to its end, or kills (and reaps) it at the time limit or when
// it is cancelled; stdin and stdout are /dev/null.
Expected<ProcessOutcome, StartFailure> RunProcess(const ProcessCall& call);

} // namespace sinkview
