#pragma once

#include <chrono>
#include <string>
#include <sys/types.h>
#include <thread>

#include "file_contents.h"

namespace sinkview::testing {

// Whether `pid` runs: a zombie does not, it has ended and only waits for
// whoever adopted it to reap it.
inline bool Running(pid_t pid) {
  const std::string stat = FileContents("/proc/" + std::to_string(pid) + "/stat");
  const std::size_t name = stat.rfind(')'); // the state follows the name, which may hold anything
  return name != std::string::npos && name + 2 < stat.size() && stat[name + 2] != 'Z' &&
         stat[name + 2] != 'X';
}

// Whether `pid` stops running within three seconds: a killed process goes
// at once, a forgotten one sleeps on.
inline bool Ends(pid_t pid) {
  for (int wait = 0; wait < 300 && Running(pid); ++wait)
    std::this_thread::sleep_for(std::chrono::milliseconds(10));
  return !Running(pid);
}

} // namespace sinkview::testing
