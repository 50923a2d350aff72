#pragma once

#include <vector>

#include "model/atomic_file.h"

namespace sinkview {

// Files that belong together (a study's tables, figure and report): each is
// written whole to its temporary first, and Commit puts them all in place
// at once, so a run stopped or failing before then leaves every older file
// as it was; dropped uncommitted, the set leaves nothing behind.
class FileSet {
public:
  void Add(AtomicFile file) { files_.push_back(std::move(file)); }
  // Adds `file` when it could be made, else says why not.
  [[nodiscard]] Expected<void, Failure> Add(Expected<AtomicFile, Failure> file);
  bool Empty() const { return files_.empty(); }
  const std::vector<AtomicFile>& Files() const { return files_; }

  // Replaces the files, the smallest first, and flushes them and their
  // folders to disk. When one cannot be made whole, none replaces its older
  // file; else the first that cannot be renamed is named with those that
  // were.
  [[nodiscard]] Expected<void, Failure> Commit();

private:
  std::vector<AtomicFile> files_;
};

} // namespace sinkview
