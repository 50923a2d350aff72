#include <gtest/gtest.h>

#include <QClipboard>
#include <QTemporaryDir>
#include <cstdlib>

#include "hardcopy/hardcopy.h"
#include "model/model.h"
#include "test_support.h"

using namespace sinkview;

// Out of reach before anything asks for a printer, so this process sees
// none even while a scheduler runs.
const bool kPrintSystemOutOfReach = setenv("CUPS_SERVER", "/nonexistent/cups.sock", 1) == 0;

struct NoDefaultPrinter : ::testing::Test {
  void SetUp() override {
    ASSERT_TRUE(kPrintSystemOutOfReach);
    QGuiApplication::clipboard()->setText("held before");
  }
  // The save offer answers `chosen`; what the user is shown is kept.
  void Report() {
    PrintHardcopyAndReport(&window, folder.filePath("proposed.pdf"),
                           {[this](QWidget*, const QString& text) { told << text; },
                            [this](QWidget*, const QString& text, const QString& proposed) {
                              return offered << text << proposed, chosen;
                            }});
  }
  MarkedWindow window;
  QTemporaryDir folder;
  QString chosen;
  QStringList told, offered;
};

TEST_F(NoDefaultPrinter, SaysSoAndSavesAOnePagePdfOnlyWhenTheOfferIsAccepted) {
  Report(); // declined
  EXPECT_EQ(offered,
            QStringList({"no prt found\nNo default printer is set up.", folder.filePath("proposed.pdf")}));
  EXPECT_EQ(QGuiApplication::clipboard()->text(), "held before");

  chosen = folder.filePath("copy.pdf");
  Report();
  Report(); // and once more over the first one
  EXPECT_TRUE(told.isEmpty() && RunTool("pdfinfo", {chosen}).contains("Pages:           1\n"))
      << told.join('\n').toStdString();
  EXPECT_EQ(QDir(folder.path()).entryList(QDir::Files | QDir::Hidden), QStringList{"copy.pdf"});
  EXPECT_EQ(QGuiApplication::clipboard()->image().size(), window.size());
}

TEST_F(NoDefaultPrinter, NamesTheFileWhenThePdfCannotBeSaved) {
  ASSERT_TRUE(QDir(folder.path()).mkpath("taken/inside"));
  for (const char* name : {"taken", "missing/copy.pdf"}) { // a folder in the way; no folder
    chosen = folder.filePath(name), told.clear();
    Report();
    EXPECT_TRUE(told.size() == 1 && told.first().contains(chosen)) << told.join('\n').toStdString();
    EXPECT_EQ(QDir(folder.path()).entryList(QDir::Files | QDir::Hidden), QStringList{}) << "nothing left";
  }
}

TEST(HardcopyPdf, ProposedBesideTheDataFileWhereItCanBeWrittenElseAtHome) {
  QTemporaryDir data;
  MeasurementModel m;
  m.PatientCode = "M\xFCller Otto OM-1937"; // as read from a Windows-1252 file
  m.NumFileName = data.filePath("mueller.num").toStdString();
  EXPECT_EQ(ProposedPdfPath(m, "graphics"), data.filePath("M\u00FCller Otto OM-1937 - graphics.pdf"));
  m.NumFileName = "/no/such/folder/mueller.num";
  EXPECT_EQ(ProposedPdfPath(m, "table"), QDir::home().filePath("M\u00FCller Otto OM-1937 - table.pdf"));
}
