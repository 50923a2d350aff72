#include "model/atomic_file.h"

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace sinkview {

namespace {

std::string Failure(const std::string& path, const char* what, int error) {
  return "The file " + path + " cannot be written (" + what + ": " + std::strerror(error) +
         "). The previous file, if any, is unchanged.";
}

// New files get the permissions an ordinary open for writing would give;
// a replaced file keeps its own.
mode_t PermissionsFor(const std::string& path) {
  struct stat existing {};
  if (::stat(path.c_str(), &existing) == 0) return existing.st_mode & 07777;
  const mode_t mask = ::umask(0);
  ::umask(mask);
  return 0666 & ~mask;
}

bool WriteAll(int fd, std::string_view text) {
  const char* data = text.data();
  std::size_t left = text.size();
  while (left > 0) {
    const ssize_t written = ::write(fd, data, left);
    if (written < 0) {
      if (errno == EINTR) continue;
      return false;
    }
    data += written;
    left -= static_cast<std::size_t>(written);
  }
  return true;
}

} // namespace

std::string WriteFileAtomically(const std::string& path, std::string_view text, FlushToDisk flush) {
  const mode_t permissions = PermissionsFor(path);
  std::string temporary = path + ".XXXXXX";
  const int fd = ::mkstemp(temporary.data());
  if (fd < 0) return Failure(path, "no temporary file in its folder", errno);
  const char* failedStep = nullptr;
  int error = 0;
  auto fail = [&](const char* step) {
    if (failedStep != nullptr) return;
    failedStep = step;
    error = errno;
  };
  if (!WriteAll(fd, text)) {
    fail("writing");
  } else if (::fchmod(fd, permissions) != 0) {
    fail("setting its permissions");
  } else if (flush == FlushToDisk::Now && ::fsync(fd) != 0) {
    fail("writing");
  }
  if (::close(fd) != 0) fail("writing");
  if (failedStep == nullptr && ::rename(temporary.c_str(), path.c_str()) != 0) fail("replacing");
  if (failedStep != nullptr) {
    ::unlink(temporary.c_str());
    return Failure(path, failedStep, error);
  }
  return "";
}

} // namespace sinkview
