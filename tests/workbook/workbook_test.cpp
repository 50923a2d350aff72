// Workbooks made from CSV texts, read back from their XML by
// sheet_cells.py: the cells' kinds, the sheets' order, the C locale.
#include <gtest/gtest.h>

#include <algorithm>
#include <clocale>
#include <fstream>
#include <sys/inotify.h>
#include <unistd.h>
#include <vector>

#include "../support/run_shell.h"
#include "../support/temp_folder.h"
#include "workbook/cell_text.h"
#include "workbook/workbook.h"

namespace fs = std::filesystem;
using namespace sinkview;
using namespace std::chrono;

namespace {

// The lines sheet_cells.py prints for the workbook at `path`.
std::vector<std::string> CellLines(const fs::path& path, const fs::path& scratch) {
  std::string out, err;
  const std::string reader = std::string(SINKVIEW_SOURCE_DIR) + "/tests/workbook/sheet_cells.py";
  EXPECT_EQ(sinkview::testing::RunShell(PYTHON3 " '" + reader + "' " + sinkview::testing::Quoted(path),
                                        scratch, out, err),
            0)
      << err;
  std::vector<std::string> lines;
  for (std::size_t at = 0, end; (end = out.find('\n', at)) != std::string::npos; at = end + 1)
    lines.push_back(out.substr(at, end - at));
  return lines;
}

const StudySheet kStudy{"sinkview-study 9.9", 2026y / December / 8, "", {{"Threshold (mm)", "1.5"}}, ""};

} // namespace

// A German locale would make libxlsxwriter print "1,5" into the file.
TEST(Workbook, CellsAreTypedByTheirColumnWhateverTheLocale) {
  const sinkview::testing::TempFolder folder;
  const fs::path path = folder.path / "study.xlsx";
  const std::string summary = "patient,mm,date,note\r\n"
                              "=1+1,1.5,2021-02-15,\r\n"
                              "12,,,-5\r\n"
                              "@x,-0.1,2021-03-01,\"+49, \"\"a\"\"\"\r\n";
  ASSERT_TRUE(std::setlocale(LC_ALL, "de_DE.UTF-8")) << "scripts/install-deps.sh test generates it";
  auto workbook =
      WorkbookInTemporary(path.native(), kStudy,
                          {{"long.csv", "a\r\n2\r\n"}, {"x_extra.csv", "b\r\n"}, {"summary.csv", summary}});
  std::setlocale(LC_ALL, "C");
  ASSERT_TRUE(workbook) << workbook.error().message;
  ASSERT_TRUE(workbook->file.Commit());
  EXPECT_EQ(folder.Names(), std::vector<std::string>{"study.xlsx"}); // no temporary left behind

  const std::vector<std::string> cells = CellLines(path, folder.path);
  for (const std::string expected :
       {"Summary!A1 text bold patient", "Summary!B1 text bold mm", "Summary!A2 text =1+1",
        "Summary!B2 number 1.5", "Summary!C2 date 2021-02-15", "Summary!A3 text 12", "Summary!D3 text -5",
        "Summary!A4 text @x", "Summary!B4 number -0.1", "Summary!D4 text +49, \"a\"", "Long!A2 number 2",
        "Study!B2 date 2026-12-08", "Study!B5 number 1.5", "width Summary 2 6.7109375"})
    EXPECT_EQ(std::ranges::count(cells, expected), 1) << expected;
  for (const std::string absent : {"Summary!D2", "Summary!B3", "Summary!C3"})
    for (const std::string& line : cells) EXPECT_NE(line.rfind(absent + " ", 0), 0u) << line;

  // The tables were given out of order; the sheets stand in the reader's.
  std::vector<std::string> sheets;
  std::ranges::copy_if(cells, std::back_inserter(sheets),
                       [](auto& line) { return line.starts_with("sheet "); });
  EXPECT_EQ(sheets, (std::vector<std::string>{"sheet Study frozen 0", "sheet Summary frozen 1",
                                              "sheet Long frozen 1", "sheet X extra frozen 1"}));
}

// The first sheet with a protocol and a dictionary; a text too long for a
// cell is cut and named.
TEST(Workbook, TheStudySheetHoldsTheProtocolAndTheColumns) {
  const sinkview::testing::TempFolder folder;
  const fs::path path = folder.path / "study.xlsx";
  StudySheet study = kStudy;
  study.protocolToml = "# applied\ntitle = \"Stems\"\r\n";
  study.dictionaryCsv = "file,column,unit,description\r\nsummary.csv,mm,mm,the change\r\n";
  const std::string reason(kCellTextLimit + 1, 'r');
  auto workbook =
      WorkbookInTemporary(path.native(), study, {{"rejected.csv", "file,reason\r\nx.vok," + reason}});
  ASSERT_TRUE(workbook) << workbook.error().message;
  ASSERT_TRUE(workbook->file.Commit());
  ASSERT_EQ(workbook->notes.size(), 1u);
  EXPECT_EQ(workbook->notes[0].rfind("sheet 'Rejected', row 2, column 2: a text of more than 32767", 0), 0u);

  const std::vector<std::string> cells = CellLines(path, folder.path);
  for (const std::string expected :
       {"Study!A4 text bold Protocol", "Study!A5 text # applied", "Study!A6 text title = \"Stems\"",
        "Study!A8 text bold Columns", "Study!D9 text bold description", "Study!C10 text mm",
        "Rejected!A2 text x.vok"})
    EXPECT_EQ(std::ranges::count(cells, expected), 1) << expected;
}

