#include "app/main_window.h"

#include <QApplication>
#include <QCheckBox>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QRadioButton>
#include <QTest>
#include <filesystem>
#include <fstream>
#include <gtest/gtest.h>

#include "app/settings_file.h"
#include "model/reader.h"
#include "ui/design_units.h"

using namespace sinkview;
namespace fs = std::filesystem;

namespace {

const std::string kExamples = std::string(SINKVIEW_SOURCE_DIR) + "/examples";

class MainWindowTest : public ::testing::Test {
protected:
  MainWindowTest() {
    std::string pattern = (fs::temp_directory_path() / "sinkview-main-XXXXXX").string();
    temp = mkdtemp(pattern.data());
    paths = {temp + "/", temp + "/SINKVIEW.INI", kExamples};
  }
  ~MainWindowTest() override { fs::remove_all(temp); }

  std::unique_ptr<MainWindow> Open(const Edition& edition = kMainEdition) {
    auto window = std::make_unique<MainWindow>(edition, paths);
    window->setMessageSink([this](const UserMessage& m) { messages.push_back(m); });
    return window;
  }
  template <typename T> static T* Control(QWidget& w, const char* name) {
    T* control = w.findChild<T*>(name);
    EXPECT_NE(control, nullptr) << name;
    return control;
  }
  static QString Text(QWidget& w, const char* label) { return Control<QLabel>(w, label)->text(); }

  std::string temp;
  ProgramPaths paths;
  std::vector<UserMessage> messages;
};

QColor BackColor(QWidget* w) { return w->palette().color(QPalette::Window); }

} // namespace

TEST_F(MainWindowTest, ControlsStandAtTheirDesignRectanglesWithTheirTexts) {
  auto main = Open();
  EXPECT_EQ(main->objectName(), "Main");
  EXPECT_EQ(main->windowTitle(), "ORVA / VOK - GRAPHICS 2008");
  EXPECT_EQ(main->size(), TwipsRect(0, 0, 9840, 6900).size());
  struct Expected {
    const char* name;
    QRect rect;
    const char* text;
  };
  for (const Expected& e : {Expected{"Label1", TwipsRect(240, 120, 1656, 192), "Select VOK-datafile"},
                            Expected{"File1", TwipsRect(3600, 480, 3135, 3288), nullptr},
                            Expected{"Text2", TwipsRect(8760, 600, 612, 192), nullptr},
                            Expected{"Label15", TwipsRect(6960, 2280, 1476, 192), "Major Trochanter"},
                            Expected{"Option10", TwipsRect(1800, 600, 252, 252), nullptr},
                            Expected{"Label23", TwipsRect(2640, 5880, 675, 195), ""},
                            Expected{"Command1", TwipsRect(7800, 6360, 1815, 372), "GRAPHICS"},
                            Expected{"Command2", TwipsRect(240, 6360, 1452, 372), "END"},
                            Expected{"Command4", TwipsRect(5880, 6360, 1815, 372), "SHOW TABLE"}}) {
    QWidget* control = main->findChild<QWidget*>(e.name);
    ASSERT_NE(control, nullptr) << e.name;
    EXPECT_EQ(control->geometry(), e.rect) << e.name;
    if (auto* label = qobject_cast<QLabel*>(control); label && e.text) {
      EXPECT_EQ(label->text(), e.text);
    }
    if (auto* button = qobject_cast<QPushButton*>(control); button && e.text) {
      EXPECT_EQ(button->text(), e.text);
    }
  }
  EXPECT_EQ(Control<QLineEdit>(*main, "Text1")->text(), "3");
  EXPECT_EQ(Control<QLineEdit>(*main, "Text2")->text(), "60");
  EXPECT_TRUE(Control<QRadioButton>(*main, "Option10")->isChecked());
  EXPECT_FALSE(Control<QCheckBox>(*main, "Check1")->isChecked());
  EXPECT_FALSE(Control<QLabel>(*main, "Label16")->isVisibleTo(main.get()));
  EXPECT_FALSE(Control<QPushButton>(*main, "Command1")->isVisibleTo(main.get()));
  EXPECT_FALSE(Control<QPushButton>(*main, "Command4")->isVisibleTo(main.get()));
  const MeasurementModel& m = main->model();
  EXPECT_EQ(m.TimeLimitDays, 1825);
  EXPECT_EQ(m.ZoomRange, 3);
  EXPECT_EQ(m.ReferencePoint, 1);
  EXPECT_EQ(m.ComparabilityLimit, 3);
}

