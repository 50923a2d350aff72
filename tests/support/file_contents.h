#pragma once

#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>

namespace sinkview::testing {

// A file's bytes; empty when it cannot be read.
inline std::string FileContents(const std::filesystem::path& path) {
  std::ifstream in(path, std::ios::binary);
  std::ostringstream text;
  text << in.rdbuf();
  return text.str();
}

} // namespace sinkview::testing
