#pragma once

#include <cstddef>
#include <string>

namespace sinkview {

// A small text file read in one go, and the file closed again.
struct WholeFile {
  enum class Problem { None, Missing, CannotRead, TooLarge };
  Problem problem = Problem::None;
  std::string text;
};

// Reads a regular file of at most `maxBytes`; a folder, a device or a file
// without read access "cannot be read".
WholeFile ReadWholeFile(const std::string& path, std::size_t maxBytes);

} // namespace sinkview
