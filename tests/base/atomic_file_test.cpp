#include "base/atomic_file.h"
#include "base/file_set.h"

#include <gtest/gtest.h>

#include <csignal>
#include <filesystem>
#include <fstream>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>
#include <vector>

#include "../support/as_nobody.h"
#include "../support/failure_text.h"
#include "../support/file_contents.h"
#include "../support/temp_folder.h"

using namespace sinkview;
using sinkview::testing::AsNobody;
using sinkview::testing::FileContents;
using sinkview::testing::MessageOf;
using sinkview::testing::TempFolder;
namespace fs = std::filesystem;

namespace {

struct stat StatusOf(const fs::path& path) {
  struct stat info {};
  ::lstat(path.c_str(), &info);
  return info;
}

mode_t ModeOf(const fs::path& path) { return StatusOf(path).st_mode & 07777; }

// The modes of this process's open files that lie in `folder`, named or not.
std::vector<mode_t> OpenFileModesIn(const fs::path& folder) {
  std::vector<mode_t> modes;
  for (const auto& entry : fs::directory_iterator("/proc/self/fd")) {
    std::error_code error;
    struct stat info {};
    if (fs::read_symlink(entry.path(), error).string().rfind(folder.string() + "/", 0) == 0 &&
        ::stat(entry.path().c_str(), &info) == 0)
      modes.push_back(info.st_mode & 07777);
  }
  return modes;
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
  // A user that owns neither the file nor the folder.
  EXPECT_TRUE(AsNobody([&] {
    const std::string message = MessageOf(WriteFileAtomically(file, "replaced"));
    return message.find(file.string()) != std::string::npos &&
           message.find("Permission denied") != std::string::npos;
  })) << "refused, naming the file";
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

// Another user who owns the folder above the output folder swaps it for a
// link to a folder of root's while root writes: the files go into the
// folder that was opened, never through the link.
TEST(AtomicFile, AnOutputFolderSwappedForALinkIsNotFollowed) {
  if (::geteuid() != 0) GTEST_SKIP() << "needs root to act as another user";
  TempFolder parent, rootsOwn;
  fs::create_directory(parent.path / "out");
  ASSERT_EQ(::chown(parent.path.c_str(), 65534, 65534), 0);
  auto folder = OutputFolder::Open(parent.path / "out");
  ASSERT_TRUE(folder);
  auto pending = AtomicFile::Open(*folder, "pending.csv");
  ASSERT_TRUE(pending);
  ASSERT_TRUE(AsNobody([&] {
    std::error_code error;
    fs::rename(parent.path / "out", parent.path / "moved", error);
    fs::create_directory_symlink(rootsOwn.path, parent.path / "out", error);
    return !error;
  }));
  pending->Write("pending");
  EXPECT_EQ(MessageOf(pending->Commit()), "");
  EXPECT_EQ(MessageOf(WriteFileAtomically(*folder, "later.num", "later")), "");
  EXPECT_EQ(rootsOwn.Names(), std::vector<std::string>{});
  EXPECT_EQ(FileContents(parent.path / "moved" / "pending.csv"), "pending");
  EXPECT_EQ(FileContents(parent.path / "moved" / "later.num"), "later");
}

// Another user plants links at the names root writes: the link is replaced,
// its target never touched, and only a replaced regular file lends its
// permissions and owner, never a set-id or sticky bit.
TEST(AtomicFile, ALinkAtTheNameIsReplacedAndOnlyARegularFileLendsItsMode) {
  if (::geteuid() != 0) GTEST_SKIP() << "needs root to act as another user";
  TempFolder folder, rootsOwn;
  const fs::path program = rootsOwn.path / "program";
  std::ofstream(program) << "root's program";
  ASSERT_EQ(::chown(program.c_str(), 0, 42), 0);
  ASSERT_EQ(::chmod(program.c_str(), 04755), 0);
  ASSERT_EQ(::chown(folder.path.c_str(), 65534, 65534), 0);
  ASSERT_TRUE(AsNobody([&] {
    std::error_code error;
    fs::create_symlink(program, folder.path / "a.num", error);
    return !error;
  }));
  for (const auto& [name, mode] : {std::pair{"setid.num", 06755}, {"private.num", 0600}}) {
    std::ofstream(folder.path / name) << "old";
    ASSERT_EQ(::chmod((folder.path / name).c_str(), mode), 0);
  }
  const mode_t before = ::umask(022);
  for (const auto& [name, mode] :
       {std::pair{"a.num", mode_t{0644}}, {"setid.num", 0755}, {"private.num", 0600}}) {
    EXPECT_EQ(MessageOf(WriteFileAtomically(folder.path / name, "new")), "") << name;
    const struct stat written = StatusOf(folder.path / name);
    EXPECT_TRUE(S_ISREG(written.st_mode)) << name;
    EXPECT_EQ(written.st_mode & 07777, mode) << name;
    EXPECT_EQ(written.st_gid, 0u) << name;
    EXPECT_EQ(FileContents(folder.path / name), "new");
  }
  ::umask(before);
  EXPECT_EQ(FileContents(program), "root's program");
  EXPECT_EQ(ModeOf(program), 04755u);
  EXPECT_EQ(StatusOf(program).st_gid, 42u);
}

// While a file is written its temporary has no name and is its owner's
// alone; a write killed halfway leaves nothing.
TEST(AtomicFile, TheTemporaryIsUnnamedAndPrivateAndAKilledWriteLeavesNothing) {
  TempFolder folder;
  const mode_t before = ::umask(022);
  {
    auto file = AtomicFile::Open(folder.path / "a.num");
    ASSERT_TRUE(file);
    file->Write("secret");
    EXPECT_EQ(folder.Names(), std::vector<std::string>{});
    EXPECT_EQ(OpenFileModesIn(folder.path), std::vector<mode_t>{0600});
  }
  ::umask(before);
  const pid_t child = ::fork();
  if (child == 0) {
    auto file = AtomicFile::Open(folder.path / "a.num");
    file->Write("half");
    ::kill(::getpid(), SIGKILL);
  }
  int status = 0;
  ::waitpid(child, &status, 0);
  EXPECT_TRUE(WIFSIGNALED(status));
  EXPECT_EQ(folder.Names(), std::vector<std::string>{});
}

// A set is replaced whole or not at all: when the disk fills while its big
// file is written, the older small files stay too, and so does the file of
// an earlier set that this one does not write. Its own files, written
// through a folder opened apart, are not taken for the earlier set's, nor
// is a folder at a claimed name.
TEST(FileSet, ReplacesAllItsFilesOrNone) {
  TempFolder folder;
  const char* const names[] = {"small.csv", "big.csv", "gone.csv"};
  for (const char* name : names) std::ofstream(folder.path / name) << "old";
  fs::create_directory(folder.path / "folder.csv");
  const auto writeSet = [&](std::size_t bigSize) {
    FileSet set;
    set.Claim(*OutputFolder::Open(folder.path.native()),
              {"gone.csv", "small.csv", "big.csv", "folder.csv", "never.csv"});
    for (const auto& [name, text] : {std::pair{"big.csv", std::string(bigSize, 'b')}, {"small.csv", "new"}}) {
      auto file = AtomicFile::Open(folder.path / name);
      if (!file) return file.error().message;
      file->Write(text);
      set.Add(std::move(*file));
    }
    return MessageOf(set.Commit());
  };
  const pid_t child = ::fork();
  if (child == 0) {
    // A disk with room for 1000 bytes of a file.
    const rlimit limit{1000, 1000};
    ::signal(SIGXFSZ, SIG_IGN);
    ::_exit(::setrlimit(RLIMIT_FSIZE, &limit) == 0 && writeSet(5000).find("big.csv") != std::string::npos
                ? 0
                : 1);
  }
  int status = 0;
  ::waitpid(child, &status, 0);
  EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0) << "refused, naming the file";
  for (const char* name : names) EXPECT_EQ(FileContents(folder.path / name), "old") << name;

  EXPECT_EQ(writeSet(10), "");
  EXPECT_EQ(FileContents(folder.path / "small.csv"), "new");
  EXPECT_EQ(FileContents(folder.path / "big.csv"), std::string(10, 'b'));
  EXPECT_EQ(folder.Names(), (std::vector<std::string>{"big.csv", "folder.csv", "small.csv"}));
}
