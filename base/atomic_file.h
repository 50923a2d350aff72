#pragma once

#include <cstddef>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <sys/types.h>

#include "base/expected.h"
#include "base/failure.h"

namespace sinkview {

// Whether a written file reaches the disk before the call returns, or with
// the caller's later OutputFolder::Flush (a batch of thousands flushes once).
enum class FlushToDisk { Now, Later };

// A folder opened once for the files written into it: every file is made,
// checked and renamed relative to this handle, so a folder swapped for a
// link while a run writes never redirects its files.
class OutputFolder {
public:
  // Opens the folder `path` names; refuses, naming it, when it cannot.
  [[nodiscard]] static Expected<OutputFolder, Failure> Open(const std::string& path);
  // Opens the folder a file of `path` goes into.
  [[nodiscard]] static Expected<OutputFolder, Failure> Containing(const std::string& path);

  // `name` inside this folder, as messages show it.
  std::string PathOf(std::string_view name) const;
  int Descriptor() const { return *handle_; }

  // Flushes the file system the folder lies on and the folder's entries;
  // else a message naming them.
  [[nodiscard]] Expected<void, Failure> Flush() const;

private:
  friend class AtomicFile;
  OutputFolder() = default;

  std::string path_;                  // as given, ending in "/", or "" for the working folder
  std::shared_ptr<const int> handle_; // closed with the last copy
};

// A file to be written into a folder that may be opened ahead of time: a
// run opens the folder of each of its outputs when it starts, as it opens
// its output folder, so that a folder swapped for a link while it works
// never redirects a file drawn at its end. Made from a path alone, the
// folder is opened when the file is written.
class OutputFile {
public:
  OutputFile() = default;
  OutputFile(std::string path) : path_(std::move(path)) {} // NOLINT: a path is a file not yet opened
  OutputFile(const char* path) : path_(path) {}            // NOLINT
  OutputFile(const OutputFolder& folder, std::string_view name)
      : path_(folder.PathOf(name)), folder_(folder) {}

  // The file's folder opened now, when it is not yet; else a message
  // naming the file.
  [[nodiscard]] Expected<void, Failure> OpenFolder();

  const std::string& Path() const { return path_; }
  bool Empty() const { return path_.empty(); }
  // The folder opened for the file, or nullptr while it is not.
  const OutputFolder* Folder() const { return folder_ ? &*folder_ : nullptr; }
  // The file's name within its folder.
  std::string_view Name() const;

private:
  std::string path_;
  std::optional<OutputFolder> folder_;
};

// A file written piece by piece through a temporary file in its folder that
// Commit renames into place, so a failure never leaves a half-written or
// emptied file; one dropped without Commit leaves nothing behind. The
// temporary is readable by its owner alone and has no name until it is put
// in place. A new file gets the permissions a plain write would give; a
// replaced regular file keeps its own, never a set-id or sticky bit; a file
// the user may not write is not replaced; a link at the name is replaced
// itself, its target never opened.
class AtomicFile {
public:
  // Refuses, naming the file, when `name` may not be replaced in `folder`
  // or no temporary file can be made there.
  [[nodiscard]] static Expected<AtomicFile, Failure> Open(const OutputFolder& folder, std::string_view name);
  // The same for a file of a folder opened for it alone.
  [[nodiscard]] static Expected<AtomicFile, Failure> Open(const std::string& path);
  // The same in the folder opened for `file`, if it is.
  [[nodiscard]] static Expected<AtomicFile, Failure> Open(const OutputFile& file);

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
  [[nodiscard]] Expected<void, Failure> Commit(FlushToDisk flush = FlushToDisk::Now);

  const std::string& Path() const { return path_; }
  // Where what was written so far can be read back before Commit (the
  // temporary may have no name): for a file made from the files beside it.
  std::string ReadBackPath() const { return "/proc/self/fd/" + std::to_string(fd_); }
  std::size_t Size() const { return size_; }

private:
  friend class FileSet;
  AtomicFile() = default;
  // The steps of Commit: the file made whole (permissions, on disk), then
  // given its name.
  [[nodiscard]] Expected<void, Failure> Finish(FlushToDisk flush);
  [[nodiscard]] Expected<void, Failure> Publish();
  void Fail(const char* step);
  void Discard();

  OutputFolder folder_;
  std::string name_, path_, temporary_; // temporary_ is empty while it has no name
  int fd_ = -1;
  std::size_t size_ = 0;
  bool keepsOwnership_ = false; // replaces a regular file
  mode_t mode_ = 0;
  uid_t owner_ = 0;
  gid_t group_ = 0;
  const char* failedStep_ = nullptr;
  int error_ = 0;
};

// The message for a file that could not be written at `step` ("writing"),
// with the system's reason for `error`.
Failure CannotWrite(const std::string& path, const char* step, int error);

// Writes `text` to `name` in `folder`, or to `path`, as one AtomicFile.
[[nodiscard]] Expected<void, Failure> WriteFileAtomically(const OutputFolder& folder, std::string_view name,
                                                          std::string_view text,
                                                          FlushToDisk flush = FlushToDisk::Now);
[[nodiscard]] Expected<void, Failure> WriteFileAtomically(const std::string& path, std::string_view text,
                                                          FlushToDisk flush = FlushToDisk::Now);

// The temporary file's name for `fileName`: hidden and plainly temporary,
// ".NAME.UNIQUE.tmp", with NAME shortened so that the whole fits `nameLimit`.
std::string TemporaryName(std::string_view fileName, std::size_t nameLimit, std::string_view unique);

} // namespace sinkview
