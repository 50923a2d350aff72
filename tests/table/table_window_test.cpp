#include "table/table_window.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QMessageBox>
#include <QPushButton>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTimer>
#include <fstream>

#include "../model/record_text.h"
#include "model/preparation.h"
#include "model/reader.h"
#include "ui/design_units.h"

using namespace sinkview;

class TableWindowTest : public ::testing::Test {
protected:
  void TearDown() override { delete window_.data(); }
  void SetUp() override {
    ASSERT_TRUE(ReadDataFile(SINKVIEW_SOURCE_DIR "/examples/schmid_anna_left_breaks.vok", model_).ok());
    asRead_ = model_;
    PrepareSeries(model_);
    window_ = new TableWindow(model_, kMainEdition);
    window_->show();
  }
  QPushButton* Button(const char* name) { return window_->findChild<QPushButton*>(name); }

  MeasurementModel model_, asRead_;
  QPointer<TableWindow> window_;
};

TEST_F(TableWindowTest, CaptionButtonsAndFontFollowTheWindowSize) {
  // 66 characters: the edition's caption of 26, then 35 blanks and TABLE.
  EXPECT_EQ(window_->windowTitle().mid(26), QString(35, ' ') + "TABLE");
  const QSize design = TwipsRect(0, 0, 8832, 6588).size();
  EXPECT_EQ(window_->size(), design);
  const double designFont = window_->TableFontSize();
  // Then twice the width and three times the height: lefts stay, tops keep their fraction.
  for (int height : {1, 3}) {
    window_->resize(design.width() * (height + 1) / 2, design.height() * height);
    for (const auto& [name, text, rect] :
         {std::tuple{"Command1", "PRINT TABLE", TwipsRect(4320, 6120, 2175, 375)},
          {"Command2", "<<  FILE MENUE", TwipsRect(120, 6120, 2175, 375)},
          {"Command3", "WRITE FILE ( *.NUM)", TwipsRect(6600, 6120, 2172, 372)}}) {
      EXPECT_EQ(Button(name)->text(), text);
      EXPECT_EQ(Button(name)->geometry(), rect.translated(0, (height - 1) * rect.y())) << name;
    }
  }
  EXPECT_DOUBLE_EQ(window_->TableFontSize(), 2 * designFont);
}

// An export that cannot be written is reported and changes nothing: both
// ways back still restore the lengths as read.
TEST_F(TableWindowTest, FailedExportKeepsTheWindowAndBothWaysBackRestoreTheLengths) {
  for (bool byButton : {true, false}) {
    if (!window_) SetUp();
    model_.NumFileName = "/no/such/folder/schmid.num";
    QString shown;
    QTimer::singleShot(0, [&] {
      auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
      shown = box ? box->text() : "no message";
      if (box) box->accept();
    });
    Button("Command3")->click();
    EXPECT_TRUE(shown.contains("/no/such/folder/schmid.num") && window_->isVisible()) << shown.toStdString();
    QSignalSpy returned(window_.data(), &TableWindow::returnedToMain);
    byButton ? Button("Command2")->click() : void(window_->close());
    EXPECT_EQ(returned.count(), 1) << (byButton ? "<<  FILE MENUE" : "frame");
    for (auto series : kScaledSeries) EXPECT_EQ(model_.*series, asRead_.*series);
    QApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    EXPECT_TRUE(window_.isNull()) << "the window is discarded";
  }
}

namespace {

// Dark pixels below the buttons' top that are not on a button: table text
// run under the buttons.
int TextBelowTheButtons(QWidget* window) {
  const QImage image = window->grab().toImage();
  const auto buttons = window->findChildren<QPushButton*>();
  int top = window->height();
  for (const QPushButton* button : buttons) top = std::min(top, button->y());
  int dark = 0;
  for (int y = top; y < image.height(); ++y) {
    for (int x = 0; x < image.width(); ++x) {
      const bool onButton = std::any_of(buttons.begin(), buttons.end(),
                                        [&](const QPushButton* b) { return b->geometry().contains(x, y); });
      dark += !onButton && qGray(image.pixel(x, y)) < 128;
    }
  }
  return dark;
}

} // namespace

TEST(TableWindowLongSeries, ThirtyRadiographsStayAboveTheButtonsAtDesignAndDoubleWidth) {
  QTemporaryDir folder;
  const std::string path = folder.filePath("thirty.vok").toStdString();
  {
    std::ofstream file(path, std::ios::binary);
    for (int k = 0; k < 30; ++k) {
      RecordText record;
      record.date =
          std::to_string(2000 + k / 12) + (k % 12 < 9 ? "0" : "") + std::to_string(k % 12 + 1) + "01";
      file << record.Text();
    }
  }
  MeasurementModel model;
  ASSERT_TRUE(ReadDataFile(path, model).ok());
  ASSERT_EQ(model.RadiographCount, 30);
  PrepareSeries(model);
  TableWindow window(model, kMainEdition);
  window.show();
  const QSize design = window.size();
  for (int widths : {1, 2}) {
    window.resize(design.width() * widths, design.height());
    EXPECT_EQ(TextBelowTheButtons(&window), 0) << widths << " times the design width";
  }
  window.close();
}
