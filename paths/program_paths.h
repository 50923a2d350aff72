#pragma once

#include <string>

namespace sinkview {

// Where the program finds its own files.
struct ProgramPaths {
  // The folder of the sketch files, with a trailing '/': the program's own
  // folder in a build, the installed data folder for an installed program.
  std::string ProgramDirectory;
  // The settings file: in ProgramDirectory for a program run from its
  // build when that folder can be written, else (an installed program) in
  // the user's configuration folder.
  std::string SettingsFile;
  // The sample data, where the program starts without settings: for an
  // installed program the user's own copy (made at its first start), so
  // that exports can be written beside the samples.
  std::string SampleFolder;
};

// `executableDirectory` is the folder of the running program; `sourceExamples`
// the sample folder of the source tree (for a program run from its build).
ProgramPaths ResolveProgramPaths(const std::string& executableDirectory, const std::string& sourceExamples);

// The settings file: beside the program's data where that folder can be
// written, else in the user's configuration folder.
std::string SettingsFileLocation(const std::string& programDirectory, bool programDirectoryWritable);

// The folder of the running program, with a trailing '/'; empty when the
// system does not say.
std::string RunningProgramDirectory();

// A helper program that a program in `executableDirectory` runs: beside it
// in a build, in the installed helper folder (../libexec/sinkview/) else.
std::string HelperProgramPath(const std::string& executableDirectory, const std::string& name);

// The folder of the programs a helper in `helperDirectory` serves: its own
// in a build, the installed programs' folder for an installed helper.
std::string ServedProgramDirectory(const std::string& helperDirectory);

// The user's configuration folder for Sinkview ($XDG_CONFIG_HOME/sinkview or
// ~/.config/sinkview), with a trailing '/'.
std::string UserConfigDirectory();

// The user's data folder for Sinkview ($XDG_DATA_HOME/sinkview or
// ~/.local/share/sinkview), with a trailing '/'.
std::string UserDataDirectory();

// The user's copy of the installed samples in `userFolder`: copied from
// `installedFolder` when it does not exist yet, so later changes by the user
// are kept. Returns the copy, or `installedFolder` when no copy can be made.
std::string UserSampleFolder(const std::string& installedFolder, const std::string& userFolder);

// The folder the main window starts in: the stored folder when it still
// exists, else the sample folder, else the home folder.
std::string ChooseStartFolder(const std::string& stored, const std::string& sampleFolder);

} // namespace sinkview
