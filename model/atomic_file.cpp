#include "model/atomic_file.h"

#include <cerrno>
#include <climits>
#include <cstring>
#include <fcntl.h>
#include <random>
#include <sys/stat.h>
#include <unistd.h>
#include <utility>

#include "model/reader_text.h"

namespace sinkview {

Failure CannotWrite(const std::string& path, const char* step, int error) {
  return Failure{"The file " + ShownFileName(path) + " cannot be written (" + step + ": " + ErrorText(error) +
                 "). The previous file, if any, is unchanged."};
}

namespace {

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

Expected<AtomicFile, Failure> AtomicFile::Open(const std::string& path) {
  AtomicFile file;
  file.path_ = path;
  struct stat existing {};
  file.replaces_ = ::stat(path.c_str(), &existing) == 0;
  // Renaming needs only the folder's permission; a file the user may not
  // write is not replaced either.
  if (file.replaces_ && ::faccessat(AT_FDCWD, path.c_str(), W_OK, AT_EACCESS) != 0) {
    return Unexpected(CannotWrite(path, "replacing", errno));
  }
  file.mode_ = existing.st_mode & 07777;
  file.owner_ = existing.st_uid;
  file.group_ = existing.st_gid;
  file.fd_ = CreateTemporary(path, file.temporary_);
  if (file.fd_ < 0) return Unexpected(CannotWrite(path, "no temporary file in its folder", errno));
  return file;
}

AtomicFile::AtomicFile(AtomicFile&& other) noexcept { *this = std::move(other); }

AtomicFile& AtomicFile::operator=(AtomicFile&& other) noexcept {
  if (this == &other) return *this;
  Discard();
  path_ = std::move(other.path_);
  temporary_ = std::move(other.temporary_);
  fd_ = std::exchange(other.fd_, -1);
  replaces_ = other.replaces_;
  mode_ = other.mode_;
  owner_ = other.owner_;
  group_ = other.group_;
  failedStep_ = other.failedStep_;
  error_ = other.error_;
  return *this;
}

AtomicFile::~AtomicFile() { Discard(); }

void AtomicFile::Discard() {
  if (fd_ < 0) return;
  ::close(fd_);
  ::unlink(temporary_.c_str());
  fd_ = -1;
}

void AtomicFile::Fail(const char* step) {
  if (failedStep_ != nullptr) return;
  failedStep_ = step;
  error_ = errno;
}

void AtomicFile::Write(std::string_view chunk) {
  if (fd_ >= 0 && failedStep_ == nullptr && !WriteAll(fd_, chunk)) Fail("writing");
}

MaybeFailure AtomicFile::Commit(FlushToDisk flush) {
  if (fd_ < 0) return CannotWrite(path_, "writing", EBADF);
  if (failedStep_ == nullptr && replaces_ && ::fchmod(fd_, mode_) != 0) {
    Fail("setting its permissions");
  } else if (failedStep_ == nullptr && flush == FlushToDisk::Now && ::fsync(fd_) != 0) {
    Fail("writing");
  }
  // A replaced file keeps its owner where that is allowed (root's edits).
  if (replaces_ && failedStep_ == nullptr && (owner_ != ::geteuid() || group_ != ::getegid())) {
    if (::fchown(fd_, owner_, group_) != 0) {
      // Not allowed: the file becomes the user's, as a plain write would not make it.
    }
  }
  const int fd = std::exchange(fd_, -1);
  if (::close(fd) != 0) Fail("writing");
  if (failedStep_ == nullptr && ::rename(temporary_.c_str(), path_.c_str()) != 0) Fail("replacing");
  if (failedStep_ == nullptr) return std::nullopt;
  ::unlink(temporary_.c_str());
  return CannotWrite(path_, failedStep_, error_);
}

MaybeFailure WriteFileAtomically(const std::string& path, std::string_view text, FlushToDisk flush) {
  auto file = AtomicFile::Open(path);
  if (!file) return file.error();
  file->Write(text);
  return file->Commit(flush);
}

} // namespace sinkview
