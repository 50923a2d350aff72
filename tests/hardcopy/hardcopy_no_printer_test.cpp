#include <gtest/gtest.h>

#include <QClipboard>
#include <QDir>
#include <QMessageBox>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTimer>
#include <cstdlib>

#include "hardcopy/hardcopy.h"
#include "test_support.h"

namespace sinkview {
namespace {

// Out of reach before anything asks for a printer, so this process sees
// none even while a scheduler runs.
const bool kPrintSystemOutOfReach = setenv("CUPS_SERVER", "/nonexistent/cups.sock", 1) == 0;

class NoDefaultPrinter : public ::testing::Test {
protected:
  void SetUp() override {
    ASSERT_TRUE(kPrintSystemOutOfReach);
    window.show();
    QGuiApplication::clipboard()->setText("held before");
  }
  // Dialogs that answer `chosen` in the save dialog and remember what they showed.
  void Report() {
    PrintHardcopyAndReport(&window,
                           {[this](QWidget*, const QString& text) { told << text; },
                            [this](QWidget*, const QString& text) { return offered << text, chosen; }});
  }
  MarkedWindow window;
  QTemporaryDir folder;
  QString chosen;
  QStringList told, offered;
};

TEST_F(NoDefaultPrinter, SaysSoAndOffersAPdfWithoutTouchingAnythingWhenDeclined) {
  EXPECT_EQ(PrintHardcopy(&window), "no prt found");
  Report();
  EXPECT_EQ(offered, QStringList{"no prt found"});
  EXPECT_TRUE(told.isEmpty());
  EXPECT_EQ(QGuiApplication::clipboard()->text(), "held before");
}

TEST_F(NoDefaultPrinter, SavesAOnePagePdfInsteadReplacingTheOldFile) {
  chosen = folder.filePath("copy.pdf");
  QFile old(chosen);
  ASSERT_TRUE(old.open(QIODevice::WriteOnly) && old.write("old") == 3);
  old.close();
  Report();
  EXPECT_TRUE(told.isEmpty()) << told.join('\n').toStdString();
  ASSERT_TRUE(old.open(QIODevice::ReadOnly));
  EXPECT_TRUE(old.readAll().trimmed().endsWith("%%EOF"));
  const QString info = RunTool("pdfinfo", {chosen});
  EXPECT_TRUE(info.isEmpty() || info.contains("Pages:           1\n")) << info.toStdString();
  EXPECT_EQ(QDir(folder.path()).entryList(QDir::Files | QDir::Hidden), QStringList{"copy.pdf"});
  EXPECT_EQ(QGuiApplication::clipboard()->image().size(), window.size());
}

TEST_F(NoDefaultPrinter, NamesTheFileWhenThePdfCannotTakeItsPlace) {
  for (const char* name : {"taken", "missing/copy.pdf"}) { // a folder in the way; no folder
    ASSERT_TRUE(QDir(folder.path()).mkpath("taken/inside"));
    chosen = folder.filePath(name), told.clear();
    Report();
    ASSERT_EQ(told.size(), 1);
    EXPECT_TRUE(told.first().startsWith(chosen + ": ")) << told.first().toStdString();
    EXPECT_TRUE(QDir(folder.filePath("taken/inside")).exists());
    EXPECT_EQ(QDir(folder.path()).entryList(QDir::Files | QDir::Hidden), QStringList{});
  }
}

TEST_F(NoDefaultPrinter, TheStandardBoxShowsTheMessageAndTheSaveOffer) {
  QString shown;
  bool offersPdf = false;
  QTimer answer; // the box comes only after the snapshot: look until it is there
  QObject::connect(&answer, &QTimer::timeout, [&] {
    if (auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget())) {
      answer.stop();
      shown = box->text();
      offersPdf = box->findChild<QPushButton*>("SavePdf") != nullptr;
      box->button(QMessageBox::Ok)->click();
    }
  });
  answer.start(10);
  PrintHardcopyAndReport(&window);
  EXPECT_EQ(shown, "no prt found");
  EXPECT_TRUE(offersPdf);
}

} // namespace
} // namespace sinkview
