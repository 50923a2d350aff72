#include "rrunner/scratch_folder.h"

#include <cerrno>
#include <charconv>
#include <csignal>
#include <filesystem>
#include <stdlib.h>
#include <sys/stat.h>
#include <unistd.h>

namespace fs = std::filesystem;

namespace sinkview {

namespace {

// A scratch folder is named for the process that made it, so that one left
// by a killed process can be told apart from one in use.
constexpr std::string_view kScratchPrefix = "sinkview-model-";
constexpr std::size_t kScratchUnique = 6; // mkdtemp's XXXXXX

fs::path TemporaryFolder() {
  std::error_code noTemp;
  const fs::path folder = fs::temp_directory_path(noTemp);
  return noTemp ? fs::path("/tmp") : folder;
}

// The process a scratch folder of this name belongs to; 0 when the name is
// not one of a scratch folder.
pid_t ScratchOwner(std::string_view name) {
  if (!name.starts_with(kScratchPrefix)) return 0;
  name.remove_prefix(kScratchPrefix.size());
  const std::size_t dash = name.find('-');
  if (dash == std::string_view::npos || name.size() - dash - 1 != kScratchUnique) return 0;
  pid_t owner = 0;
  const auto [end, error] = std::from_chars(name.data(), name.data() + dash, owner);
  return error == std::errc() && end == name.data() + dash && owner > 0 ? owner : 0;
}

} // namespace

ScratchFolder::ScratchFolder() {
  std::string pattern = (TemporaryFolder() / (std::string(kScratchPrefix) + std::to_string(::getpid()) + "-" +
                                              std::string(kScratchUnique, 'X')))
                            .native();
  if (::mkdtemp(pattern.data()) != nullptr) path_ = pattern;
}

ScratchFolder::~ScratchFolder() {
  std::error_code ignored; // a folder left in the temporary folder harms nothing
  if (!path_.empty()) fs::remove_all(path_, ignored);
}

void RemoveOrphanedScratchFolders() {
  std::error_code error;
  for (fs::directory_iterator it(TemporaryFolder(), error), end; !error && it != end; it.increment(error)) {
    const pid_t owner = ScratchOwner(it->path().filename().native());
    struct stat info {};
    if (owner == 0 || ::lstat(it->path().c_str(), &info) != 0 || !S_ISDIR(info.st_mode) ||
        info.st_uid != ::geteuid())
      continue;
    if (::kill(owner, 0) == 0 || errno != ESRCH) continue; // its process runs
    std::error_code ignored;                               // one that stays is tried again at the next start
    fs::remove_all(it->path(), ignored);
  }
}

} // namespace sinkview
