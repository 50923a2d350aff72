#include "model/file_set.h"

#include <algorithm>
#include <cerrno>
#include <unistd.h>

#include "model/reader_text.h"

namespace sinkview {

Expected<void, Failure> FileSet::Add(Expected<AtomicFile, Failure> file) {
  if (!file) return Unexpected(file.error());
  Add(std::move(*file));
  return {};
}

Expected<void, Failure> FileSet::Commit() {
  std::vector<AtomicFile> files = std::move(files_);
  files_.clear();
  // The small files first: a full disk is met before anything is renamed,
  // and renames that stop halfway leave the big file's older version.
  std::stable_sort(files.begin(), files.end(),
                   [](const AtomicFile& a, const AtomicFile& b) { return a.Size() < b.Size(); });
  for (AtomicFile& file : files) {
    if (auto finished = file.Finish(FlushToDisk::Now); !finished)
      return Unexpected(Failure{finished.error().message + " No file that belongs with it was replaced."});
  }
  std::string replaced;
  for (AtomicFile& file : files) {
    if (auto published = file.Publish(); !published) {
      if (replaced.empty()) return published;
      return Unexpected(Failure{published.error().message + " Of the files that belong with it, " + replaced +
                                " were replaced."});
    }
    replaced += (replaced.empty() ? "" : ", ") + ShownFileName(file.Path());
  }
  for (const AtomicFile& file : files) {
    if (::fsync(file.folder_.Descriptor()) != 0)
      return Unexpected(CannotWrite(file.Path(), "writing its folder", errno));
  }
  return {};
}

} // namespace sinkview
