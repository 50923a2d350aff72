// A whole session as a user has it, in a real X server with a window
// manager: choose a file, look at the diagrams, print them, show the table,
// write the export, change settings, end and start again. How a bad file is
// told is the main window's test, with a real message box too.
#include <QApplication>
#include <QDir>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QProcess>
#include <QPushButton>
#include <QRadioButton>
#include <QScreen>
#include <QTemporaryDir>
#include <QTest>
#include <gtest/gtest.h>

#include "../hardcopy/test_support.h"
#include "../support/child_widget.h"
#include "../table/table_test_support.h"
#include "app/main_window.h"
#include "graphics/graf_window.h"
#include "hardcopy/hardcopy.h"
#include "paths/settings_file.h"
#include "table/table_window.h"

using namespace sinkview;
using sinkview::testing::Child;

namespace {

const QString kArtifacts = QStringLiteral(SINKVIEW_E2E_ARTIFACTS);

template <typename W> W* TopLevel() {
  for (QWidget* widget : QApplication::topLevelWidgets()) {
    if (auto* window = qobject_cast<W*>(widget); window && window->isVisible()) return window;
  }
  return nullptr;
}

// The window as the screen shows it, frame and caption included.
void SaveScreenshot(QWidget* window, const QString& name) {
  QTest::qWait(150);
  QDir().mkpath(kArtifacts);
  const QPixmap shot =
      window->screen()->grabWindow(0, window->frameGeometry().x(), window->frameGeometry().y(),
                                   window->frameGeometry().width(), window->frameGeometry().height());
  shot.save(kArtifacts + "/" + name + ".png");
}

void Click(QWidget* widget) { QTest::mouseClick(widget, Qt::LeftButton); }

// The window a click on the button opened, once it is on the screen.
template <typename W> W* Opened(QWidget* button) {
  Click(button);
  W* window = TopLevel<W>();
  EXPECT_TRUE(window && QTest::qWaitForWindowExposed(window));
  return window;
}

// Back to the main window by the button that leaves `window`.
void Leave(QWidget* window, const char* button) {
  Click(Child<QPushButton>(window, button));
  QTest::qWait(100);
}

void ClickFile(QListWidget* files, const QString& name) {
  const auto found = files->findItems(name, Qt::MatchExactly);
  ASSERT_EQ(found.size(), 1) << name.toStdString();
  QTest::mouseClick(files->viewport(), Qt::LeftButton, {}, files->visualItemRect(found[0]).center());
  QTest::qWait(50); // the load follows the selection once the click is handled
}

bool HoldsADrawing(QWidget* box) {
  const QImage image = box->grab().toImage();
  const QRgb background = image.pixel(image.width() / 2, 2);
  int other = 0;
  for (int y = 0; y < image.height(); y += 2)
    for (int x = 0; x < image.width(); x += 2) other += image.pixel(x, y) != background;
  return other > 50;
}

QString Contents(const QString& path) {
  QFile file(path);
  return file.open(QIODevice::ReadOnly) ? QString::fromLatin1(file.readAll()) : QString();
}

class Session : public ::testing::Test {
protected:
  void SetUp() override {
    if (QGuiApplication::platformName() != "xcb")
      GTEST_SKIP() << "needs an X server: run through scripts/with-x-server.sh";
    ASSERT_TRUE(temp.isValid());
    // The screenshots script names a folder that looks like a user's own.
    const QString named = qEnvironmentVariable("SINKVIEW_E2E_STUDY");
    study = named.isEmpty() ? temp.filePath("study") : QDir(named).absolutePath();
    QDir().mkpath(study);
    for (const QString& name : QDir(SINKVIEW_SOURCE_DIR "/examples").entryList({"*.vok"}))
      QFile::copy(SINKVIEW_SOURCE_DIR "/examples/" + name, study + "/" + name);
    paths.ProgramDirectory = SINKVIEW_PROGRAM_DIRECTORY "/";
    paths.SettingsFile = temp.filePath("SINKVIEW.INI").toStdString();
    paths.SampleFolder = study.toStdString();
  }

  QTemporaryDir temp;
  QString study;
  ProgramPaths paths;
};

} // namespace

