#include "paths/program_paths.h"

#include <cstdlib>
#include <filesystem>
#include <string_view>
#include <unistd.h>

#include "paths/settings_file.h"

namespace sinkview {

namespace fs = std::filesystem;

namespace {

std::string WithSlash(std::string folder) {
  if (folder.empty() || folder.back() != '/') folder.push_back('/');
  return folder;
}

bool IsFolder(const std::string& path) {
  std::error_code error;
  return !path.empty() && fs::is_directory(path, error);
}

constexpr std::string_view kInstalledHelpers = "libexec/sinkview/";

// An XDG base folder for Sinkview: the variable's folder when it is an
// absolute path, else `fallback` under the home folder.
std::string XdgDirectory(const char* variable, const char* fallback) {
  const char* xdg = std::getenv(variable);
  if (xdg && *xdg == '/') return WithSlash(std::string(xdg) + "/sinkview");
  const char* home = std::getenv("HOME");
  return WithSlash(std::string(home && *home ? home : "/tmp") + fallback + "/sinkview");
}

} // namespace

std::string RunningProgramDirectory() {
  std::error_code error;
  const fs::path self = fs::read_symlink("/proc/self/exe", error);
  return error ? std::string() : WithSlash(self.parent_path().string());
}

std::string HelperProgramPath(const std::string& executableDirectory, const std::string& name) {
  const std::string own = WithSlash(executableDirectory);
  std::error_code error;
  if (fs::exists(own + name, error)) return own + name;
  return own + "../" + std::string(kInstalledHelpers) + name;
}

std::string ServedProgramDirectory(const std::string& helperDirectory) {
  const std::string own = WithSlash(helperDirectory);
  const std::string suffix = "/" + std::string(kInstalledHelpers);
  if (own.size() < suffix.size() || own.compare(own.size() - suffix.size(), suffix.size(), suffix) != 0)
    return own;
  return own.substr(0, own.size() - suffix.size() + 1) + "bin/";
}

std::string UserConfigDirectory() { return XdgDirectory("XDG_CONFIG_HOME", "/.config"); }

std::string UserDataDirectory() { return XdgDirectory("XDG_DATA_HOME", "/.local/share"); }

std::string UserSampleFolder(const std::string& installedFolder, const std::string& userFolder) {
  std::error_code error;
  if (IsFolder(userFolder)) return userFolder;
  // Copied into a temporary folder beside it and renamed into place, so a
  // copy cut short is never taken for the finished one.
  const fs::path target(userFolder);
  const fs::path temp = target.parent_path() / ("." + target.filename().string() + ".partial");
  fs::remove_all(temp, error);
  fs::create_directories(temp, error);
  if (!error) fs::copy(installedFolder, temp, fs::copy_options::recursive, error);
  if (!error) fs::permissions(temp, fs::perms::owner_all, fs::perm_options::add, error);
  if (!error) fs::rename(temp, target, error);
  if (error) {
    fs::remove_all(temp, error);
    return installedFolder;
  }
  return userFolder;
}

std::string SettingsFileLocation(const std::string& programDirectory, bool programDirectoryWritable) {
  return (programDirectoryWritable ? programDirectory : UserConfigDirectory()) + kSettingsFileName;
}

ProgramPaths ResolveProgramPaths(const std::string& executableDirectory, const std::string& sourceExamples) {
  ProgramPaths paths;
  const std::string own = WithSlash(executableDirectory);
  std::error_code error;
  const std::string installedData =
      WithSlash(fs::weakly_canonical(fs::path(own) / ".." / "share" / "sinkview", error).string());
  const bool installed = !fs::exists(own + "clskonli.sys", error) && IsFolder(installedData);
  paths.ProgramDirectory = installed ? installedData : own;

  // An installed program keeps the settings with the user, even for root.
  paths.SettingsFile = SettingsFileLocation(
      paths.ProgramDirectory, !installed && ::access(paths.ProgramDirectory.c_str(), W_OK) == 0);

  for (const std::string& candidate : {paths.ProgramDirectory + "examples", sourceExamples}) {
    if (IsFolder(candidate)) {
      paths.SampleFolder = candidate;
      break;
    }
  }
  // The installed samples cannot be written by a user; a copy of their own can.
  if (installed && !paths.SampleFolder.empty())
    paths.SampleFolder = UserSampleFolder(paths.SampleFolder, UserDataDirectory() + "examples");
  return paths;
}

std::string ChooseStartFolder(const std::string& stored, const std::string& sampleFolder) {
  if (IsFolder(stored)) return stored;
  if (IsFolder(sampleFolder)) return sampleFolder;
  const char* home = std::getenv("HOME");
  return home && IsFolder(home) ? std::string(home) : std::string("/");
}

} // namespace sinkview
