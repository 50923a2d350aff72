#include "base/folder_name.h"

#include <filesystem>

namespace sinkview {

std::string FolderName(const std::string& folder) {
  std::error_code error;
  std::filesystem::path path = std::filesystem::absolute(folder, error).lexically_normal();
  if (!path.has_filename()) path = path.parent_path();
  return path.filename().string();
}

} // namespace sinkview
