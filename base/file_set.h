#pragma once

#include <string>
#include <utility>
#include <vector>

#include "base/atomic_file.h"

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
  // The names in `folder` that belong to the set: when the files are put in
  // place, never before, those the set did not write are removed, so that
  // the folder holds one whole set and no file of an earlier one. A folder
  // at such a name is no file of a set and stays.
  void Claim(const OutputFolder& folder, std::vector<std::string> names) {
    for (std::string& name : names) claimed_.emplace_back(folder, std::move(name));
  }
  bool Empty() const { return files_.empty(); }
  const std::vector<AtomicFile>& Files() const { return files_; }

  // Replaces the files, the smallest first, removes the claimed names it
  // did not write, and flushes them and their folders to disk. When one
  // cannot be made whole, none replaces its older file; else the first that
  // cannot be renamed or removed is named with those that were replaced.
  [[nodiscard]] Expected<void, Failure> Commit();

private:
  std::vector<AtomicFile> files_;
  std::vector<std::pair<OutputFolder, std::string>> claimed_;
};

} // namespace sinkview
