#pragma once

#include <cstddef>
#include <string>

namespace sinkview {

// A small text file read in one go, and the file closed again.
struct WholeFile {
  enum class Problem { None, Missing, CannotRead, NotRegular, TooLarge };
  Problem problem = Problem::None;
  int error = 0; // the errno of Missing and CannotRead
  std::string text;
};

// Reads a regular file of at most `maxBytes`. A folder, a pipe or a device is
// refused without waiting on it (a pipe without a writer would block).
[[nodiscard]] WholeFile ReadWholeFile(const std::string& path, std::size_t maxBytes);

} // namespace sinkview
