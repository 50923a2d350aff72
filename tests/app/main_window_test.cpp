#include "app/main_window.h"

#include <QCheckBox>
#include <QFile>
#include <QListWidget>
#include <QPushButton>
#include <QStyle>
#include <QStyleOptionButton>
#include <QTemporaryDir>
#include <QTest>
#include <fstream>
#include <functional>
#include <gtest/gtest.h>

#include "../support/child_widget.h"
#include "../support/failure_text.h"
#include "app/settings_file.h"
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
  QColor Back(const char* name) { return Control(name)->palette().color(QPalette::Window); }
  std::string InTemp(const char* name) { return dir.filePath(name).toStdString(); }

  QTemporaryDir dir;
  ProgramPaths paths{dir.path().toStdString() + "/", InTemp("SINKVIEW.INI"), kExamples.toStdString()};
  std::vector<UserMessage> messages;
  std::unique_ptr<MainWindow> main;
};

} // namespace

TEST_F(MainWindowTest, ControlsStandAtTheirDesignRectanglesWithTheirTextsAndStartValues) {
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
  // The raw-data box is smaller than most styles' indicator.
  auto* check = static_cast<QCheckBox*>(Control("Check1"));
  QStyleOptionButton option;
  option.initFrom(check);
  const QRect indicator = check->style()->subElementRect(QStyle::SE_CheckBoxIndicator, &option, check);
  EXPECT_TRUE(check->rect().contains(indicator))
      << indicator.x() << "," << indicator.y() << " " << indicator.width() << "x" << indicator.height();
}

// The conversions are MainSession's; here only that each control reaches its
// setting, and that the one under the mouse is green.
TEST_F(MainWindowTest, SettingsFollowTheirControlsAndTheMouseLightsThemUp) {
  Open();
  main->show();
  Control("Text2")->setProperty("text", "24");
  Control("Text1")->setProperty("text", "2");
  for (const char* name : {"Check1", "Option9"}) QTest::mouseClick(Control(name), Qt::LeftButton);
  const MeasurementModel& m = main->model();
  EXPECT_EQ(std::tuple(m.TimeLimitDays, m.ZoomRange, m.ShowRawData, m.ReferencePoint),
            std::tuple(730.0f, 2.0f, RawData::Shown, Reference::HeadCenter));
  QTest::mouseClick(Control("Option10"), Qt::LeftButton);
  EXPECT_EQ(m.ReferencePoint, Reference::StemShoulder);
  QTest::mouseMove(Control("Text1"), QPoint(3, 3));
  EXPECT_EQ(Back("Text1"), QColor(0, 255, 0));
  QTest::mouseMove(Control("Text2"), QPoint(3, 3));
  EXPECT_EQ(Back("Text1"), QColor(Qt::white));
  EXPECT_EQ(Back("Text2"), QColor(0, 255, 0));
  QTest::mouseMove(main.get(), QPoint(5, 5));
  EXPECT_EQ(Back("Text2"), QColor(Qt::white));
}

// A file named on the command line opens as a click in File1 opens it. What
// the facts and messages say is MainSession's; here only where they go.
TEST_F(MainWindowTest, OpenedFileShowsItsFactsOrItsMessageInItsBox) {
  Open();
  main->openDataFile(kExamples + "/bauer_helene_left.vok");
  ASSERT_TRUE(messages.empty());
  const QListWidgetItem* selected = static_cast<QListWidget*>(Control("File1"))->currentItem();
  EXPECT_EQ(selected ? selected->text() : "", "bauer_helene_left.vok");
  QStringList facts;
  for (const char* label : {"Label10", "Label11", "Label12", "Label13", "Label23"}) facts << Text(label);
  EXPECT_EQ(facts.join(" | ").toStdString(), "Bauer Helene HB-1948 | left | 8 | 60 | 1.15");
  EXPECT_TRUE(Shown("Command1") && Shown("Command4"));

  main->openDataFile(kData + "/thirty_two_records.vok");
  main->openDataFile(dir.filePath("gone/missing.vok"));
  EXPECT_EQ(Text("Label12"), "8");
  EXPECT_EQ(main->currentFolder(), kData) << "a folder that is gone is not entered";
  ASSERT_EQ(messages.size(), 2u);
  EXPECT_EQ(messages[0].title + " " + messages[1].title, "OVERFLOW " + main->windowTitle());
  EXPECT_TRUE(messages[1].text.contains("missing.vok"));
}

