#include "table/table_window.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QMessageBox>
#include <QPushButton>
#include <QSignalSpy>
#include <QTimer>

#include "model/preparation.h"
#include "model/reader.h"
#include "ui/design_units.h"

using namespace sinkview;

namespace {

class TableWindowTest : public ::testing::Test {
protected:
  void SetUp() override {
    ASSERT_TRUE(ReadDataFile(SINKVIEW_SOURCE_DIR "/examples/schmid_anna_left_breaks.vok", model_).ok());
    asRead_ = model_;
    PrepareSeries(model_);
    window_ = new TableWindow(model_, kMainEdition);
    window_->show();
  }
  void TearDown() override { delete window_.data(); }
  QPushButton* Button(const char* name) { return window_->findChild<QPushButton*>(name); }

  MeasurementModel model_, asRead_;
  QPointer<TableWindow> window_;
};

} // namespace

TEST_F(TableWindowTest, HasTheDesignedCaptionButtonsAndClientArea) {
  EXPECT_EQ(window_->windowTitle(), "ORVA / VOK - GRAPHICS 2008" + QString(35, ' ') + "TABLE");
  EXPECT_EQ(window_->size(), TwipsRect(0, 0, 8832, 6588).size());
  EXPECT_EQ(Button("Command1")->text(), "PRINT TABLE");
  EXPECT_EQ(Button("Command2")->text(), "<<  FILE MENUE");
  EXPECT_EQ(Button("Command3")->text(), "WRITE FILE ( *.NUM)");
  EXPECT_EQ(Button("Command3")->geometry(), TwipsRect(6600, 6120, 2172, 372));
  EXPECT_EQ(Button("Command1")->nextInFocusChain(), Button("Command2")) << "tab order";
}

TEST_F(TableWindowTest, FontFollowsTheWidthAndButtonsKeepTheirHeightFraction) {
  const QSize design = window_->size();
  const double designFont = window_->TableFontSize();
  const int designTop = Button("Command3")->y();
  window_->resize(design.width() * 2, design.height() * 3);
  EXPECT_DOUBLE_EQ(window_->TableFontSize(), 2 * designFont);
  EXPECT_EQ(Button("Command3")->y(), designTop * 3);
  EXPECT_EQ(Button("Command3")->x(), TwipsRect(6600, 6120, 2172, 372).x()) << "lefts stay";
  EXPECT_FALSE(window_->grab().isNull());
}

TEST_F(TableWindowTest, FileMenueAndClosingBothRestoreTheLengthsAsRead) {
  for (bool byButton : {true, false}) {
    if (!window_) {
      PrepareSeries(model_);
      window_ = new TableWindow(model_, kMainEdition);
    }
    QSignalSpy returned(window_.data(), &TableWindow::returnedToMain);
    byButton ? Button("Command2")->click() : void(window_->close());
    EXPECT_EQ(returned.count(), 1) << (byButton ? "button" : "frame");
    for (auto series : kScaledSeries) EXPECT_EQ(model_.*series, asRead_.*series);
    QApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    EXPECT_TRUE(window_.isNull()) << "the window is discarded";
  }
}

TEST_F(TableWindowTest, UnwritableExportIsReportedAndTheWindowStays) {
  model_.NumFileName = "/no/such/folder/schmid.num";
  QString shown;
  QTimer::singleShot(0, [&] {
    if (auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget())) {
      shown = box->text();
      box->accept();
    }
  });
  Button("Command3")->click();
  EXPECT_TRUE(shown.contains("/no/such/folder/schmid.num")) << shown.toStdString();
  EXPECT_TRUE(window_->isVisible());
}
