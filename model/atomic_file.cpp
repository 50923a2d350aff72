#include "model/atomic_file.h"

#include <cerrno>
#include <climits>
#include <cstring>
#include <fcntl.h>
#include <random>
#include <sys/stat.h>
#include <unistd.h>

#include "model/reader_text.h"

namespace sinkview {

namespace {

std::string Failure(const std::string& path, const char* what, int error) {
  return "The file " + ShownFileName(path) + " cannot be written (" + what + ": " + std::strerror(error) +
         "). The previous file, if any, is unchanged.";
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

std::string RandomLetters() {
  static constexpr char kLetters[] = "abcdefghijklmnopqrstuvwxyzABCDEFGHIJKLMNOPQRSTUVWXYZ0123456789";
  thread_local std::mt19937_64 random{std::random_device{}()};
  std::string letters(6, ' ');
  for (char& c : letters) c = kLetters[random() % (sizeof kLetters - 1)];
  return letters;
}

// Creates the temporary file beside `path` with the permissions a plain
// open for writing would give (the kernel applies the umask; reading the
// umask would change it, which races between threads).
int CreateTemporary(const std::string& path, std::string& temporary) {
  const std::size_t slash = path.rfind('/');
  const std::string folder = slash == std::string::npos ? "" : path.substr(0, slash + 1);
  const std::string name = slash == std::string::npos ? path : path.substr(slash + 1);
  std::size_t nameLimit = NAME_MAX;
  for (int attempt = 0; attempt < 100; ++attempt) {
    temporary = folder + TemporaryName(name, nameLimit, RandomLetters());
    const int fd = ::open(temporary.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
    if (fd >= 0 || errno == EEXIST) {
      if (fd >= 0) return fd;
      continue;
    }
    if (errno != ENAMETOOLONG) return -1;
    // A folder whose names are shorter than usual.
    const long limit = ::pathconf(folder.empty() ? "." : folder.c_str(), _PC_NAME_MAX);
    if (limit <= 0 || static_cast<std::size_t>(limit) >= nameLimit) return -1;
    nameLimit = static_cast<std::size_t>(limit);
  }
  errno = EEXIST;
  return -1;
}

} // namespace

std::string TemporaryName(std::string_view fileName, std::size_t nameLimit, std::string_view unique) {
  const std::size_t frame = 1 + 1 + unique.size() + 4; // ".", ".", the letters, ".tmp"
  std::size_t keep = nameLimit > frame ? std::min(fileName.size(), nameLimit - frame) : 0;
  // Never cut inside a character of several bytes.
  while (keep > 0 && keep < fileName.size() && (static_cast<unsigned char>(fileName[keep]) & 0xc0) == 0x80)
    --keep;
  return "." + std::string(fileName.substr(0, keep)) + "." + std::string(unique) + ".tmp";
}

std::string WriteFileAtomically(const std::string& path, std::string_view text, FlushToDisk flush) {
  struct stat existing {};
  const bool replaces = ::stat(path.c_str(), &existing) == 0;
  // Renaming needs only the folder's permission; a file the user may not
  // write is not replaced either.
  if (replaces && ::faccessat(AT_FDCWD, path.c_str(), W_OK, AT_EACCESS) != 0) {
    return Failure(path, "replacing", errno);
  }
  std::string temporary;
  const int fd = CreateTemporary(path, temporary);
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
  } else if (replaces && ::fchmod(fd, existing.st_mode & 07777) != 0) {
    fail("setting its permissions");
  } else if (flush == FlushToDisk::Now && ::fsync(fd) != 0) {
    fail("writing");
  }
  // A replaced file keeps its owner where that is allowed (root's edits).
  if (replaces && failedStep == nullptr &&
      (existing.st_uid != ::geteuid() || existing.st_gid != ::getegid())) {
    if (::fchown(fd, existing.st_uid, existing.st_gid) != 0) {
      // Not allowed: the file becomes the user's, as a plain write would not make it.
    }
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
