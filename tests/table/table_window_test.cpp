#include "table/table_window.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QPushButton>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <utility>

#include "../support/example_file.h"
#include "app/edition.h"
#include "model/prepared_series.h"
#include "ui/design_units.h"

using namespace sinkview;

class TableWindowTest : public ::testing::Test {
protected:
  void TearDown() override { delete window_.data(); }
  void SetUp() override {
    PreparedSeries prepared = sinkview::testing::PreparedExample("schmid_anna_left_breaks.vok");
    prepared.model.NumFileName = "/no/such/folder/schmid.num";
    window_ = new TableWindow(prepared, kMainEdition.TableCaption());
    window_->show();
  }
  QPushButton* Button(const char* name) { return window_->findChild<QPushButton*>(name); }

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

// An export that cannot be written is reported with an offer of another
// place, written there when taken; both ways back return once.
TEST_F(TableWindowTest, FailedExportOffersAnotherPlaceAndBothWaysBackReturnOnce) {
  QTemporaryDir elsewhere;
  const QString chosen = elsewhere.filePath("chosen.num");
  for (bool byButton : {true, false}) {
    if (!window_) SetUp();
    QStringList offered;
    QString answer = byButton ? chosen : QString(); // taken once, or declined
    window_->setSaveOfferer([&](QWidget*, const SaveOffer& offer) {
      offered << offer.message << offer.saveCaption << offer.proposed;
      return std::exchange(answer, QString());
    });
    Button("Command3")->click();
    ASSERT_EQ(offered.size(), 3) << offered.join('|').toStdString();
    EXPECT_TRUE(offered[0].contains("/no/such/folder/schmid.num")) << offered[0].toStdString();
    EXPECT_EQ(offered[1], "Save as...");
    EXPECT_EQ(offered[2], QDir::home().filePath("schmid.num"));
    EXPECT_EQ(QFile::exists(chosen), byButton);
    EXPECT_TRUE(window_->isVisible());
    QSignalSpy returned(window_.data(), &TableWindow::returnedToMain);
    byButton ? Button("Command2")->click() : void(window_->close());
    EXPECT_EQ(returned.count(), 1) << (byButton ? "<<  FILE MENUE" : "frame");
    QApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    EXPECT_TRUE(window_.isNull()) << "the window is discarded";
    if (byButton) QFile::remove(chosen);
  }
  EXPECT_EQ(QDir(elsewhere.path()).entryList(QDir::Files | QDir::Hidden), QStringList{}) << "no temporary";
}
