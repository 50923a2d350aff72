#include "model/atomic_file.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <sys/stat.h>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>
#include <vector>

#include "../support/failure_text.h"
#include "../support/file_contents.h"
#include "../support/temp_folder.h"

using namespace sinkview;
using sinkview::testing::FileContents;
using sinkview::testing::MessageOf;
using sinkview::testing::TempFolder;
namespace fs = std::filesystem;

namespace {

mode_t ModeOf(const fs::path& path) {
  struct stat info {};
  ::stat(path.c_str(), &info);
  return info.st_mode & 07777;
}

} // namespace

TEST(AtomicFile, TemporaryNamesAreHiddenAndFitTheFolder) {
  const std::string longName = std::string(251, 'n') + ".num";
  std::string umlauts; // two bytes each
  for (int i = 0; i < 127; ++i) umlauts += "\xc3\xa4";
  struct Case {
    std::string name;
    std::size_t limit;
    std::string expected;
  };
  for (const Case& c : std::vector<Case>{
           {"p2150.num", 255, ".p2150.num.abcdef.tmp"},
           {longName, 255, "." + longName.substr(0, 243) + ".abcdef.tmp"},
           {umlauts, 255, "." + umlauts.substr(0, 242) + ".abcdef.tmp"},
           {"p2150.num", 14, ".p2.abcdef.tmp"},
       }) {
    const std::string name = TemporaryName(c.name, c.limit, "abcdef");
    EXPECT_EQ(name, c.expected);
    EXPECT_LE(name.size(), c.limit);
  }
}

TEST(AtomicFile, FilesWrittenOnManyThreadsGetThePermissionsOfAPlainWrite) {
  TempFolder folder;
  const mode_t before = ::umask(022);
  std::ofstream(folder.path / "kept.num") << "old";
  fs::permissions(folder.path / "kept.num", fs::perms(0600));
  ASSERT_EQ(MessageOf(WriteFileAtomically(folder.path / "kept.num", "new")), "");
  EXPECT_EQ(ModeOf(folder.path / "kept.num"), 0600u) << "a replaced file keeps its permissions";

  constexpr int kThreads = 8, kFiles = 500;
  std::vector<std::thread> threads;
  for (int t = 0; t < kThreads; ++t) {
    threads.emplace_back([&, t] {
      for (int i = 0; i < kFiles; ++i) {
        const fs::path file = folder.path / (std::to_string(t) + "_" + std::to_string(i) + ".num");
        EXPECT_EQ(MessageOf(WriteFileAtomically(file, "x", FlushToDisk::Later)), "");
      }
    });
  }
  for (std::thread& t : threads) t.join();
  int wrongModes = 0;
  for (const auto& entry : fs::directory_iterator(folder.path)) {
    if (entry.path().filename() != "kept.num") wrongModes += ModeOf(entry.path()) != 0644;
  }
  EXPECT_EQ(wrongModes, 0);
  EXPECT_EQ(::umask(before), 022u) << "the umask is never changed";
}

// A plain write of a file the user may not write fails; so must a replacement.
TEST(AtomicFile, AWriteProtectedFileIsNotReplaced) {
  TempFolder folder;
  const fs::path file = folder.path / "p2150.num";
  std::ofstream(file) << "another user's export";
  fs::permissions(file, fs::perms(0444));
  fs::permissions(folder.path, fs::perms(0777));
  const pid_t child = ::fork();
  if (child == 0) {
    // As root, become a user that owns neither the file nor the folder.
    if (::geteuid() == 0 && (::setgid(65534) != 0 || ::setuid(65534) != 0)) ::_exit(2);
    const std::string message = MessageOf(WriteFileAtomically(file, "replaced"));
    ::_exit(message.find(file.string()) != std::string::npos &&
                    message.find("Permission denied") != std::string::npos
                ? 0
                : 1);
  }
  int status = 0;
  ::waitpid(child, &status, 0);
  EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0) << "refused, naming the file";
  EXPECT_EQ(FileContents(file), "another user's export");
  EXPECT_EQ(folder.Names(), std::vector<std::string>{"p2150.num"});
}

// The study's table is written in pieces: only a committed file replaces the
// old one, and one dropped halfway leaves nothing of itself; so does a whole
// write under the longest legal name.
TEST(AtomicFile, PiecesReplaceTheFileOnlyOnCommitAndNothingIsLeftBeside) {
  TempFolder folder;
  const fs::path file = folder.path / (std::string(251, 'n') + ".num");
  std::ofstream(file) << "old";
  for (const bool commit : {false, true}) {
    auto opened = AtomicFile::Open(file);
    ASSERT_TRUE(opened);
    AtomicFile moved = std::move(*opened);
    for (const char* piece : {"a;", "b\r\n"}) moved.Write(piece);
    if (commit) {
      EXPECT_EQ(MessageOf(moved.Commit(FlushToDisk::Later)), "");
    }
  }
  EXPECT_EQ(FileContents(file), "a;b\r\n");
  ASSERT_EQ(MessageOf(WriteFileAtomically(file, "two")), "");
  EXPECT_EQ(FileContents(file), "two");
  EXPECT_EQ(folder.Names(), std::vector<std::string>{file.filename()});
}
