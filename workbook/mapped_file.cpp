#include "workbook/mapped_file.h"

#include <algorithm>
#include <cerrno>
#include <fcntl.h>
#include <sys/mman.h>
#include <sys/stat.h>
#include <unistd.h>
#include <utility>

#include "base/reader_text.h"

namespace sinkview {

namespace {

Failure CannotRead(const std::string& path, int error) {
  return Failure{"The file " + ShownFileName(path) + " cannot be read back (" + ErrorText(error) + ")."};
}

} // namespace

Expected<MappedFile, Failure> MappedFile::OfDescriptor(int fd, const std::string& shownPath) {
  struct stat status {};
  if (::fstat(fd, &status) != 0) return Unexpected(CannotRead(shownPath, errno));
  if (!S_ISREG(status.st_mode)) return Unexpected(CannotRead(shownPath, EINVAL));
  MappedFile file;
  file.size_ = static_cast<std::size_t>(status.st_size);
  if (file.size_ == 0) return file; // nothing to map
  void* data = ::mmap(nullptr, file.size_, PROT_READ, MAP_PRIVATE, fd, 0);
  if (data == MAP_FAILED) return Unexpected(CannotRead(shownPath, errno));
  file.data_ = data;
  return file;
}

Expected<MappedFile, Failure> MappedFile::Open(const std::string& path) {
  const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK);
  if (fd < 0) return Unexpected(CannotRead(path, errno));
  auto file = OfDescriptor(fd, path);
  ::close(fd); // the mapping stays
  return file;
}

void MappedFile::Release(std::size_t upTo) const {
  static const auto page = static_cast<std::size_t>(::sysconf(_SC_PAGESIZE));
  const std::size_t whole = std::min(upTo, size_) / page * page;
  // A private mapping never written to: its pages are read again if needed.
  if (whole > 0) ::madvise(data_, whole, MADV_DONTNEED);
}

MappedFile::MappedFile(MappedFile&& other) noexcept { *this = std::move(other); }

MappedFile& MappedFile::operator=(MappedFile&& other) noexcept {
  if (this == &other) return *this;
  if (data_ != nullptr) ::munmap(data_, size_);
  data_ = std::exchange(other.data_, nullptr);
  size_ = std::exchange(other.size_, 0);
  return *this;
}

MappedFile::~MappedFile() {
  if (data_ != nullptr) ::munmap(data_, size_);
}

} // namespace sinkview
