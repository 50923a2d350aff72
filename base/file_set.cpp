#include "base/file_set.h"

#include <algorithm>
#include <cerrno>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include "base/reader_text.h"

namespace sinkview {

namespace {

// One folder, opened once or apart: a file of the set may have come
// through a folder opened for it alone.
bool SameFolder(const OutputFolder& a, const OutputFolder& b) {
  struct stat x {};
  struct stat y {};
  return ::fstat(a.Descriptor(), &x) == 0 && ::fstat(b.Descriptor(), &y) == 0 && x.st_dev == y.st_dev &&
         x.st_ino == y.st_ino;
}

} // namespace

Expected<void, Failure> FileSet::Add(Expected<AtomicFile, Failure> file) {
  if (!file) return Unexpected(file.error());
  Add(std::move(*file));
  return {};
}

Expected<void, Failure> FileSet::Commit() {
  std::vector<AtomicFile> files = std::move(files_);
  files_.clear();
  std::vector<std::pair<OutputFolder, std::string>> removed;
  for (auto& claim : claimed_) {
    const bool written = std::any_of(files.begin(), files.end(), [&](const AtomicFile& file) {
      return file.name_ == claim.second && SameFolder(file.folder_, claim.first);
    });
    if (!written) removed.push_back(std::move(claim));
  }
  claimed_.clear();
  // The small files first: a full disk is met before anything is renamed,
  // and renames that stop halfway leave the big file's older version.
  std::stable_sort(files.begin(), files.end(),
                   [](const AtomicFile& a, const AtomicFile& b) { return a.Size() < b.Size(); });
  for (AtomicFile& file : files) {
    if (auto finished = file.Finish(FlushToDisk::Now); !finished)
      return Unexpected(Failure{finished.error().message + " No file that belongs with it was replaced."});
  }
  std::string replaced;
  const auto stopped = [&](const Failure& failure) -> Expected<void, Failure> {
    if (replaced.empty()) return Unexpected(failure);
    return Unexpected(
        Failure{failure.message + " Of the files that belong with it, " + replaced + " were replaced."});
  };
  for (AtomicFile& file : files) {
    if (auto published = file.Publish(); !published) return stopped(published.error());
    replaced += (replaced.empty() ? "" : ", ") + ShownFileName(file.Path());
  }
  for (const auto& [folder, name] : removed) {
    if (::unlinkat(folder.Descriptor(), name.c_str(), 0) != 0 && errno != ENOENT && errno != EISDIR)
      return stopped(CannotWrite(folder.PathOf(name), "removing", errno));
  }
  for (const AtomicFile& file : files) {
    if (::fsync(file.folder_.Descriptor()) != 0)
      return Unexpected(CannotWrite(file.Path(), "writing its folder", errno));
  }
  for (const auto& [folder, name] : removed) {
    if (::fsync(folder.Descriptor()) != 0)
      return Unexpected(CannotWrite(folder.PathOf(name), "writing its folder", errno));
  }
  return {};
}

} // namespace sinkview
