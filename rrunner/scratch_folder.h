#pragma once

// A private scratch folder under the temporary folder, where R runs on a
// copy of a study's tables: readable by the user alone, named for this
// process, removed with all it holds.

#include <string>

namespace sinkview {

// Made by mkdtemp (mode 0700); removed whatever happens short of the
// process being killed.
class ScratchFolder {
public:
  ScratchFolder();
  ~ScratchFolder();
  ScratchFolder(const ScratchFolder&) = delete;
  ScratchFolder& operator=(const ScratchFolder&) = delete;

  // Empty when none could be made.
  const std::string& Path() const { return path_; }

private:
  std::string path_;
};

// Removes the scratch folders that processes killed during a fit left in
// the temporary folder, each with a copy of a study's data: the user's
// own, whose process no longer exists. For a program's start.
void RemoveOrphanedScratchFolders();

} // namespace sinkview
