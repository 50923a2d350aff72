#pragma once

#include <functional>
#include <sys/wait.h>
#include <unistd.h>

namespace sinkview::testing {

// Runs `step` in a child process as the user nobody (the tests run as root):
// another user acting on root's folders. True when the step says so.
inline bool AsNobody(const std::function<bool()>& step) {
  const pid_t child = ::fork();
  if (child == 0) {
    if (::geteuid() == 0 && (::setgid(65534) != 0 || ::setuid(65534) != 0)) ::_exit(2);
    ::_exit(step() ? 0 : 1);
  }
  int status = 0;
  ::waitpid(child, &status, 0);
  return WIFEXITED(status) && WEXITSTATUS(status) == 0;
}

} // namespace sinkview::testing
