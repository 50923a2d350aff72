#include "app/main_window.h"

#include <QFile>
#include <QListWidget>
#include <QMessageBox>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <filesystem>
#include <fstream>
#include <functional>
#include <gtest/gtest.h>

#include "../support/child_widget.h"
#include "../support/failure_text.h"
#include "paths/settings_file.h"
#include "ui/design_units.h"

using namespace sinkview;
using sinkview::testing::MessageOf;

namespace {

const QString kExamples = SINKVIEW_SOURCE_DIR "/examples";
const QString kData = SINKVIEW_TEST_DATA;

struct MainWindowTest : ::testing::Test {
  void Open(const Edition& edition = kMainEdition) {
    main = std::make_unique<MainWindow>(edition, paths);
    main->setMessageSink([this](const UserMessage& m) { messages.push_back(m); });
  }
  QWidget* Control(const char* name) { return sinkview::testing::Child(main.get(), name); }
  QString Text(const char* name) { return Control(name)->property("text").toString(); }
  bool Shown(const char* name) { return Control(name)->isVisibleTo(main.get()); }
  std::string InTemp(const char* name) { return dir.filePath(name).toStdString(); }

  QTemporaryDir dir;
  ProgramPaths paths{dir.path().toStdString() + "/", InTemp("SINKVIEW.INI"), kExamples.toStdString()};
  std::vector<UserMessage> messages;
  std::unique_ptr<MainWindow> main;
};

} // namespace

TEST_F(MainWindowTest, ControlsStandAtTheirDesignRectanglesWithTheirTextsAndStartValuesAndSetTheSettings) {
  Open();
  main->show();
  EXPECT_EQ(main->windowTitle(), "ORVA / VOK - GRAPHICS 2008");
  EXPECT_EQ(main->size(), TwipsRect(0, 0, 9840, 6900).size());
  for (const auto& [name, rect, text] : std::initializer_list<std::tuple<const char*, QRect, const char*>>{
           {"Label1", TwipsRect(240, 120, 1656, 192), "Select VOK-datafile"},
           {"File1", TwipsRect(3600, 480, 3135, 3288), ""},
           {"Text1", TwipsRect(8880, 1440, 492, 192), "3"},
           {"Text2", TwipsRect(8760, 600, 612, 192), "60"},
           {"Option10", TwipsRect(1800, 600, 252, 252), ""},
           {"Check1", TwipsRect(9480, 1200, 252, 192), ""},
           {"Command1", TwipsRect(7800, 6360, 1815, 372), "GRAPHICS"},
           {"Command2", TwipsRect(240, 6360, 1452, 372), "END"},
           {"Command4", TwipsRect(5880, 6360, 1815, 372), "SHOW TABLE"}}) {
    EXPECT_EQ(Control(name)->geometry(), rect) << name;
    EXPECT_EQ(Text(name), text) << name;
  }
  EXPECT_TRUE(Control("Option10")->property("checked").toBool());
  EXPECT_FALSE(Control("Check1")->property("checked").toBool());
  for (const char* name : {"Label16", "Command1", "Command4"}) EXPECT_FALSE(Shown(name)) << name;

  // The conversions are MainSession's; here only that each control reaches
  // its setting.
  Control("Text2")->setProperty("text", "24");
  Control("Text1")->setProperty("text", "2");
  for (const char* name : {"Check1", "Option9"}) QTest::mouseClick(Control(name), Qt::LeftButton);
  const Settings& m = main->settings();
  EXPECT_EQ(std::tuple(m.TimeLimitDays, m.ZoomRange, m.ShowRawData, m.ReferencePoint),
            std::tuple(730.0f, 2.0f, RawData::Shown, Reference::HeadCenter));
  QTest::mouseClick(Control("Option10"), Qt::LeftButton);
  EXPECT_EQ(m.ReferencePoint, Reference::StemShoulder);
}

