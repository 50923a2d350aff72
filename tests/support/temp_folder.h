#pragma once

#include <algorithm>
#include <filesystem>
#include <stdlib.h>
#include <string>
#include <vector>

namespace sinkview::testing {

// A folder of the test's own, removed with all it holds; a fresh name each
// time, so test programs running side by side never share one.
struct TempFolder {
  std::filesystem::path path = [] {
    std::string pattern = (std::filesystem::temp_directory_path() / "sinkview-test-XXXXXX").string();
    return std::filesystem::path(::mkdtemp(pattern.data()));
  }();
  ~TempFolder() { std::filesystem::remove_all(path); }
  // The names in the folder, sorted: what a write left behind.
  std::vector<std::string> Names() const {
    std::vector<std::string> names;
    for (const auto& entry : std::filesystem::directory_iterator(path))
      names.push_back(entry.path().filename());
    std::sort(names.begin(), names.end());
    return names;
  }
};

} // namespace sinkview::testing
