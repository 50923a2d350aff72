// The exporter's output folder: opened once, and flushed truthfully. A
// program of its own, since it stands in for the system's syncfs.
#include <gtest/gtest.h>

#include <cerrno>
#include <filesystem>
#include <sys/syscall.h>
#include <unistd.h>

#include "../support/as_nobody.h"
#include "../support/temp_folder.h"
#include "tools/export/batch_export.h"

namespace fs = std::filesystem;
using namespace sinkview;
using sinkview::testing::AsNobody;
using sinkview::testing::TempFolder;

namespace {

// The error syncfs fails with, or 0 for the system's own.
int syncfsError = 0;

const fs::path kCohort = fs::path(SINKVIEW_TEST_DATA) / "study_cohort";

} // namespace

extern "C" int syncfs(int fd) {
  if (syncfsError == 0) return static_cast<int>(::syscall(SYS_syncfs, fd));
  errno = syncfsError;
  return -1;
}

// Another user who owns the folder above --output-dir swaps it for a link
// to a folder of root's once the run has begun (here: while the first
// message is reported): every export still lands in the folder the run
// began with.
TEST(ExportFolder, AnOutputFolderSwappedForALinkDuringTheRunIsNotFollowed) {
  if (::geteuid() != 0) GTEST_SKIP() << "needs root to act as another user";
  TempFolder parent, rootsOwn;
  fs::create_directory(parent.path / "out");
  ASSERT_EQ(::chown(parent.path.c_str(), 65534, 65534), 0);
  bool swapped = false;
  const ExportTally tally =
      ExportStudy({(parent.path / "missing").native(), kCohort.native()}, false, {},
                  (parent.path / "out").native(), [&](const std::string&) {
                    swapped = swapped || AsNobody([&] {
                                std::error_code error;
                                fs::rename(parent.path / "out", parent.path / "moved", error);
                                fs::create_directory_symlink(rootsOwn.path, parent.path / "out", error);
                                return !error;
                              });
                  });
  ASSERT_TRUE(swapped);
  EXPECT_EQ(tally.written, 3);
  EXPECT_EQ(rootsOwn.Names(), std::vector<std::string>{});
  EXPECT_EQ(std::distance(fs::directory_iterator(parent.path / "moved"), {}), 3);
}

// A file system that cannot be flushed is a failed write, named, and the
// summary does not say the files reached the disk.
TEST(ExportFolder, AFailingFlushIsReportedNamingTheFolder) {
  TempFolder out;
  std::vector<std::string> messages;
  syncfsError = EIO;
  const ExportTally tally = ExportStudy({kCohort.native()}, false, {}, out.path.native(),
                                        [&](const std::string& message) { messages.push_back(message); });
  syncfsError = 0;
  ASSERT_EQ(messages.size(), 1u);
  EXPECT_NE(messages[0].find(out.path.native()), std::string::npos) << messages[0];
  EXPECT_NE(messages[0].find("Input/output error"), std::string::npos) << messages[0];
  EXPECT_EQ(SummaryLine(tally), "3 files written, 0 files rejected, not known to have reached the disk\n");
}