TEST_F(Session, FromFirstStartToEndAndBack) {
  auto main = std::make_unique<MainWindow>(kMainEdition, paths);
  main->show();
  ASSERT_TRUE(QTest::qWaitForWindowExposed(main.get()));
  EXPECT_EQ(main->currentFolder(), study) << "no settings file yet: the sample folder";

  const auto label = [&](const char* name) { return Child<QLabel>(main.get(), name)->text(); };
  auto* files = Child<QListWidget>(main.get(), "File1");
  ClickFile(files, "bauer_helene_left.vok");
  EXPECT_EQ(label("Label10") + " " + label("Label12") + " " + label("Label13"), "Bauer Helene HB-1948 8 60");
  SaveScreenshot(main.get(), "1-main");

  // The diagrams, at twice their size.
  GrafWindow* graf = Opened<GrafWindow>(Child<QPushButton>(main.get(), "Command1"));
  ASSERT_NE(graf, nullptr);
  EXPECT_FALSE(main->isVisible());
  const QSize design = graf->size();
  graf->resize(design * 2);
  QTest::qWait(300);
  EXPECT_EQ(graf->size(), design * 2) << "the window manager lets it grow";
  for (const char* box : {"Picture1", "Picture2", "Picture3", "Picture4", "Picture5"})
    EXPECT_TRUE(HoldsADrawing(Child<QWidget>(graf, box))) << box;
  SaveScreenshot(graf, "2-graphics-doubled");
  graf->resize(design);
  QTest::qWait(200);
  SaveScreenshot(graf, "2-graphics");

  const QStringList pdfsBefore = HardcopyPdfs();
  if (!DefaultPrinterName().isEmpty()) {
    Click(Child<QPushButton>(graf, "Command2"));
    EXPECT_FALSE(WaitForNewPdf(pdfsBefore).isEmpty()) << "PRINT GRAPHICS gave no PDF";
  }

  Leave(graf, "Command1");
  EXPECT_TRUE(main->isVisible());
  EXPECT_EQ(TopLevel<GrafWindow>(), nullptr);

  // The table and its export, compared with the batch exporter's.
  TableWindow* table = Opened<TableWindow>(Child<QPushButton>(main.get(), "Command4"));
  ASSERT_NE(table, nullptr);
  SaveScreenshot(table, "3-table");
  Click(Child<QPushButton>(table, "Command3"));
  const QString written = study + "/bauer_helene_left.num";
  ASSERT_TRUE(QFile::exists(written));
  const QString batch = temp.filePath("batch");
  QDir().mkpath(batch);
  EXPECT_EQ(QProcess::execute(SINKVIEW_EXPORT_EXE, {"--output-dir", batch, study + "/bauer_helene_left.vok"}),
            0);
  EXPECT_EQ(Contents(written), Contents(batch + "/bauer_helene_left.num"));
  Leave(table, "Command2");
  EXPECT_TRUE(main->isVisible());

  // Head center and a time limit of two years change the values.
  const QString shoulder = Contents(written);
  Click(Child<QRadioButton>(main.get(), "Option9"));
  Child<QLineEdit>(main.get(), "Text2")->setText("24");
  table = Opened<TableWindow>(Child<QPushButton>(main.get(), "Command4"));
  ASSERT_NE(table, nullptr);
  Click(Child<QPushButton>(table, "Command3"));
  const QString head = Contents(written);
  EXPECT_NE(head, shoulder);
  EXPECT_TRUE(head.contains("Subsidence related to head center: yes"));
  SaveScreenshot(table, "4-table-head-center");
  Leave(table, "Command2");

  // The longest series a file may hold: every row of the table above the
  // buttons, at design size and at twice the width.
  sinkview::testing::WriteLongSeries((study + "/thirty.vok").toStdString(), 30);
  main->setCurrentFolder(study);
  ClickFile(files, "thirty.vok");
  EXPECT_EQ(label("Label12"), "30");
  table = Opened<TableWindow>(Child<QPushButton>(main.get(), "Command4"));
  ASSERT_NE(table, nullptr);
  const QSize tableDesign = table->size();
  for (int widths : {1, 2}) {
    table->resize(tableDesign.width() * widths, tableDesign.height());
    QTest::qWait(200);
    EXPECT_EQ(sinkview::testing::TextBelowTheButtons(table), 0) << widths << " times the width";
  }
  SaveScreenshot(table, "6-table-thirty-radiographs");
  Leave(table, "Command2");

  // END stores the folder; the next start opens in it.
  Click(Child<QPushButton>(main.get(), "Command2"));
  EXPECT_EQ(Contents(temp.filePath("SINKVIEW.INI")), "\"" + study + "\"\r\n");
  main.reset();
  MainWindow again(kMainEdition, paths);
  EXPECT_EQ(again.currentFolder(), study);
}