// A file named on the command line opens as a click in File1 opens it. What
// the facts and messages say is MainSession's; here only where they go.
TEST_F(MainWindowTest, OpenedFileShowsItsFactsOrItsMessageInItsBoxAndASettingOutsideItsRangeOpensNoWindow) {
  Open();
  main->openDataFile(QFile::encodeName(kExamples + "/bauer_helene_left.vok"));
  ASSERT_TRUE(messages.empty());
  const QListWidgetItem* selected = static_cast<QListWidget*>(Control("File1"))->currentItem();
  EXPECT_EQ(selected ? selected->text() : "", "bauer_helene_left.vok");
  QStringList facts;
  for (const char* label : {"Label10", "Label11", "Label12", "Label13", "Label23"}) facts << Text(label);
  EXPECT_EQ(facts.join(" | ").toStdString(), "Bauer Helene HB-1948 | left | 8 | 60 | 1.15");
  EXPECT_TRUE(Shown("Command1") && Shown("Command4"));

  // Values that would overflow when prepared are refused when the file is read.
  for (const char* bad : {"/thirty_two_records.vok", "/overflowing.vok"})
    main->openDataFile(QFile::encodeName(kData + bad));
  main->openDataFile(QFile::encodeName(dir.filePath("gone/missing.vok")));
  EXPECT_EQ(Text("Label12"), "8");
  EXPECT_EQ(main->currentFolder(), kData) << "a folder that is gone is not entered";
  ASSERT_EQ(messages.size(), 3u);
  EXPECT_EQ(messages[0].title + " " + messages[2].title, "OVERFLOW " + main->windowTitle());
  EXPECT_TRUE(messages[1].text.contains("a distance must lie between")) << messages[1].text.toStdString();
  EXPECT_TRUE(messages[2].text.contains("missing.vok"));

  const QByteArray notUtf8 = QFile::encodeName(dir.path()) + "/\xE4.vok";
  std::filesystem::copy_file((kExamples + "/mueller_otto_right.vok").toStdString(), notUtf8.toStdString());
  main->openDataFile(notUtf8);
  EXPECT_EQ(Text("Label10").toStdString(), "M\xC3\xBCller Otto OM-1937");
  EXPECT_EQ(messages.size(), 3u);

  // A settings field the windows cannot draw with is named with its range
  // when a window is asked for, and no window opens.
  for (const auto& [field, typed, named] :
       {std::tuple{"Text2", "abc", "Time Limit (months):"}, std::tuple{"Text2", "0", "Time Limit (months):"},
        std::tuple{"Text1", "0", "Zoom (range +/- mm):"}, std::tuple{"Text1", "", "Zoom (range +/- mm):"},
        std::tuple{"Text1", "-2", "Zoom (range +/- mm):"}}) {
    Control(field)->setProperty("text", typed);
    for (const char* button : {"Command1", "Command4"}) {
      messages.clear();
      static_cast<QPushButton*>(Control(button))->click();
      ASSERT_EQ(messages.size(), 1u) << field << " " << typed << " " << button;
      EXPECT_EQ(messages[0].text,
                QString("%1 wants a number above 0 and at most 1000000, not '%2'.").arg(named, typed));
      EXPECT_EQ(QApplication::topLevelWidgets().size(), 1) << "only the main window";
      EXPECT_EQ(Text(field), typed);
    }
    Control(field)->setProperty("text", field == std::string("Text2") ? "60" : "3");
  }
}

TEST_F(MainWindowTest, SecondEditionNamesTheOldFileFormat) {
  Open(kSecondEdition);
  EXPECT_EQ(main->windowTitle(), "ORVA / VOK - GRAPHICS 2002");
  main->LoadDataFile(kExamples, "mueller_otto_right.vok");
  EXPECT_TRUE(Shown("Label16"));
  EXPECT_EQ(Text("Label16"), "OLD FILE FORMAT!");
}

