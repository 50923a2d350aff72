#include "tools/common/distinct_outputs.h"

#include <filesystem>

#include "model/data_files.h"
#include "model/reader_text.h"

namespace fs = std::filesystem;

namespace sinkview {

Expected<void, Failure> DistinctOutputs(const std::vector<NamedOutput>& outputs) {
  std::error_code error;
  const std::string workingFolder = fs::current_path(error).native();
  for (std::size_t i = 0; i < outputs.size(); ++i) {
    for (std::size_t j = i + 1; j < outputs.size(); ++j) {
      const NamedOutput &a = outputs[i], &b = outputs[j];
      if (a.path.empty() || b.path.empty()) continue;
      const bool same = PathKey(a.path, workingFolder) == PathKey(b.path, workingFolder) ||
                        fs::equivalent(a.path, b.path, error);
      if (!same) continue;
      return Unexpected(Failure{ShownFileName(b.path) + " is given for both " + std::string(a.option) +
                                " and " + std::string(b.option) + "; each output needs a file of its own"});
    }
  }
  return {};
}

} // namespace sinkview
