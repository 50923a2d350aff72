#pragma once

#include <cstdlib>
#include <filesystem>
#include <string>
#include <sys/wait.h>

#include "file_contents.h"

namespace sinkview::testing {

// A shell word for the path, with the blank that ends it.
inline std::string Quoted(const std::filesystem::path& path) { return "'" + path.string() + "' "; }

// Runs a command line through the shell, keeping what it writes to stdout
// and stderr in `out` and `err` (by way of files in `scratch`); its exit
// status, -1 when it did not exit.
inline int RunShell(const std::string& command, const std::filesystem::path& scratch, std::string& out,
                    std::string& err) {
  const std::filesystem::path outFile = scratch / "stdout", errFile = scratch / "stderr";
  const int status = std::system((command + " >" + Quoted(outFile) + "2>" + Quoted(errFile)).c_str());
  out = FileContents(outFile);
  err = FileContents(errFile);
  return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

} // namespace sinkview::testing