TEST_F(MainWindowTest, SettingsFollowTheirControls) {
  auto main = Open();
  auto* text2 = Control<QLineEdit>(*main, "Text2");
  text2->setText("24");
  EXPECT_EQ(main->model().TimeLimitDays, 730);
  text2->setText("");
  EXPECT_EQ(main->model().TimeLimitDays, 0);
  Control<QLineEdit>(*main, "Text1")->setText("abc");
  EXPECT_EQ(main->model().ZoomRange, 0);
  main->show();
  QTest::mouseClick(Control<QCheckBox>(*main, "Check1"), Qt::LeftButton);
  EXPECT_EQ(main->model().ShowRawData, 1);
  QTest::mouseClick(Control<QCheckBox>(*main, "Check1"), Qt::LeftButton);
  EXPECT_EQ(main->model().ShowRawData, 0);
  QTest::mouseClick(Control<QRadioButton>(*main, "Option9"), Qt::LeftButton);
  EXPECT_EQ(main->model().ReferencePoint, 0);
  QTest::mouseClick(Control<QRadioButton>(*main, "Option10"), Qt::LeftButton);
  EXPECT_EQ(main->model().ReferencePoint, 1);
}

TEST_F(MainWindowTest, GreenHighlightFollowsTheMouseOverInputControls) {
  auto main = Open();
  main->show();
  auto* text1 = Control<QLineEdit>(*main, "Text1");
  auto* text2 = Control<QLineEdit>(*main, "Text2");
  QTest::mouseMove(text1, QPoint(3, 3));
  EXPECT_EQ(BackColor(text1), QColor(0, 255, 0));
  QTest::mouseMove(text2, QPoint(3, 3));
  EXPECT_EQ(BackColor(text1), QColor(255, 255, 255));
  EXPECT_EQ(BackColor(text2), QColor(0, 255, 0));
  QMouseEvent move(QEvent::MouseMove, QPointF(5, 5), QPointF(5, 5), Qt::NoButton, Qt::NoButton,
                   Qt::NoModifier);
  QApplication::sendEvent(main.get(), &move);
  EXPECT_EQ(BackColor(text2), QColor(255, 255, 255));
}

TEST_F(MainWindowTest, StartsInTheSampleFolderWithoutSettingsAndInTheStoredOneWithThem) {
  auto first = Open();
  EXPECT_EQ(first->currentFolder(), QString::fromStdString(kExamples));
  EXPECT_EQ(Control<QListWidget>(*first, "File1")->count(), 3);

  fs::create_directories(temp + "/hips");
  for (const char* name : {"a.vok", "B.VOK", "c.txt", "d.Vok"}) std::ofstream(temp + "/hips/" + name) << "x";
  ASSERT_EQ(WriteStartFolder(paths.SettingsFile, temp + "/hips"), "");
  auto second = Open();
  EXPECT_EQ(second->currentFolder(), QString::fromStdString(temp + "/hips"));
  auto* files = Control<QListWidget>(*second, "File1");
  QStringList listed;
  for (int i = 0; i < files->count(); ++i) listed << files->item(i)->text();
  EXPECT_EQ(listed, QStringList({"a.vok", "B.VOK", "d.Vok"}));

  ASSERT_EQ(WriteStartFolder(paths.SettingsFile, temp + "/removed"), "");
  EXPECT_EQ(Open()->currentFolder(), QString::fromStdString(kExamples)) << "a stored folder that is gone";
}