// The window starts in the stored folder and lists its data files, a name
// that is not UTF-8 too. Whatever moves the highlight loads its file; after a
// rejected file the highlight returns to the file whose series is loaded, or
// to none, and the arrow keys step over the rejected file.
TEST_F(MainWindowTest, HighlightedFileIsAlwaysTheLoadedFile) {
  const QByteArray latin1Name = "z\xE4.vok";
  QFile::copy(kExamples + "/bauer_helene_left.vok", dir.filePath("a.vok"));
  QFile::copy(kData + "/month_thirteen.vok", dir.filePath("B.VOK"));
  QFile::copy(kExamples + "/mueller_otto_right.vok", dir.filePath("c.Vok"));
  QFile::copy(kData + "/thirty_two_records.vok", dir.filePath("d.vok"));
  std::ofstream(InTemp("e.txt")) << "x";
  std::filesystem::copy_file((kExamples + "/schmid_anna_left_breaks.vok").toStdString(),
                             InTemp("") + "/" + latin1Name.toStdString());
  ASSERT_EQ(MessageOf(WriteStartFolder(paths.SettingsFile, dir.path().toStdString())), "");
  Open();
  main->show();
  EXPECT_EQ(main->currentFolder(), dir.path());
  auto* files = static_cast<QListWidget*>(Control("File1"));
  QStringList listed;
  for (const QListWidgetItem* item : files->findItems("*", Qt::MatchWildcard)) listed << item->text();
  EXPECT_EQ(listed, QStringList({"a.vok", "B.VOK", "c.Vok", "d.vok", QFile::decodeName(latin1Name)}));
  const auto settle = [] { QCoreApplication::processEvents(); };
  const auto click = [&](int row) {
    QTest::mouseClick(files->viewport(), Qt::LeftButton, {},
                      files->visualItemRect(files->item(row)).center());
  };
  const auto press = [&](Qt::Key key) { return [&, key] { QTest::keyClick(files, key); }; };
  settle();
  ASSERT_EQ(files->currentRow(), -1) << "nothing loaded, nothing highlighted: "
                                     << Text("Label10").toStdString();
  // A step, then the highlighted row, the patient loaded and the messages so far.
  using Step = std::tuple<const char*, std::function<void()>, int, const char*, std::size_t>;
  for (const auto& [what, step, row, patient, told] : {
           Step{"click on the bad b", [&] { click(1); }, -1, "", 1},
           Step{"click on a", [&] { click(0); }, 0, "Bauer Helene HB-1948", 1},
           Step{"arrow down over b to c", press(Qt::Key_Down), 2, "M\xC3\xBCller Otto OM-1937", 1},
           Step{"arrow up over b to a", press(Qt::Key_Up), 0, "Bauer Helene HB-1948", 1},
           Step{"click on b once more", [&] { click(1); }, 0, "Bauer Helene HB-1948", 1},
           Step{"click on the bad d", [&] { click(3); }, 0, "Bauer Helene HB-1948", 2},
           Step{"end", press(Qt::Key_End), 4, "Schmid Anna AS-1951", 2},
           Step{"arrow up over d to c", press(Qt::Key_Up), 2, "M\xC3\xBCller Otto OM-1937", 2},
       }) {
    step();
    settle();
    EXPECT_EQ(files->currentRow(), row) << what;
    EXPECT_EQ(files->selectedItems().size(), row < 0 ? 0 : 1) << what;
    EXPECT_EQ(Text("Label10").toStdString(), patient) << what;
    EXPECT_EQ(messages.size(), told) << what;
  }
}

// A real message box takes the focus from the list and gives it back when it
// closes; a list without a current row then makes its first usable row the
// current one. Neither a row nobody chose nor a file rejected once loads.
TEST_F(MainWindowTest, ARejectedFileIsToldOnceAndMarked) {
  using Files = std::tuple<const char*, std::vector<const char*>, int, const char*>;
  for (const auto& [what, names, badRow, patient] : {
           Files{"bad first", {"a.vok", "b.vok"}, 0, ""},
           Files{"good first", {"b.vok", "a.vok"}, 1, ""},
       }) {
    QTemporaryDir folder;
    QFile::copy(kData + "/month_thirteen.vok", folder.filePath(names[0]));
    QFile::copy(kExamples + "/bauer_helene_left.vok", folder.filePath(names[1]));
    messages.clear();
    Open();
    main->setMessageSink([this](const UserMessage& m) {
      messages.push_back(m);
      if (messages.size() > 3) return; // the fault would repeat it for ever
      QMessageBox box(QMessageBox::Warning, m.title, m.text, QMessageBox::Ok);
      QTimer::singleShot(0, &box, [&box] {
        if (QTest::qWaitForWindowActive(&box)) box.accept();
      });
      box.exec();
      // The window manager gives the main window back its focus.
      QTimer::singleShot(0, main.get(), [this] { main->activateWindow(); });
    });
    main->setCurrentFolder(folder.path());
    main->show();
    main->activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(main.get())) << what;
    auto* files = static_cast<QListWidget*>(Control("File1"));
    QTest::mouseClick(files->viewport(), Qt::LeftButton, {},
                      files->visualItemRect(files->item(badRow)).center());
    for (int i = 0; i < 5; ++i) QTest::qWait(20);
    EXPECT_EQ(messages.size(), 1u) << what;
    EXPECT_EQ(Text("Label10").toStdString(), patient) << what;
    EXPECT_TRUE(files->selectedItems().isEmpty()) << what;
    const QListWidgetItem* bad = files->item(badRow);
    EXPECT_FALSE(bad->flags() & Qt::ItemIsEnabled) << what;
    EXPECT_EQ(bad->toolTip(), messages.front().text) << what;
  }
}
