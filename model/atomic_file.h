#pragma once

#include <cstddef>
#include <string>
#include <string_view>
#include <sys/types.h>

#include "model/expected.h"
#include "model/failure.h"

namespace sinkview {

// Whether a written file reaches the disk before the call returns, or with
// the caller's later sync (a batch of thousands syncs once at its end).
enum class FlushToDisk { Now, Later };

// A file written piece by piece through a temporary file in the same folder
// that Commit renames into place, so a failure never leaves a half-written
// or emptied file; one dropped without Commit leaves nothing behind. A new
// file gets the permissions a plain write would give, a replaced one keeps
// its own; a file the user may not write is not replaced.
class AtomicFile {
public:
  // Refuses, naming the file, when `path` may not be replaced or no
  // temporary file can be made beside it.
  [[nodiscard]] static Expected<AtomicFile, Failure> Open(const std::string& path);

  AtomicFile(AtomicFile&& other) noexcept;
  AtomicFile& operator=(AtomicFile&& other) noexcept;
  AtomicFile(const AtomicFile&) = delete;
  AtomicFile& operator=(const AtomicFile&) = delete;
  ~AtomicFile();

  // Appends `chunk`. The first failure is kept for Commit, and nothing is
  // written after it.
  void Write(std::string_view chunk);

  // Puts the file in place; else a message naming the file and the reason,
  // and the previous file, if any, is unchanged. Once only.
  [[nodiscard]] MaybeFailure Commit(FlushToDisk flush = FlushToDisk::Now);

private:
  AtomicFile() = default;
  void Fail(const char* step);
  void Discard();

  std::string path_, temporary_;
  int fd_ = -1;
  bool replaces_ = false;
  mode_t mode_ = 0;
  uid_t owner_ = 0;
  gid_t group_ = 0;
  const char* failedStep_ = nullptr;
  int error_ = 0;
};

// The message for a file that could not be written at `step` ("writing"),
// with the system's reason for `error`.
Failure CannotWrite(const std::string& path, const char* step, int error);

// Writes `text` to `path` as one AtomicFile.
[[nodiscard]] MaybeFailure WriteFileAtomically(const std::string& path, std::string_view text,
                                               FlushToDisk flush = FlushToDisk::Now);

// The temporary file's name for `fileName`: hidden and plainly temporary,
// ".NAME.UNIQUE.tmp", with NAME shortened so that the whole fits `nameLimit`.
std::string TemporaryName(std::string_view fileName, std::size_t nameLimit, std::string_view unique);

} // namespace sinkview
