#pragma once

#include <string>

namespace sinkview {

// A folder's own name: "study" for "data/study/", the working folder's name
// for "." (the last part of its absolute path).
std::string FolderName(const std::string& folder);

} // namespace sinkview
