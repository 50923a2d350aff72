#pragma once

#include <chrono>
#include <cstddef>
#include <string>

namespace sinkview {

// A small text file read in one go, and the file closed again.
struct WholeFile {
  enum class Problem { None, Missing, CannotRead, NotRegular, TooLarge, NoEnd };
  Problem problem = Problem::None;
  int error = 0; // the errno of Missing and CannotRead
  std::string text;
};

// How long reading a file may wait for its contents, in all: a file on a
// disk never keeps its reader waiting, while a kernel interface such as
// /proc/kmsg, a regular file to fstat, waits for ever.
inline constexpr std::chrono::milliseconds kReadWaitLimit{2000};

// Reads a regular file of at most `maxBytes`. A folder, a pipe or a device is
// refused without waiting on it (a pipe without a writer would block), and
// a file that has not ended within kReadWaitLimit is NoEnd.
[[nodiscard]] WholeFile ReadWholeFile(const std::string& path, std::size_t maxBytes);

// Reads an open file to its end: at most `maxBytes` (about `expected`), and
// waiting for its contents at most `waitLimit`. The descriptor is made
// non-blocking and stays open.
[[nodiscard]] WholeFile ReadToEnd(int fd, std::size_t expected, std::size_t maxBytes,
                                  std::chrono::milliseconds waitLimit);

} // namespace sinkview
