#pragma once

#include <cstddef>
#include <string>
#include <string_view>

#include "base/expected.h"
#include "base/failure.h"

namespace sinkview {

// A file's bytes mapped read-only: a study's long.csv is read back for the
// workbook without holding a copy of it in memory.
class MappedFile {
public:
  // Refuses, naming the file and the reason, when it cannot be read.
  [[nodiscard]] static Expected<MappedFile, Failure> Open(const std::string& path);
  // The file open as `fd` (not taken over); `shownPath` names it.
  [[nodiscard]] static Expected<MappedFile, Failure> OfDescriptor(int fd, const std::string& shownPath);

  MappedFile(MappedFile&& other) noexcept;
  MappedFile& operator=(MappedFile&& other) noexcept;
  MappedFile(const MappedFile&) = delete;
  MappedFile& operator=(const MappedFile&) = delete;
  ~MappedFile();

  std::string_view Text() const { return {static_cast<const char*>(data_), size_}; }

  // Lets go of the pages before byte `upTo`, read and done with: they stay
  // readable (from the file), but no longer count to the program's memory.
  void Release(std::size_t upTo) const;

private:
  MappedFile() = default;
  void* data_ = nullptr;
  std::size_t size_ = 0;
};

} // namespace sinkview
