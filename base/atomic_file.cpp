#include "base/atomic_file.h"

#include <cerrno>
#include <climits>
#include <cstdio>
#include <cstring>
#include <fcntl.h>
#include <random>
#include <sys/stat.h>
#include <unistd.h>
#include <utility>

#include "base/reader_text.h"

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

// The permissions a plain open for writing gives a new file. The umask is
// read from the process's status: umask() would change it, which races
// between threads. Without that line (no /proc), the common umask 022.
mode_t PlainWriteMode() {
  mode_t mask = 022;
  if (std::FILE* status = std::fopen("/proc/self/status", "re")) {
    char line[256];
    unsigned value = 0;
    while (std::fgets(line, sizeof line, status)) {
      if (std::sscanf(line, "Umask: %o", &value) == 1) {
        mask = static_cast<mode_t>(value);
        break;
      }
    }
    std::fclose(status);
  }
  return 0666 & ~mask;
}

// Calls `make` with hidden temporary names for `name` until one is free,
// shortening them for a folder whose names are shorter than usual.
template <typename Make>
int WithTemporaryName(int folder, const std::string& name, std::string& temporary, const Make& make) {
  std::size_t nameLimit = NAME_MAX;
  for (int attempt = 0; attempt < 100; ++attempt) {
    temporary = TemporaryName(name, nameLimit, RandomLetters());
    const int result = make(temporary.c_str());
    if (result >= 0) return result;
    if (errno == EEXIST) continue;
    const long limit = errno == ENAMETOOLONG ? ::fpathconf(folder, _PC_NAME_MAX) : -1;
    if (limit <= 0 || static_cast<std::size_t>(limit) >= nameLimit) break;
    nameLimit = static_cast<std::size_t>(limit);
  }
  temporary.clear();
  return -1;
}

// An unnamed file is given its name through /proc: linkat with
// AT_EMPTY_PATH needs a privilege users lack.
std::string OpenFileLink(int fd) { return "/proc/self/fd/" + std::to_string(fd); }

