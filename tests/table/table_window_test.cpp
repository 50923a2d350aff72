#include "table/table_window.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QMessageBox>
#include <QPushButton>
#include <QSignalSpy>
#include <QTimer>
#include <filesystem>
#include <fstream>
#include <unistd.h>

#include "model/preparation.h"
#include "model/reader.h"
#include "ui/design_units.h"

using namespace sinkview;
namespace fs = std::filesystem;

namespace {

// One application for all tests, gone before the program's statics are.
class QtEnvironment : public ::testing::Environment {
public:
  void SetUp() override { app_ = new QApplication(argc_, argv_); }
  void TearDown() override { delete app_; }

private:
  int argc_ = 1;
  char name_[18] = "table_window_test";
  char* argv_[2] = {name_, nullptr};
  QApplication* app_ = nullptr;
};

[[maybe_unused]] const auto* const kQt = ::testing::AddGlobalTestEnvironment(new QtEnvironment);

class TableWindowTest : public ::testing::Test {
protected:
  void SetUp() override {
    folder_ = fs::temp_directory_path() / ("sinkview_window_" + std::to_string(::getpid()));
    fs::remove_all(folder_);
    fs::create_directories(folder_);
    fs::copy(fs::path(SINKVIEW_SOURCE_DIR) / "examples" / "schmid_anna_left_breaks.vok", folder_);
    ASSERT_TRUE(ReadDataFile((folder_ / "schmid_anna_left_breaks.vok").string(), model_).ok());
    asRead_ = model_;
    PrepareSeries(model_);
    window_ = new TableWindow(model_, kMainEdition);
    window_->show();
    QApplication::processEvents();
  }
  void TearDown() override {
    delete window_.data();
    fs::remove_all(folder_);
  }

  QPushButton* Button(const char* name) {
    return window_->findChild<QPushButton*>(QString::fromLatin1(name));
  }

  fs::path folder_;
  MeasurementModel model_, asRead_;
  QPointer<TableWindow> window_;
};

void ExpectLengthsAsRead(const MeasurementModel& m, const MeasurementModel& asRead) {
  for (auto series : kScaledSeries) EXPECT_EQ(m.*series, asRead.*series);
}

} // namespace

TEST_F(TableWindowTest, HasTheDesignedCaptionButtonsAndClientArea) {
  const QString caption = window_->windowTitle();
  EXPECT_EQ(caption.size(), 66);
  EXPECT_EQ(caption, "ORVA / VOK - GRAPHICS 2008" + QString(35, ' ') + "TABLE");
  EXPECT_EQ(window_->size(), TwipsRect(0, 0, 8832, 6588).size());
  struct Case {
    const char* name;
    const char* caption;
    QRect design;
  };
  const Case cases[] = {{"Command1", "PRINT TABLE", TwipsRect(4320, 6120, 2175, 375)},
                        {"Command2", "<<  FILE MENUE", TwipsRect(120, 6120, 2175, 375)},
                        {"Command3", "WRITE FILE ( *.NUM)", TwipsRect(6600, 6120, 2172, 372)}};
  for (const Case& c : cases) {
    QPushButton* button = Button(c.name);
    ASSERT_NE(button, nullptr) << c.name;
    EXPECT_EQ(button->text(), c.caption);
    EXPECT_EQ(button->geometry(), c.design) << c.name;
  }
  EXPECT_EQ(Button("Command1")->nextInFocusChain(), Button("Command2")) << "tab order";
  EXPECT_EQ(Button("Command2")->nextInFocusChain(), Button("Command3"));
}

TEST_F(TableWindowTest, FontFollowsTheWidthAndButtonsKeepTheirHeightFraction) {
  const QSize design = window_->size();
  const double designFont = window_->TableFontSize();
  const int designTop = Button("Command3")->y();
  window_->resize(design.width() * 2, design.height() * 3);
  QApplication::processEvents();
  EXPECT_DOUBLE_EQ(window_->TableFontSize(), 2 * designFont);
  EXPECT_EQ(Button("Command3")->y(), designTop * 3);
  EXPECT_EQ(Button("Command2")->x(), TwipsRect(120, 6120, 2175, 375).x()) << "lefts stay";
  window_->resize(design.width() / 2, design.height());
  QApplication::processEvents();
  EXPECT_DOUBLE_EQ(window_->TableFontSize(), designFont * (design.width() / 2) / design.width());
  EXPECT_EQ(Button("Command3")->y(), designTop);
  EXPECT_FALSE(window_->grab().isNull());
}

TEST_F(TableWindowTest, FileMenueAndClosingBothRestoreTheLengthsAsRead) {
  for (bool byButton : {true, false}) {
    if (!window_) {
      PrepareSeries(model_);
      window_ = new TableWindow(model_, kMainEdition);
      window_->show();
    }
    QSignalSpy returned(window_.data(), &TableWindow::returnedToMain);
    if (byButton) {
      Button("Command2")->click();
    } else {
      window_->close();
    }
    EXPECT_EQ(returned.count(), 1) << (byButton ? "button" : "frame");
    ExpectLengthsAsRead(model_, asRead_);
    QApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    EXPECT_TRUE(window_.isNull()) << "the window is discarded";
  }
}

TEST_F(TableWindowTest, WriteFileWritesTheExportBesideTheDataFile) {
  Button("Command3")->click();
  const fs::path num = folder_ / "schmid_anna_left_breaks.num";
  ASSERT_TRUE(fs::exists(num));
  EXPECT_EQ(model_.SegmentStart[6], 6);
  EXPECT_EQ(model_.SegmentStart[7], 6);
  EXPECT_TRUE(window_->isVisible());
}

TEST_F(TableWindowTest, UnwritableExportIsReportedAndTheWindowStays) {
  model_.NumFileName = (folder_ / "gone" / "schmid.num").string();
  QString shown;
  QTimer::singleShot(0, [&] {
    if (auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget())) {
      shown = box->text();
      box->accept();
    }
  });
  Button("Command3")->click();
  EXPECT_TRUE(shown.contains(QString::fromStdString(model_.NumFileName))) << shown.toStdString();
  EXPECT_TRUE(window_->isVisible());
  EXPECT_TRUE(model_.LengthsAsRead.has_value()) << "the correction stays while the table is open";
}
