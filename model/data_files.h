#pragma once

#include <string>
#include <vector>

namespace sinkview {

// The text with A-Z made a-z: names are matched in any case.
std::string Lowercase(std::string text);

// Whether the name ends in one of the extensions, in any case.
bool HasExtension(const std::string& path, const std::vector<std::string>& extensions);

// Whether a file's name makes it a data file, *.vok in any case with a name
// before it, one rule for every program; and why not, "" when it does.
bool IsDataFileName(const std::string& path);
std::string DataFileNameProblem(const std::string& path);

// A path or folder that gave no file, and why. The path is kept apart so
// that a caller can hide it: a folder may bear a patient's name.
struct SearchProblem {
  std::string path;    // as found
  std::string message; // names the path as ShownFileName shows it
  bool empty = false;  // a folder read whole that holds no data file
};

// What a list of paths, each a data file (*.vok, in any case) or a folder of
// them, comes to.
struct DataFileSearch {
  std::vector<std::string> files;      // in name order within each path, each file once
  std::vector<SearchProblem> problems; // in the order found
  int skipped = 0;                     // entries with a data file's name that are no regular file
};

// Finds the data files of `paths`; with `recursive` also in the folders'
// sub-folders, without following links to folders.
[[nodiscard]] DataFileSearch FindDataFiles(const std::vector<std::string>& paths, bool recursive);

// The absolute path without "." and "..", against `workingFolder`: two
// paths that give the same key name one file.
std::string PathKey(const std::string& path, const std::string& workingFolder);

} // namespace sinkview