// O_TMPFILE makes the file without a name, so a killed run leaves nothing;
// file systems without it (older NFS, some FUSE ones), and machines without
// /proc to name it by, get a hidden named temporary instead.
int CreateTemporary(int folder, const std::string& name, std::string& temporary) {
  static const bool canNameUnnamed = ::access("/proc/self/fd", X_OK) == 0;
  if (canNameUnnamed) {
    const int fd = ::openat(folder, ".", O_TMPFILE | O_WRONLY | O_CLOEXEC, 0600);
    if (fd >= 0 || (errno != EOPNOTSUPP && errno != EISDIR && errno != EINVAL)) return fd;
  }
  return WithTemporaryName(folder, name, temporary, [&](const char* candidate) {
    return ::openat(folder, candidate, O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, 0600);
  });
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

Expected<OutputFolder, Failure> OutputFolder::Open(const std::string& path) {
  const int fd = ::open(path.empty() ? "." : path.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
  if (fd < 0) {
    const int error = errno;
    Failure failure{"The folder " + ShownFileName(path) + " cannot be opened for writing (" +
                    std::strerror(error) + ")."};
    errno = error; // for AtomicFile::Open, which names the file instead
    return Unexpected(std::move(failure));
  }
  OutputFolder folder;
  folder.path_ = path.empty() || path.back() == '/' ? path : path + '/';
  folder.handle_ = std::shared_ptr<const int>(new int(fd), [](const int* handle) {
    ::close(*handle);
    delete handle;
  });
  return folder;
}

Expected<OutputFolder, Failure> OutputFolder::Containing(const std::string& path) {
  const std::size_t slash = path.rfind('/');
  if (slash == std::string::npos) return Open("");
  return Open(path.substr(0, slash + 1));
}

std::string OutputFolder::PathOf(std::string_view name) const { return path_ + std::string(name); }

Expected<void, Failure> OutputFolder::Flush() const {
  // syncfs reports the write errors of the whole file system since it was
  // last asked, which the files' own closing never does.
  const char* step = ::syncfs(Descriptor()) != 0 ? "syncfs" : ::fsync(Descriptor()) != 0 ? "fsync" : nullptr;
  if (step == nullptr) return {};
  const std::string folder = path_.empty() ? "the working folder" : ShownFileName(path_);
  return Unexpected(Failure{"The files written to " + folder +
                            " may not have reached the disk: the file system it lies on cannot be flushed (" +
                            step + ": " + std::strerror(errno) + ")."});
}

Expected<AtomicFile, Failure> AtomicFile::Open(const OutputFolder& folder, std::string_view name) {
  AtomicFile file;
  file.folder_ = folder;
  file.name_ = name;
  file.path_ = folder.PathOf(name);
  const int at = folder.Descriptor();
  if (name.empty() || name.find('/') != std::string_view::npos || name == "." || name == "..")
    return Unexpected(CannotWrite(file.path_, "naming it", EINVAL));
  // The entry itself, never what a link there points to.
  struct stat existing {};
  if (::fstatat(at, file.name_.c_str(), &existing, AT_SYMLINK_NOFOLLOW) == 0) {
    if (S_ISDIR(existing.st_mode)) return Unexpected(CannotWrite(file.path_, "replacing", EISDIR));
    file.keepsOwnership_ = S_ISREG(existing.st_mode);
  }
  // Renaming needs only the folder's permission; a file the user may not
  // write is not replaced either.
  if (file.keepsOwnership_ &&
      ::faccessat(at, file.name_.c_str(), W_OK, AT_EACCESS | AT_SYMLINK_NOFOLLOW) != 0) {
    return Unexpected(CannotWrite(file.path_, "replacing", errno));
  }
  file.mode_ = file.keepsOwnership_ ? existing.st_mode & 0777 : PlainWriteMode();
  file.owner_ = existing.st_uid;
  file.group_ = existing.st_gid;
  file.fd_ = CreateTemporary(at, file.name_, file.temporary_);
  if (file.fd_ < 0) return Unexpected(CannotWrite(file.path_, "no temporary file in its folder", errno));
  return file;
}

Expected<AtomicFile, Failure> AtomicFile::Open(const std::string& path) {
  auto folder = OutputFolder::Containing(path);
  if (!folder) return Unexpected(CannotWrite(path, "opening its folder", errno));
  const std::size_t slash = path.rfind('/');
  return Open(*folder,
              slash == std::string::npos ? std::string_view(path) : std::string_view(path).substr(slash + 1));
}

std::string_view OutputFile::Name() const {
  const std::size_t slash = path_.rfind('/');
  return slash == std::string::npos ? std::string_view(path_) : std::string_view(path_).substr(slash + 1);
}

Expected<void, Failure> OutputFile::OpenFolder() {
  if (folder_) return {};
  auto folder = OutputFolder::Containing(path_);
  if (!folder) return Unexpected(CannotWrite(path_, "opening its folder", errno));
  folder_ = std::move(*folder);
  return {};
}

Expected<AtomicFile, Failure> AtomicFile::Open(const OutputFile& file) {
  if (const OutputFolder* folder = file.Folder()) return Open(*folder, file.Name());
  return Open(file.Path());
}

AtomicFile::AtomicFile(AtomicFile&& other) noexcept { *this = std::move(other); }

AtomicFile& AtomicFile::operator=(AtomicFile&& other) noexcept {
  if (this == &other) return *this;
  Discard();
  folder_ = std::move(other.folder_);
  name_ = std::move(other.name_);
  path_ = std::move(other.path_);
  temporary_ = std::move(other.temporary_);
  fd_ = std::exchange(other.fd_, -1);
  size_ = other.size_;
  keepsOwnership_ = other.keepsOwnership_;
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
  if (!temporary_.empty()) ::unlinkat(folder_.Descriptor(), temporary_.c_str(), 0);
  fd_ = -1;
}

void AtomicFile::Fail(const char* step) {
  if (failedStep_ != nullptr) return;
  failedStep_ = step;
  error_ = errno;
}

void AtomicFile::Write(std::string_view chunk) {
  if (fd_ < 0 || failedStep_ != nullptr) return;
  if (WriteAll(fd_, chunk)) {
    size_ += chunk.size();
  } else {
    Fail("writing");
  }
}

Expected<void, Failure> AtomicFile::Finish(FlushToDisk flush) {
  if (fd_ < 0) return Unexpected(CannotWrite(path_, "writing", EBADF));
  // A replaced file keeps its owner where that is allowed (root's edits);
  // else the file becomes the user's, as a plain write would not make it.
  if (failedStep_ == nullptr && keepsOwnership_ && (owner_ != ::geteuid() || group_ != ::getegid()))
    (void)::fchown(fd_, owner_, group_);
  if (failedStep_ == nullptr && ::fchmod(fd_, mode_) != 0) Fail("setting its permissions");
  if (failedStep_ == nullptr && flush == FlushToDisk::Now && ::fsync(fd_) != 0) Fail("writing");
  if (failedStep_ == nullptr) return {};
  Discard();
  return Unexpected(CannotWrite(path_, failedStep_, error_));
}

Expected<void, Failure> AtomicFile::Publish() {
  const int at = folder_.Descriptor();
  if (temporary_.empty()) {
    // A new name is linked at once; one in use gets a hidden name to be
    // renamed over it, as linkat never replaces.
    const std::string self = OpenFileLink(fd_);
    if (::linkat(AT_FDCWD, self.c_str(), at, name_.c_str(), AT_SYMLINK_FOLLOW) != 0) {
      if (errno != EEXIST) {
        Fail("replacing");
      } else if (WithTemporaryName(at, name_, temporary_, [&](const char* candidate) {
                   return ::linkat(AT_FDCWD, self.c_str(), at, candidate, AT_SYMLINK_FOLLOW);
                 }) < 0) {
        Fail("no temporary file in its folder");
      }
    }
  }
  if (failedStep_ == nullptr && !temporary_.empty() &&
      ::renameat(at, temporary_.c_str(), at, name_.c_str()) != 0)
    Fail("replacing");
  if (failedStep_ == nullptr) temporary_.clear();
  Discard();
  if (failedStep_ == nullptr) return {};
  return Unexpected(CannotWrite(path_, failedStep_, error_));
}

Expected<void, Failure> AtomicFile::Commit(FlushToDisk flush) {
  if (auto finished = Finish(flush); !finished) return finished;
  if (auto published = Publish(); !published) return published;
  if (flush == FlushToDisk::Now && ::fsync(folder_.Descriptor()) != 0)
    return Unexpected(CannotWrite(path_, "writing its folder", errno));
  return {};
}

Expected<void, Failure> WriteFileAtomically(const OutputFolder& folder, std::string_view name,
                                            std::string_view text, FlushToDisk flush) {
  auto file = AtomicFile::Open(folder, name);
  if (!file) return Unexpected(file.error());
  file->Write(text);
  return file->Commit(flush);
}

Expected<void, Failure> WriteFileAtomically(const std::string& path, std::string_view text,
                                            FlushToDisk flush) {
  auto file = AtomicFile::Open(path);
  if (!file) return Unexpected(file.error());
  file->Write(text);
  return file->Commit(flush);
}

} // namespace sinkview
