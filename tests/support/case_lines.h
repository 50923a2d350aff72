#pragma once

#include <sstream>
#include <string>
#include <vector>

#include "file_contents.h"

namespace sinkview::testing {

// One case of a table kept under tests/data: "input => expected" on a line.
struct CaseLine {
  std::string input, expected;
};

// The cases of such a file; blank lines and lines starting with '#' are
// comments. The blank before "=>" belongs to neither side.
inline std::vector<CaseLine> CaseLines(const std::filesystem::path& file) {
  std::istringstream lines(FileContents(file));
  std::vector<CaseLine> cases;
  for (std::string line; std::getline(lines, line);) {
    if (line.empty() || line.starts_with('#')) continue;
    const std::size_t arrow = line.find("=> ");
    cases.push_back({line.substr(0, arrow == 0 ? 0 : arrow - 1), line.substr(arrow + 3)});
  }
  return cases;
}

// A case's text with each \n written in it made a line end.
inline std::string WithLineEnds(std::string text) {
  for (std::size_t at; (at = text.find("\\n")) != std::string::npos;) text.replace(at, 2, "\n");
  return text;
}

} // namespace sinkview::testing
