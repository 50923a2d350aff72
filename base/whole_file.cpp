#include "base/whole_file.h"

#include <cerrno>
#include <fcntl.h>
#include <poll.h>
#include <sys/stat.h>
#include <unistd.h>

namespace sinkview {

namespace {

// Closes the file however the reading ends, a buffer that cannot be had
// included.
class OpenFile {
public:
  explicit OpenFile(int fd) : fd_(fd) {}
  ~OpenFile() {
    if (fd_ >= 0) ::close(fd_);
  }
  OpenFile(const OpenFile&) = delete;
  OpenFile& operator=(const OpenFile&) = delete;
  int fd() const { return fd_; }

private:
  int fd_;
};

} // namespace

WholeFile ReadWholeFile(const std::string& path, std::size_t maxBytes) {
  WholeFile file;
  // Not blocking on the open: a pipe's open waits for a writer. The flag
  // stays: the reading waits only as long as it may.
  const OpenFile opened(::open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK | O_NOCTTY));
  const int fd = opened.fd();
  if (fd < 0) {
    file.error = errno;
    file.problem = errno == ENOENT ? WholeFile::Problem::Missing : WholeFile::Problem::CannotRead;
    return file;
  }
  struct stat info {};
  if (::fstat(fd, &info) != 0) {
    file.error = errno;
    file.problem = WholeFile::Problem::CannotRead;
  } else if (!S_ISREG(info.st_mode)) {
    file.problem = WholeFile::Problem::NotRegular;
  } else if (static_cast<std::size_t>(info.st_size) > maxBytes) {
    file.problem = WholeFile::Problem::TooLarge;
  } else {
    file = ReadToEnd(fd, static_cast<std::size_t>(info.st_size), maxBytes, kReadWaitLimit);
  }
  return file;
}

WholeFile ReadToEnd(int fd, std::size_t expected, std::size_t maxBytes, std::chrono::milliseconds waitLimit) {
  WholeFile file;
  const int flags = ::fcntl(fd, F_GETFL);
  if (flags < 0 || ::fcntl(fd, F_SETFL, flags | O_NONBLOCK) != 0) {
    file.error = errno;
    file.problem = WholeFile::Problem::CannotRead;
    return file;
  }
  const auto deadline = std::chrono::steady_clock::now() + waitLimit;
  // Read to the end rather than to the size seen: the file may change.
  file.text.resize(expected + 1);
  std::size_t filled = 0;
  while (true) {
    if (filled == file.text.size()) {
      if (filled > maxBytes) {
        file.problem = WholeFile::Problem::TooLarge;
        break;
      }
      file.text.resize(filled * 2);
    }
    const ssize_t got = ::read(fd, file.text.data() + filled, file.text.size() - filled);
    if (got < 0 && errno == EINTR) continue;
    if (got < 0 && (errno == EAGAIN || errno == EWOULDBLOCK)) {
      const auto left =
          std::chrono::ceil<std::chrono::milliseconds>(deadline - std::chrono::steady_clock::now()).count();
      pollfd wait{fd, POLLIN, 0};
      const int ready = left > 0 ? ::poll(&wait, 1, static_cast<int>(left)) : 0;
      if (ready > 0 || (ready < 0 && errno == EINTR)) continue;
      file.error = ready < 0 ? errno : 0;
      file.problem = ready < 0 ? WholeFile::Problem::CannotRead : WholeFile::Problem::NoEnd;
      break;
    }
    if (got < 0) {
      file.error = errno;
      file.problem = WholeFile::Problem::CannotRead;
      break;
    }
    if (got == 0) break;
    filled += static_cast<std::size_t>(got);
  }
  file.text.resize(file.problem == WholeFile::Problem::None ? filled : 0);
  return file;
}

} // namespace sinkview
