#include "rrunner/run_process.h"

#include <algorithm>
#include <cerrno>
#include <csignal>
#include <cstdlib>
#include <fcntl.h>
#include <optional>
#include <poll.h>
#include <sys/prctl.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>

#include "base/reader_text.h"

extern char** environ;

namespace sinkview {

namespace {

using Clock = std::chrono::steady_clock;

// How often a cancel flag, and whether the program has exited, is looked at
// while the program runs.
constexpr int kCancelCheckMs = 50;
// How long the pipe is still read once the program has exited: a child it
// left behind may hold it open, or keep writing to it.
constexpr auto kDrainTime = std::chrono::milliseconds(kCancelCheckMs);

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

// Whether `pid` has ended, its status then in `status`. One reaped
// elsewhere (SIGCHLD ignored) has ended all the same.
bool Reaped(pid_t pid, int& status) {
  pid_t done = 0;
  do {
    done = ::waitpid(pid, &status, WNOHANG);
  } while (done < 0 && errno == EINTR);
  return done == pid || done < 0;
}

void AwaitEnd(pid_t pid, int& status) {
  while (::waitpid(pid, &status, 0) < 0 && errno == EINTR) {
  }
}

// Follows the program until it has exited and said all, or until the run
// must end (false then). Keeps the first `limit` bytes of its stderr and
// drains the rest, so that it never blocks on a full pipe.
bool Follow(pid_t pid, int fd, const EndWatch& watch, std::size_t limit, std::string& kept, int& status) {
  char buffer[4096];
  bool open = true;
  std::optional<Clock::time_point> exitedAt;
  while (true) {
    if (!exitedAt && Reaped(pid, status)) exitedAt = Clock::now();
    if (exitedAt && (!open || Clock::now() - *exitedAt > kDrainTime)) return true;
    const int wait = exitedAt ? 0 : watch.WaitMs();
    if (!exitedAt && wait == 0) return false; // however much it still writes
    if (!open) {
      std::this_thread::sleep_for(std::chrono::milliseconds(5));
      continue;
    }
    pollfd waiting{fd, POLLIN, 0};
    const int ready = ::poll(&waiting, 1, wait);
    if (ready < 0 && errno != EINTR) return exitedAt.has_value();
    if (ready <= 0) {
      if (exitedAt) return true; // all it said is read
      continue;
    }
    const ssize_t got = ::read(fd, buffer, sizeof buffer);
    if (got < 0 && errno == EINTR) continue;
    if (got <= 0) {
      open = false;
      continue;
    }
    const std::size_t room = limit - std::min(limit, kept.size());
    kept.append(buffer, std::min(room, static_cast<std::size_t>(got)));
  }
}

// The file `program` names: itself when it holds a '/', else the first
// executable of that name on the caller's PATH; else why there is none.
Expected<std::string, int> ProgramFile(const std::string& program) {
  if (program.find('/') != std::string::npos) return program;
  const char* const path = std::getenv("PATH");
  std::string_view folders = path ? path : "/usr/local/bin:/usr/bin:/bin";
  int error = ENOENT;
  while (!program.empty()) {
    const std::size_t end = std::min(folders.find(':'), folders.size());
    const std::string folder(folders.substr(0, end));
    const std::string file = (folder.empty() ? "." : folder) + "/" + program;
    struct stat info {};
    if (::stat(file.c_str(), &info) == 0 && S_ISREG(info.st_mode)) {
      if (::access(file.c_str(), X_OK) == 0) return file;
      error = EACCES;
    }
    if (end == folders.size()) break;
    folders.remove_prefix(end + 1);
  }
  return Unexpected(error);
}

std::vector<char*> Pointers(std::vector<std::string>& texts) {
  std::vector<char*> pointers;
  for (std::string& text : texts) pointers.push_back(text.data());
  pointers.push_back(nullptr);
  return pointers;
}

// Both ends of a pipe, closed when it goes; each end above stderr, so that
// setting up the program's stdin, stdout and stderr cannot overwrite one.
class Pipe {
public:
  Pipe() {
    int ends[2];
    if (::pipe2(ends, O_CLOEXEC) != 0) return;
    for (int i : {0, 1}) {
      ends_[i] = ends[i] > STDERR_FILENO ? ends[i] : ::fcntl(ends[i], F_DUPFD_CLOEXEC, STDERR_FILENO + 1);
      if (ends_[i] != ends[i]) ::close(ends[i]);
    }
  }
  ~Pipe() {
    Close(0);
    Close(1);
  }
  Pipe(const Pipe&) = delete;
  Pipe& operator=(const Pipe&) = delete;

