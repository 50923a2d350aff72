#include "paths/settings_file.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <utility>
#include <vector>

#include "../support/failure_text.h"
#include "../support/file_contents.h"
#include "../support/temp_folder.h"
#include "paths/program_paths.h"

using namespace sinkview;
using sinkview::testing::MessageOf;
using sinkview::testing::TempFolder;
namespace fs = std::filesystem;

// Folder names with quotes, commas and line ends come back whole.
TEST(SettingsFile, HoldsTheFolderQuotedOnOneCrLfLineNoneWhenMissingOrEmptyAndNamesItWhenUnwritable) {
  TempFolder temp;
  const std::string file = temp.path.string() + "/SINKVIEW.INI";
  EXPECT_FALSE(ReadStartFolder(file).has_value());
  ASSERT_EQ(MessageOf(WriteStartFolder(file, "/data/hips 2009")), "");
  EXPECT_EQ(sinkview::testing::FileContents(file), "\"/data/hips 2009\"\r\n");
  for (const std::string folder :
       {"/data/hips 2009", "/data/a\"b", "/data/\"quoted\"", "/data/x,y", "/data/line\nend"}) {
    ASSERT_EQ(MessageOf(WriteStartFolder(file, folder)), ""); // an existing file is replaced
    EXPECT_EQ(ReadStartFolder(file), folder);
  }
  EXPECT_EQ(temp.Names(), std::vector<std::string>{"SINKVIEW.INI"}) << "no temp file left";
  std::ofstream(file) << "/data/unquoted\r\n";
  EXPECT_EQ(ReadStartFolder(file), "/data/unquoted") << "a line without quotes is one text field";
  std::ofstream(file) << "\r\n";
  EXPECT_FALSE(ReadStartFolder(file).has_value());
  // A missing folder fails for anyone, root included.
  const std::string unwritable = temp.path.string() + "/missing/SINKVIEW.INI";
  EXPECT_NE(MessageOf(WriteStartFolder(unwritable, "/x")).find(unwritable), std::string::npos);
}

// A folder of the test's own, named as the paths name it.
struct ProgramPathsIn : ::testing::Test {
  TempFolder temp;
  const std::string root = temp.path.string();
};

TEST_F(ProgramPathsIn, BuildTreeKeepsEverythingInItsOwnFolder) {
  std::ofstream(root + "/clskonli.sys") << "0,0,1\n";
  const ProgramPaths paths = ResolveProgramPaths(root, std::string(SINKVIEW_SOURCE_DIR) + "/examples");
  EXPECT_EQ(paths.ProgramDirectory, root + "/");
  EXPECT_EQ(paths.SettingsFile, root + "/SINKVIEW.INI");
  EXPECT_EQ(paths.SampleFolder, std::string(SINKVIEW_SOURCE_DIR) + "/examples");
}

// The user's data folder points into a test's folder while it lives.
struct DataHomeIn {
  explicit DataHomeIn(const std::string& folder) { setenv("XDG_DATA_HOME", folder.c_str(), 1); }
  ~DataHomeIn() { unsetenv("XDG_DATA_HOME"); }
};

TEST_F(ProgramPathsIn, InstalledProgramFindsItsDataAndKeepsTheSettingsAndACopyOfTheSamplesWithTheUser) {
  const DataHomeIn dataHome(root + "/data");
  fs::create_directories(root + "/bin");
  fs::create_directories(root + "/share/sinkview/examples");
  std::ofstream(root + "/share/sinkview/clskonli.sys") << "0,0,1\n";
  std::ofstream(root + "/share/sinkview/examples/a.vok") << "sample\n";
  const std::string copy = root + "/data/sinkview/examples";
  const ProgramPaths paths = ResolveProgramPaths(root + "/bin", "/nowhere");
  EXPECT_EQ(paths.ProgramDirectory, root + "/share/sinkview/");
  EXPECT_EQ(paths.SampleFolder, copy) << "first start: a copy the user can write beside";
  EXPECT_EQ(sinkview::testing::FileContents(copy + "/a.vok"), "sample\n");
  EXPECT_EQ(paths.SettingsFile, UserConfigDirectory() + "SINKVIEW.INI") << "even where it could write";

  // Copied once: what the user did with the copy stays.
  fs::remove(copy + "/a.vok");
  std::ofstream(copy + "/a.num") << "export\n";
  EXPECT_EQ(ResolveProgramPaths(root + "/bin", "/nowhere").SampleFolder, copy);
  EXPECT_FALSE(fs::exists(copy + "/a.vok"));
  EXPECT_TRUE(fs::exists(copy + "/a.num"));
}

TEST_F(ProgramPathsIn, InstalledSamplesServeWhenNoCopyCanBeMade) {
  std::ofstream(root + "/not-a-folder") << "x";
  const std::string installed = root + "/share/sinkview/examples";
  fs::create_directories(installed);
  std::ofstream(installed + "/a.vok") << "sample\n";
  EXPECT_EQ(UserSampleFolder(installed, root + "/not-a-folder/sinkview/examples"), installed);
  EXPECT_EQ(UserSampleFolder(root + "/missing", root + "/copy"), root + "/missing");
  EXPECT_EQ(temp.Names(), (std::vector<std::string>{"not-a-folder", "share"})) << "nothing left";
}

TEST_F(ProgramPathsIn, HelpersLieBesideABuildAndInTheInstalledHelperFolder) {
  fs::create_directories(root + "/build");
  std::ofstream(root + "/build/helper") << "";
  EXPECT_EQ(HelperProgramPath(root + "/build", "helper"), root + "/build/helper");
  EXPECT_EQ(HelperProgramPath(root + "/bin/", "helper"), root + "/bin/../libexec/sinkview/helper");
  for (const auto& [helperFolder, served] : std::vector<std::pair<std::string, std::string>>{
           {"/usr/libexec/sinkview", "/usr/bin/"},
           {"/opt/x/libexec/sinkview/", "/opt/x/bin/"},
           {"/home/u/build/app", "/home/u/build/app/"},
           {"/srv/mylibexec/sinkview", "/srv/mylibexec/sinkview/"}}) {
    EXPECT_EQ(ServedProgramDirectory(helperFolder), served) << helperFolder;
  }
  EXPECT_EQ(RunningProgramDirectory().back(), '/');
}