TEST_F(MainWindowTest, LoadingShowsTheFactsAndTheButtons) {
  auto main = Open();
  main->LoadDataFile(QString::fromStdString(kExamples), "bauer_helene_left.vok");
  ASSERT_TRUE(messages.empty());
  EXPECT_EQ(Text(*main, "Label10"), "Bauer Helene HB-1948");
  EXPECT_EQ(Text(*main, "Label11"), "left");
  EXPECT_EQ(Text(*main, "Label12"), "8");
  EXPECT_EQ(Text(*main, "Label13"), "60");
  EXPECT_FALSE(Text(*main, "Label23").isEmpty());
  EXPECT_TRUE(Control<QPushButton>(*main, "Command1")->isVisibleTo(main.get()));
  EXPECT_TRUE(Control<QPushButton>(*main, "Command4")->isVisibleTo(main.get()));

  main->LoadDataFile(QString::fromStdString(kExamples), "mueller_otto_right.vok");
  EXPECT_EQ(Text(*main, "Label10"), QString::fromUtf8("M\xC3\xBCller Otto OM-1937")) << "Windows-1252 name";
  EXPECT_FALSE(Control<QLabel>(*main, "Label16")->isVisibleTo(main.get())) << "main edition";
}

TEST_F(MainWindowTest, SecondEditionNamesTheOldFileFormat) {
  auto main = Open(kSecondEdition);
  EXPECT_EQ(main->windowTitle(), "ORVA / VOK - GRAPHICS 2002");
  auto* notice = Control<QLabel>(*main, "Label16");
  main->LoadDataFile(QString::fromStdString(kExamples), "mueller_otto_right.vok");
  EXPECT_TRUE(notice->isVisibleTo(main.get()));
  EXPECT_EQ(notice->text(), "OLD FILE FORMAT!");
  main->LoadDataFile(QString::fromStdString(kExamples), "bauer_helene_left.vok");
  EXPECT_FALSE(notice->isVisibleTo(main.get()));
}

TEST_F(MainWindowTest, BadFileIsReportedAndTheEarlierSeriesStays) {
  auto main = Open();
  main->LoadDataFile(QString::fromStdString(kExamples), "bauer_helene_left.vok");
  const MeasurementModel before = main->model();
  std::ofstream(temp + "/broken.vok") << "[X-ray]\n\"A\",\"B\",\"C\"\n\"Date\",\"20041301\"\n";
  std::string many;
  {
    std::ifstream in(kExamples + "/bauer_helene_left.vok", std::ios::binary);
    const std::string one((std::istreambuf_iterator<char>(in)), {});
    for (int i = 0; i < 4; ++i) many += one; // 32 records
  }
  std::ofstream(temp + "/many.vok", std::ios::binary) << many;
  for (const char* name : {"broken.vok", "missing.vok", "many.vok"}) {
    messages.clear();
    main->LoadDataFile(QString::fromStdString(temp), name);
    ASSERT_EQ(messages.size(), 1u) << name;
    EXPECT_EQ(main->model().PatientCode, before.PatientCode) << name;
    EXPECT_EQ(main->model().RadiographCount, before.RadiographCount) << name;
    EXPECT_EQ(main->model().MedialDistance1, before.MedialDistance1) << name;
    EXPECT_EQ(Text(*main, "Label12"), "8") << name;
  }
  EXPECT_EQ(messages[0].title, "OVERFLOW");
  EXPECT_EQ(messages[0].text, "More than 30 x-rays. Only splitting of datafile will help.");
  EXPECT_TRUE(messages[0].detail.endsWith("many.vok"));
  main->LoadDataFile(QString::fromStdString(temp), "broken.vok");
  EXPECT_TRUE(messages.back().text.contains("broken.vok"));
  EXPECT_TRUE(messages.back().text.contains("month"));
}