  bool Made() const { return ends_[0] >= 0 && ends_[1] >= 0; }
  int ReadEnd() const { return ends_[0]; }
  int WriteEnd() const { return ends_[1]; }
  void Close(int end) {
    if (ends_[end] >= 0) ::close(ends_[end]);
    ends_[end] = -1;
  }

private:
  int ends_[2] = {-1, -1};
};

// All the forked program needs, made before the fork: after it, in a
// caller with threads, only async-signal-safe calls are allowed.
struct Launch {
  const char* file;
  char* const* argv;
  char* const* envp;
  const char* workingDir; // nullptr: the caller's
  int stderrEnd;          // the pipe the program's stderr goes to
  int errorEnd;           // closed by exec; else the errno of what failed
  pid_t caller, group;
};

// The forked child: joins the group, dies with the caller (even by kill -9),
// and becomes the program with the signals as a new process has them and
// none of the caller's files open.
[[noreturn]] void BecomeProgram(const Launch& launch) {
  ::setpgid(0, launch.group);
  ::prctl(PR_SET_PDEATHSIG, SIGKILL);
  if (::getppid() != launch.caller) ::_exit(127); // the caller died before the line above
  struct sigaction defaults {};
  defaults.sa_handler = SIG_DFL;
  for (int signal = 1; signal < NSIG; ++signal) ::sigaction(signal, &defaults, nullptr);
  sigset_t none;
  ::sigemptyset(&none);
  ::sigprocmask(SIG_SETMASK, &none, nullptr);
  int error = 0;
  const int null = ::open("/dev/null", O_RDWR);
  if (null < 0 || ::dup2(null, STDIN_FILENO) < 0 || ::dup2(null, STDOUT_FILENO) < 0 ||
      ::dup2(launch.stderrEnd, STDERR_FILENO) < 0) {
    error = errno;
  } else if (launch.workingDir && ::chdir(launch.workingDir) != 0) {
    error = errno;
  } else {
    ::close_range(STDERR_FILENO + 1, ~0U, CLOSE_RANGE_CLOEXEC);
    ::execve(launch.file, launch.argv, launch.envp);
    error = errno;
  }
  [[maybe_unused]] const ssize_t told = ::write(launch.errorEnd, &error, sizeof error);
  ::_exit(127);
}

// The forked watcher, leader of the program's group: when the caller dies,
// the kernel sends it SIGTERM and it kills the group, itself with it, so
// that nothing the program started outlives the caller. The caller kills
// the group itself at the end of every run.
[[noreturn]] void WatchForCallersDeath(pid_t caller) {
  ::setpgid(0, 0);
  ::close_range(0, ~0U, 0); // holds none of the caller's files open
  sigset_t death;
  ::sigemptyset(&death);
  ::sigaddset(&death, SIGTERM);
  ::sigprocmask(SIG_BLOCK, &death, nullptr);
  ::prctl(PR_SET_PDEATHSIG, SIGTERM);
  int signal = 0;
  if (::getppid() == caller) ::sigwait(&death, &signal);
  ::kill(0, SIGKILL);
  ::_exit(0);
}

} // namespace

std::vector<std::string> MinimalEnvironment() {
  std::vector<std::string> kept;
  for (char** entry = environ; *entry; ++entry) {
    const std::string_view text = *entry;
    const std::string_view name = text.substr(0, text.find('='));
    if (name == "PATH" || name == "HOME" || name == "LANG" || name == "LANGUAGE" || name.starts_with("LC_"))
      kept.emplace_back(text);
  }
  return kept;
}

Expected<ProcessOutcome, StartFailure> RunProcess(const ProcessCall& call) {
  const auto cannotStart = [&](int error) {
    return Unexpected(StartFailure{error, Failure{"cannot start " + call.program + ": " + ErrorText(error)}});
  };
  const auto file = ProgramFile(call.program);
  if (!file) return cannotStart(file.error());
  std::vector<std::string> arguments{call.program};
  arguments.insert(arguments.end(), call.arguments.begin(), call.arguments.end());
  std::vector<std::string> environment = call.environment;
  const std::vector<char*> argv = Pointers(arguments), envp = Pointers(environment);

  const pid_t caller = ::getpid();
  const pid_t group = ::fork();
  if (group < 0) return cannotStart(errno);
  if (group == 0) WatchForCallersDeath(caller);
  ::setpgid(group, group); // before the program joins it, whichever runs first
  int groupStatus = 0;
  const auto endGroup = [&] {
    ::kill(-group, SIGKILL);
    AwaitEnd(group, groupStatus);
  };

  Pipe output, startError;
  if (!output.Made() || !startError.Made()) {
    const int error = errno;
    endGroup();
    return cannotStart(error);
  }
  const Launch launch{file->c_str(),
                      argv.data(),
                      envp.data(),
                      call.workingDir.empty() ? nullptr : call.workingDir.c_str(),
                      output.WriteEnd(),
                      startError.WriteEnd(),
                      caller,
                      group};
  const pid_t pid = ::fork();
  if (pid < 0) {
    const int error = errno;
    endGroup();
    return cannotStart(error);
  }
  if (pid == 0) BecomeProgram(launch);
  ::setpgid(pid, group);
  output.Close(1);
  startError.Close(1);

  int status = -1; // an end not seen is no success
  int error = 0;
  ssize_t told = 0;
  do {
    told = ::read(startError.ReadEnd(), &error, sizeof error);
  } while (told < 0 && errno == EINTR);
  if (told == sizeof error) {
    AwaitEnd(pid, status);
    endGroup();
    return cannotStart(error);
  }

  ProcessOutcome outcome;
  const EndWatch watch(Clock::now() + call.timeLimit, call.cancel);
  const bool ended = Follow(pid, output.ReadEnd(), watch, call.stderrLimit, outcome.stderrText, status);
  if (!ended) {
    ::kill(pid, SIGKILL);
    AwaitEnd(pid, status);
  }
  endGroup(); // whatever the end: a child the program left behind goes with it
  if (!ended) {
    outcome.cancelled = watch.Cancelled();
    outcome.timedOut = !outcome.cancelled;
    return outcome;
  }
  if (WIFEXITED(status)) outcome.exitStatus = WEXITSTATUS(status);
  return outcome;
}

} // namespace sinkview
