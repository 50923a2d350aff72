#include "cli/distinct_outputs.h"

#include <filesystem>
#include <sys/stat.h>

#include "base/reader_text.h"
#include "model/data_files.h"

namespace fs = std::filesystem;

namespace sinkview {

namespace {

// An output is a name in a folder: a link at the name is replaced, never
// written through, so only the folder is followed to what it is. The
// folder as the system finds it (a link to a folder is that folder), else,
// not there yet, by its path.
std::string FolderKey(const std::string& folder, const std::string& workingFolder) {
  struct stat status {};
  if (::stat(folder.empty() ? "." : folder.c_str(), &status) == 0)
    return std::to_string(status.st_dev) + ":" + std::to_string(status.st_ino);
  return PathKey(folder, workingFolder);
}

struct OutputKey {
  std::string folder, name;
  bool operator==(const OutputKey&) const = default;
};

OutputKey KeyOf(const std::string& path, const std::string& workingFolder) {
  const std::size_t slash = path.rfind('/');
  if (slash == std::string::npos) return {FolderKey("", workingFolder), path};
  return {FolderKey(path.substr(0, slash + 1), workingFolder), path.substr(slash + 1)};
}

} // namespace

Expected<void, Failure> DistinctOutputs(const std::vector<NamedOutput>& outputs) {
  std::error_code error;
  const std::string workingFolder = fs::current_path(error).native();
  std::vector<OutputKey> keys;
  for (const NamedOutput& output : outputs)
    keys.push_back(output.path.empty() ? OutputKey{} : KeyOf(output.path, workingFolder));
  for (std::size_t i = 0; i < outputs.size(); ++i) {
    for (std::size_t j = i + 1; j < outputs.size(); ++j) {
      const NamedOutput &a = outputs[i], &b = outputs[j];
      if (a.path.empty() || b.path.empty() || !(keys[i] == keys[j])) continue;
      return Unexpected(Failure{ShownFileName(b.path) + " is given for both " + std::string(a.option) +
                                " and " + std::string(b.option) + "; each output needs a file of its own"});
    }
  }
  return {};
}

} // namespace sinkview
