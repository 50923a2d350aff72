#include "model/data_files.h"

#include <algorithm>
#include <filesystem>
#include <unordered_set>

#include "base/reader_text.h"

namespace fs = std::filesystem;

namespace sinkview {

std::string Lowercase(std::string text) {
  std::transform(text.begin(), text.end(), text.begin(),
                 [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
  return text;
}

bool HasExtension(const std::string& path, const std::vector<std::string>& extensions) {
  const std::string extension = Lowercase(fs::path(path).extension().string());
  return std::find(extensions.begin(), extensions.end(), extension) != extensions.end();
}

std::string PathKey(const std::string& path, const std::string& workingFolder) {
  const fs::path p(path);
  return (p.is_absolute() ? p : fs::path(workingFolder) / p).lexically_normal().native();
}

// ".vok" alone is a hidden file without an extension, not a data file.
bool IsDataFileName(const std::string& path) { return HasExtension(path, {".vok"}); }

std::string DataFileNameProblem(const std::string& path) {
  if (IsDataFileName(path)) return "";
  return Lowercase(fs::path(path).filename().string()) == ".vok"
             ? "not a data file (the name has nothing before .vok)"
             : "not a data file (the name does not end in .vok)";
}

namespace {

// Paths in the order of their components, as a folder listing reads.
bool InPathOrder(const std::string& a, const std::string& b) {
  return std::lexicographical_compare(a.begin(), a.end(), b.begin(), b.end(), [](char x, char y) {
    const auto rank = [](char c) { return c == '/' ? 0 : static_cast<unsigned char>(c) + 1; };
    return rank(x) < rank(y);
  });
}

// Adds the data files of a folder (and of its sub-folders if asked); a
// folder that cannot be read is reported and the others are still searched.
void AddFolderFiles(const fs::path& folder, bool recursive, std::vector<std::string>& files,
                    DataFileSearch& search) {
  std::error_code error;
  std::vector<fs::path> subfolders;
  for (fs::directory_iterator it(folder, error), end; !error && it != end; it.increment(error)) {
    std::error_code typeError;
    if (recursive && it->is_directory(typeError) && !it->is_symlink(typeError)) {
      subfolders.push_back(it->path());
    } else if (IsDataFileName(it->path().native())) {
      // Pipes, devices, folders, dangling links and link loops are passed
      // over and counted; a pipe would block the reader.
      if (it->is_regular_file(typeError)) {
        files.push_back(it->path().native());
      } else {
        ++search.skipped;
      }
    }
  }
  if (error)
    search.problems.push_back({folder.string(), ShownFileName(folder.string()) +
                                                    ": the folder cannot be read (" + error.message() + ")"});
  for (const fs::path& subfolder : subfolders) AddFolderFiles(subfolder, recursive, files, search);
}

// The data files one path names, in name order.
std::vector<std::string> DataFilesOf(const std::string& path, bool recursive, DataFileSearch& search) {
  std::error_code error;
  std::vector<std::string> files;
  const std::string shown = ShownFileName(path);
  const fs::file_status status = fs::status(path, error);
  if (fs::is_directory(status)) {
    const std::size_t problemsBefore = search.problems.size();
    AddFolderFiles(path, recursive, files, search);
    std::sort(files.begin(), files.end(), InPathOrder);
    if (files.empty() && search.problems.size() == problemsBefore) {
      search.problems.push_back(
          {path,
           shown + (recursive ? ": neither the folder nor its sub-folders hold a data file (*.vok)"
                              : ": the folder holds no data file (*.vok)"),
           true});
    }
  } else if (error && error != std::errc::no_such_file_or_directory) {
    // A link loop, a folder without access on the way: say which.
    search.problems.push_back({path, shown + ": " + error.message()});
  } else if (!fs::exists(status)) {
    search.problems.push_back({path, shown + ": no such file or folder"});
  } else if (const std::string problem = DataFileNameProblem(path); !problem.empty()) {
    // Its export name would be made from a name that is not a data file's,
    // and could even be the file itself.
    search.problems.push_back({path, shown + ": " + problem});
  } else {
    files.push_back(path);
  }
  return files;
}

} // namespace

DataFileSearch FindDataFiles(const std::vector<std::string>& paths, bool recursive) {
  DataFileSearch search;
  std::error_code error;
  const std::string workingFolder = fs::current_path(error).native();
  std::unordered_set<std::string> seen;
  for (const std::string& path : paths) {
    for (std::string& file : DataFilesOf(path, recursive, search)) {
      // A file named twice is done once.
      if (seen.insert(PathKey(file, workingFolder)).second) search.files.push_back(std::move(file));
    }
  }
  return search;
}

} // namespace sinkview
