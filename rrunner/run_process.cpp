#include "rrunner/run_process.h"

#include <algorithm>
#include <cerrno>
#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>

#include "model/reader_text.h"

extern char** environ;

namespace sinkview {

namespace {

using Clock = std::chrono::steady_clock;

// How often a cancel flag is looked at while the program runs.
constexpr int kCancelCheckMs = 50;

// When a run must end early: at its deadline, or once it is cancelled.
class EndWatch {
public:
  EndWatch(Clock::time_point deadline, const std::atomic<bool>* cancel)
      : deadline_(deadline), cancel_(cancel) {}

  bool Cancelled() const { return cancel_ && cancel_->load(); }
  // How long to wait before looking again; 0 when the run must end now.
  int WaitMs() const {
    if (Cancelled()) return 0;
    const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(deadline_ - Clock::now()).count();
    return left <= 0 ? 0 : static_cast<int>(std::min<long long>(left, kCancelCheckMs));
  }

private:
  Clock::time_point deadline_;
  const std::atomic<bool>* cancel_;
};

// Reads the child's stderr until it closes or the run must end; keeps the
// first `limit` bytes and drains the rest so the child never blocks. False
// when the run must end.
bool CollectStderr(int fd, const EndWatch& watch, std::size_t limit, std::string& kept) {
  char buffer[4096];
  while (true) {
    pollfd waiting{fd, POLLIN, 0};
    const int wait = watch.WaitMs();
    const int ready = ::poll(&waiting, 1, wait);
    if (ready < 0 && errno == EINTR) continue;
    if (ready < 0 || (ready == 0 && wait == 0)) return false;
    if (ready == 0) continue;
    const ssize_t got = ::read(fd, buffer, sizeof buffer);
    if (got < 0 && errno == EINTR) continue;
    if (got <= 0) return true;
    const std::size_t room = limit - std::min(limit, kept.size());
    kept.append(buffer, std::min(room, static_cast<std::size_t>(got)));
  }
}

// The child's end, waited for until the run must end; false then.
bool AwaitExit(pid_t pid, const EndWatch& watch, int& status) {
  while (true) {
    const pid_t done = ::waitpid(pid, &status, WNOHANG);
    if (done == pid) return true;
    if (done < 0 && errno != EINTR) return true;
    if (watch.WaitMs() == 0) return false;
    std::this_thread::sleep_for(std::chrono::milliseconds(5));
  }
}

// The caller's environment with `changes` ("NAME=value") in place of the
// variables they name.
std::vector<std::string> EnvironmentWith(const std::vector<std::string>& changes) {
  std::vector<std::string> entries;
  for (char** entry = environ; *entry; ++entry) {
    const std::string_view text = *entry;
    const std::string_view name = text.substr(0, text.find('=') + 1);
    if (std::none_of(changes.begin(), changes.end(),
                     [&](const std::string& change) { return change.starts_with(name); }))
      entries.emplace_back(text);
  }
  entries.insert(entries.end(), changes.begin(), changes.end());
  return entries;
}

std::vector<char*> Pointers(std::vector<std::string>& texts) {
  std::vector<char*> pointers;
  for (std::string& text : texts) pointers.push_back(text.data());
  pointers.push_back(nullptr);
  return pointers;
}

} // namespace

Expected<ProcessOutcome, StartFailure> RunProcess(const ProcessCall& call) {
  const auto cannotStart = [&](int error) {
    return Unexpected(StartFailure{error, Failure{"cannot start " + call.program + ": " + ErrorText(error)}});
  };
  int pipeFds[2];
  if (::pipe2(pipeFds, O_CLOEXEC) != 0) return cannotStart(errno);

  posix_spawn_file_actions_t actions;
  ::posix_spawn_file_actions_init(&actions);
  ::posix_spawn_file_actions_addopen(&actions, STDIN_FILENO, "/dev/null", O_RDONLY, 0);
  ::posix_spawn_file_actions_addopen(&actions, STDOUT_FILENO, "/dev/null", O_WRONLY, 0);
  ::posix_spawn_file_actions_adddup2(&actions, pipeFds[1], STDERR_FILENO);
  if (!call.workingDir.empty()) ::posix_spawn_file_actions_addchdir_np(&actions, call.workingDir.c_str());

  std::vector<std::string> arguments{call.program};
  arguments.insert(arguments.end(), call.arguments.begin(), call.arguments.end());
  std::vector<std::string> environment = EnvironmentWith(call.environment);
  const std::vector<char*> argv = Pointers(arguments), envp = Pointers(environment);

  pid_t pid = 0;
  const int started = ::posix_spawnp(&pid, call.program.c_str(), &actions, nullptr, argv.data(), envp.data());
  ::posix_spawn_file_actions_destroy(&actions);
  ::close(pipeFds[1]);
  if (started != 0) {
    ::close(pipeFds[0]);
    return cannotStart(started);
  }

  ProcessOutcome outcome;
  const EndWatch watch(Clock::now() + call.timeLimit, call.cancel);
  int status = 0;
  const bool ended =
      CollectStderr(pipeFds[0], watch, call.stderrLimit, outcome.stderrText) && AwaitExit(pid, watch, status);
  ::close(pipeFds[0]);
  if (!ended) {
    ::kill(pid, SIGKILL);
    while (::waitpid(pid, &status, 0) < 0 && errno == EINTR) {
    }
    outcome.cancelled = watch.Cancelled();
    outcome.timedOut = !outcome.cancelled;
    return outcome;
  }
  if (WIFEXITED(status)) outcome.exitStatus = WEXITSTATUS(status);
  return outcome;
}

} // namespace sinkview
