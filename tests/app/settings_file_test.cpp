#include "app/settings_file.h"

#include <gtest/gtest.h>

#include "../support/file_contents.h"

#include <filesystem>
#include <fstream>
#include <sstream>
#include <sys/stat.h>
#include <unistd.h>

#include "app/program_paths.h"

using namespace sinkview;
namespace fs = std::filesystem;

using sinkview::testing::FileContents;

namespace {

class TempFolder {
public:
  TempFolder() {
    std::string pattern = (fs::temp_directory_path() / "sinkview-test-XXXXXX").string();
    path = mkdtemp(pattern.data());
  }
  ~TempFolder() {
    std::error_code ignored;
    fs::permissions(path, fs::perms::owner_all, ignored);
    fs::remove_all(path, ignored);
  }
  std::string path;
};

} // namespace

TEST(SettingsFile, HoldsTheFolderQuotedOnOneCrLfLine) {
  TempFolder temp;
  const std::string file = temp.path + "/SINKVIEW.INI";
  ASSERT_EQ(WriteStartFolder(file, "/data/hips 2009"), "");
  EXPECT_EQ(FileContents(file), "\"/data/hips 2009\"\r\n");
  EXPECT_EQ(ReadStartFolder(file), "/data/hips 2009");
  ASSERT_EQ(WriteStartFolder(file, "/other"), "") << "an existing file is replaced";
  EXPECT_EQ(ReadStartFolder(file), "/other");
  EXPECT_EQ(fs::directory_iterator(temp.path)->path().filename(), "SINKVIEW.INI") << "no temp file left";
}

TEST(SettingsFile, MissingOrEmptyFileGivesNoFolder) {
  TempFolder temp;
  EXPECT_FALSE(ReadStartFolder(temp.path + "/SINKVIEW.INI").has_value());
  std::ofstream(temp.path + "/empty.ini") << "\r\n";
  EXPECT_FALSE(ReadStartFolder(temp.path + "/empty.ini").has_value());
}

TEST(SettingsFile, FailedWriteNamesTheFileAndKeepsTheOldOne) {
  if (geteuid() == 0) {
    // root writes into read-only folders; a missing folder fails for anyone.
    TempFolder temp;
    const std::string file = temp.path + "/missing/SINKVIEW.INI";
    const std::string error = WriteStartFolder(file, "/x");
    EXPECT_NE(error.find(file), std::string::npos);
    EXPECT_NE(error.find("No such file"), std::string::npos) << error;
    return;
  }
  TempFolder temp;
  const std::string file = temp.path + "/SINKVIEW.INI";
  ASSERT_EQ(WriteStartFolder(file, "/old"), "");
  chmod(temp.path.c_str(), 0500);
  EXPECT_NE(WriteStartFolder(file, "/new").find(file), std::string::npos);
  EXPECT_EQ(ReadStartFolder(file), "/old");
}

TEST(ProgramPaths, BuildTreeUsesItsOwnFolderAndStartFolderFallsBack) {
  TempFolder temp;
  std::ofstream(temp.path + "/clskonli.sys") << "0,0,1\n";
  const ProgramPaths paths = ResolveProgramPaths(temp.path, std::string(SINKVIEW_SOURCE_DIR) + "/examples");
  EXPECT_EQ(paths.ProgramDirectory, temp.path + "/");
  EXPECT_EQ(paths.SettingsFile, temp.path + "/SINKVIEW.INI");
  EXPECT_EQ(paths.SampleFolder, std::string(SINKVIEW_SOURCE_DIR) + "/examples");
  EXPECT_EQ(ChooseStartFolder(temp.path, paths.SampleFolder), temp.path);
  EXPECT_EQ(ChooseStartFolder(temp.path + "/gone", paths.SampleFolder), paths.SampleFolder);
  EXPECT_EQ(ChooseStartFolder("", paths.SampleFolder), paths.SampleFolder);
}

TEST(ProgramPaths, InstalledProgramFindsItsDataAndAReadOnlyFolderMovesSettingsToTheUser) {
  TempFolder temp;
  fs::create_directories(temp.path + "/bin");
  fs::create_directories(temp.path + "/share/sinkview/examples");
  std::ofstream(temp.path + "/share/sinkview/clskonli.sys") << "0,0,1\n";
  const ProgramPaths paths = ResolveProgramPaths(temp.path + "/bin", "/nowhere");
  EXPECT_EQ(paths.ProgramDirectory, temp.path + "/share/sinkview/");
  EXPECT_EQ(paths.SampleFolder, temp.path + "/share/sinkview/examples");
  EXPECT_EQ(paths.SettingsFile, UserConfigDirectory() + "SINKVIEW.INI") << "even where it could write";
  setenv("XDG_CONFIG_HOME", (temp.path + "/config").c_str(), 1);
  EXPECT_EQ(SettingsFileLocation(paths.ProgramDirectory, false), temp.path + "/config/sinkview/SINKVIEW.INI");
  EXPECT_EQ(SettingsFileLocation(paths.ProgramDirectory, true), paths.ProgramDirectory + "SINKVIEW.INI");
  unsetenv("XDG_CONFIG_HOME");
}