TEST(Workbook, ATableThatIsNoCsvLeavesNothing) {
  const sinkview::testing::TempFolder folder;
  const auto workbook = WorkbookInTemporary((folder.path / "study.xlsx").native(), kStudy,
                                            {{"summary.csv", "a,b\r\n\"1,2\r\n"}});
  ASSERT_FALSE(workbook);
  EXPECT_NE(workbook.error().message.find("study.xlsx is not written: summary.csv: line 2: a quoted field"),
            std::string::npos)
      << workbook.error().message;
  EXPECT_TRUE(folder.Names().empty());
}

// A table beyond a sheet's columns (or rows) is left out, said once, and
// the others are still sheets; texts cut by the thousand are told by the
// first few and a count, not a line each.
TEST(Workbook, WhatDoesNotFitIsLeftOutAndToldInFewLines) {
  const sinkview::testing::TempFolder folder;
  const fs::path path = folder.path / "study.xlsx";
  std::string wide = "c";
  for (int c = 1; c < 16385; ++c) wide += ",c";
  std::string rejected = "file,reason\r\n";
  const std::string reason(kCellTextLimit + 1, 'r');
  for (int row = 0; row < 40; ++row) rejected += "x.vok," + reason + "\r\n";
  auto workbook = WorkbookInTemporary(
      path.native(), kStudy,
      {{"long.csv", wide + "\r\n"}, {"rejected.csv", rejected}, {"summary.csv", "a\r\n1\r\n"}});
  ASSERT_TRUE(workbook) << workbook.error().message;
  ASSERT_TRUE(workbook->file.Commit());
  const std::vector<std::string>& notes = workbook->notes;
  ASSERT_EQ(notes.size(), 12u);
  EXPECT_EQ(notes[0], "sheet 'Long' left out: long.csv has 1 row and 16385 columns, more than a sheet holds "
                      "(1048576 rows, 16384 columns); the CSV file holds it whole");
  EXPECT_EQ(notes[1].rfind("sheet 'Rejected', row 2, column 2: a text of more than 32767", 0), 0u);
  EXPECT_EQ(notes[11], "and 30 more texts cut to fit their cells, each marked " + std::string(kCutMark));

  std::vector<std::string> sheets;
  std::ranges::copy_if(CellLines(path, folder.path), std::back_inserter(sheets),
                       [](auto& line) { return line.starts_with("sheet "); });
  EXPECT_EQ(sheets, (std::vector<std::string>{"sheet Study frozen 0", "sheet Summary frozen 1",
                                              "sheet Rejected frozen 1"}));
}

// The workbook and libxlsxwriter's temporaries go into the folder opened
// for it, never to where its path leads once the folder is swapped for a
// link: nothing is even made there for a moment.
TEST(Workbook, ItsTemporariesStayInTheFolderAsOpened) {
  const sinkview::testing::TempFolder folder;
  const fs::path published = folder.path / "published", other = folder.path / "other";
  fs::create_directories(published);
  fs::create_directories(other);
  OutputFile target((published / "study.xlsx").native());
  ASSERT_TRUE(target.OpenFolder());
  fs::rename(published, folder.path / "moved");
  fs::create_directory_symlink(other, published);
  const int watch = ::inotify_init1(IN_NONBLOCK | IN_CLOEXEC);
  ASSERT_GE(::inotify_add_watch(watch, other.c_str(), IN_CREATE), 0);
  auto workbook = WorkbookInTemporary(target, kStudy, {{"summary.csv", "a\r\n1\r\n"}});
  ASSERT_TRUE(workbook) << workbook.error().message;
  ASSERT_TRUE(workbook->file.Commit());
  char events[4096];
  EXPECT_LT(::read(watch, events, sizeof events), 0) << "a file was made in the link's target";
  ::close(watch);
  EXPECT_TRUE(fs::exists(folder.path / "moved/study.xlsx"));
}

// Pages let go are read again from the file, never lost.
TEST(MappedFile, ReleasedPagesStillReadTheFile) {
  const sinkview::testing::TempFolder folder;
  const std::string text(3 << 20, 'x');
  std::ofstream(folder.path / "long.csv", std::ios::binary) << text;
  const auto mapped = MappedFile::Open((folder.path / "long.csv").native());
  ASSERT_TRUE(mapped);
  ASSERT_EQ(mapped->Text(), text);
  mapped->Release(text.size());
  EXPECT_EQ(mapped->Text(), text);
  EXPECT_FALSE(MappedFile::Open((folder.path / "none.csv").native()));
}