TEST_F(MainWindowTest, SecondEditionNamesTheOldFileFormat) {
  Open(kSecondEdition);
  EXPECT_EQ(main->windowTitle(), "ORVA / VOK - GRAPHICS 2002");
  main->LoadDataFile(kExamples, "mueller_otto_right.vok");
  EXPECT_TRUE(Shown("Label16"));
  EXPECT_EQ(Text("Label16"), "OLD FILE FORMAT!");
}

TEST_F(MainWindowTest, ASeriesThatOverflowsWhenPreparedOpensNoWindow) {
  Open();
  main->LoadDataFile(kData, "overflowing.vok");
  for (const char* button : {"Command1", "Command4"}) static_cast<QPushButton*>(Control(button))->click();
  EXPECT_EQ(messages.size(), 2u);
  EXPECT_EQ(QApplication::topLevelWidgets().size(), 1) << "only the main window";
}

// The window starts in the stored folder and lists its data files. Whatever
// moves the highlight loads its file; after a rejected file the highlight
// returns to the file whose series is loaded, or to none.
TEST_F(MainWindowTest, HighlightedFileIsAlwaysTheLoadedFile) {
  QFile::copy(kExamples + "/bauer_helene_left.vok", dir.filePath("a.vok"));
  QFile::copy(kExamples + "/mueller_otto_right.vok", dir.filePath("B.VOK"));
  QFile::copy(kData + "/month_thirteen.vok", dir.filePath("c.Vok"));
  std::ofstream(InTemp("d.txt")) << "x";
  ASSERT_EQ(MessageOf(WriteStartFolder(paths.SettingsFile, dir.path().toStdString())), "");
  Open();
  main->show();
  EXPECT_EQ(main->currentFolder(), dir.path());
  auto* files = static_cast<QListWidget*>(Control("File1"));
  QStringList listed;
  for (const QListWidgetItem* item : files->findItems("*", Qt::MatchWildcard)) listed << item->text();
  EXPECT_EQ(listed, QStringList({"a.vok", "B.VOK", "c.Vok"}));
  const auto settle = [] { QCoreApplication::processEvents(); };
  const auto click = [&](int row) {
    QTest::mouseClick(files->viewport(), Qt::LeftButton, {},
                      files->visualItemRect(files->item(row)).center());
  };
  settle();
  ASSERT_EQ(files->currentRow(), -1) << "nothing loaded, nothing highlighted: "
                                     << Text("Label10").toStdString();
  // A step, then the highlighted row, the patient loaded and the messages so far.
  using Step = std::tuple<const char*, std::function<void()>, int, const char*, std::size_t>;
  for (const auto& [what, step, row, patient, told] : {
           Step{"click on the bad c", [&] { click(2); }, -1, "", 1},
           Step{"click on a", [&] { click(0); }, 0, "Bauer Helene HB-1948", 1},
           Step{"arrow down to b", [&] { QTest::keyClick(files, Qt::Key_Down); }, 1,
                "M\xC3\xBCller Otto OM-1937", 1},
           Step{"arrow down to c", [&] { QTest::keyClick(files, Qt::Key_Down); }, 1,
                "M\xC3\xBCller Otto OM-1937", 2},
           Step{"home", [&] { QTest::keyClick(files, Qt::Key_Home); }, 0, "Bauer Helene HB-1948", 2},
           Step{"click on c", [&] { click(2); }, 0, "Bauer Helene HB-1948", 3},
       }) {
    step();
    settle();
    EXPECT_EQ(files->currentRow(), row) << what;
    EXPECT_EQ(files->selectedItems().size(), row < 0 ? 0 : 1) << what;
    EXPECT_EQ(Text("Label10").toStdString(), patient) << what;
    EXPECT_EQ(messages.size(), told) << what;
  }
}
