#include <gtest/gtest.h>

#include <QApplication>
#include <QClipboard>
#include <QDir>
#include <QFile>
#include <QMessageBox>
#include <QPushButton>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QTimer>
#include <cstdlib>

#include "hardcopy/hardcopy.h"
#include "print_system.h"
#include "test_window.h"

namespace sinkview {
namespace {

// The print system is put out of reach before anything asks for a printer,
// so this process sees none even while a scheduler runs.
const bool kPrintSystemOutOfReach = [] {
  setenv("CUPS_SERVER", "/nonexistent/cups.sock", 1);
  return true;
}();

// Dialogs that answer as a test tells them and remember what they were shown.
struct ScriptedDialogs {
  QString answer; // the file chosen in the save dialog, "" to decline
  QStringList told;
  QStringList offered;

  HardcopyDialogs Dialogs() {
    return {[this](QWidget*, const QString& message) { told << message; },
            [this](QWidget*, const QString& message) {
              offered << message;
              return answer;
            }};
  }
};

QByteArray Contents(const QString& path) {
  QFile file(path);
  return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

class NoDefaultPrinter : public ::testing::Test {
protected:
  static void SetUpTestSuite() { EnsureApplication(); }

  void SetUp() override {
    ASSERT_TRUE(kPrintSystemOutOfReach);
    ASSERT_TRUE(folder.isValid());
    window.show();
    QGuiApplication::clipboard()->setText(QStringLiteral("held before"));
  }

  MarkedWindow window;
  QTemporaryDir folder;
  ScriptedDialogs dialogs;
};

TEST_F(NoDefaultPrinter, SaysSoAndTouchesNothing) {
  EXPECT_EQ(DefaultPrinterName(), "");
  EXPECT_EQ(PrintHardcopy(&window), "no prt found");
  EXPECT_EQ(QGuiApplication::clipboard()->text(), "held before");
}

TEST_F(NoDefaultPrinter, OffersAPdfAndWritesNothingWhenDeclined) {
  PrintHardcopyAndReport(&window, dialogs.Dialogs());
  EXPECT_EQ(dialogs.offered, QStringList{"no prt found"});
  EXPECT_TRUE(dialogs.told.isEmpty());
  EXPECT_EQ(QGuiApplication::clipboard()->text(), "held before");
}

TEST_F(NoDefaultPrinter, SavesTheHardcopyAsAOnePagePdfInstead) {
  dialogs.answer = folder.filePath("copy.pdf");
  QFile old(dialogs.answer);
  ASSERT_TRUE(old.open(QIODevice::WriteOnly));
  old.write("old contents");
  old.close();

  const QRect geometry = window.geometry();
  PrintHardcopyAndReport(&window, dialogs.Dialogs());

  EXPECT_TRUE(dialogs.told.isEmpty()) << dialogs.told.join('\n').toStdString();
  const QByteArray pdf = Contents(dialogs.answer);
  EXPECT_TRUE(pdf.startsWith("%PDF"));
  EXPECT_TRUE(pdf.trimmed().endsWith("%%EOF"));
  const QString info = RunTool("pdfinfo", {dialogs.answer});
  if (!info.isEmpty()) {
    EXPECT_TRUE(info.contains(QRegularExpression("Pages:\\s+1\\n"))) << info.toStdString();
  }
  EXPECT_EQ(QDir(folder.path()).entryList(QDir::Files | QDir::Hidden), QStringList{"copy.pdf"});
  EXPECT_EQ(QGuiApplication::clipboard()->image().size(), window.size());
  EXPECT_EQ(window.geometry(), geometry);
}

TEST_F(NoDefaultPrinter, NamesTheFileWhenThePdfCannotReplaceIt) {
  // A folder in the way of the file: the rename fails, the folder stays.
  dialogs.answer = folder.filePath("taken");
  ASSERT_TRUE(QDir(folder.path()).mkpath("taken/inside"));
  PrintHardcopyAndReport(&window, dialogs.Dialogs());
  ASSERT_EQ(dialogs.told.size(), 1);
  EXPECT_TRUE(dialogs.told.first().startsWith(dialogs.answer + ": ")) << dialogs.told.first().toStdString();
  EXPECT_TRUE(QDir(folder.filePath("taken/inside")).exists());
  EXPECT_EQ(QDir(folder.path()).entryList(QDir::Files | QDir::Hidden), QStringList{});
}

TEST_F(NoDefaultPrinter, NamesTheFileWhenItsFolderDoesNotExist) {
  dialogs.answer = folder.filePath("missing/copy.pdf");
  PrintHardcopyAndReport(&window, dialogs.Dialogs());
  ASSERT_EQ(dialogs.told.size(), 1);
  EXPECT_TRUE(dialogs.told.first().startsWith(dialogs.answer + ": ")) << dialogs.told.first().toStdString();
}

TEST_F(NoDefaultPrinter, TheStandardBoxShowsTheMessageAndTheSaveOffer) {
  QString shown;
  bool offersPdf = false;
  // The box appears only once the snapshot is taken: look for it until then.
  QTimer answer;
  QObject::connect(&answer, &QTimer::timeout, [&] {
    auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
    if (!box) return;
    answer.stop();
    shown = box->text();
    offersPdf = box->findChild<QPushButton*>("SavePdf") != nullptr;
    box->button(QMessageBox::Ok)->click();
  });
  answer.start(10);
  PrintHardcopyAndReport(&window);
  EXPECT_EQ(shown, "no prt found");
  EXPECT_TRUE(offersPdf);
}

} // namespace
} // namespace sinkview
