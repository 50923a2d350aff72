#pragma once

#include <QWidget>
#include <functional>
#include <optional>

#include "app/edition.h"
#include "hardcopy/save_offer.h"
#include "model/model.h"
#include "model/prepared_series.h"

class QPushButton;

namespace sinkview {

// The table window. Created by "SHOW TABLE" with the prepared series, which
// it holds while it is open; "<<  FILE MENUE" (or closing the window) ends
// the preparation, emits returnedToMain and deletes the window.
class TableWindow : public QWidget {
  Q_OBJECT
public:
  TableWindow(PreparedSeries prepared, const Edition& edition, QWidget* parent = nullptr);

  // The font size the table is printed in; it follows the window width.
  double TableFontSize() const { return fontSize_; }

  // How the window offers another place for an export that cannot be
  // written beside the data file; tests answer without a dialog.
  using SaveOfferer = std::function<QString(QWidget* window, const SaveOffer& offer)>;
  void setSaveOfferer(SaveOfferer offerer) { offerSave_ = std::move(offerer); }

signals:
  void returnedToMain();

protected:
  void resizeEvent(QResizeEvent* event) override;
  void paintEvent(QPaintEvent* event) override;
  void closeEvent(QCloseEvent* event) override;

private:
  void Form_Load();
  void Form_Resize();
  void Command1_Click();
  void Command2_Click();
  void Command3_Click();

  std::optional<PreparedSeries> prepared_; // empty once returned to the main window
  MeasurementModel& model_;
  QPushButton* Command1;
  QPushButton* Command2;
  QPushButton* Command3;

  // Taken when the window loads: the client height and the button tops
  // (so each top keeps its fraction of the height), the font size and width.
  double InitialScaleHeight = 0;
  double InitialTop1 = 0, InitialTop2 = 0, InitialTop3 = 0;
  double InitialFontSize = 0;
  double InitialWidth = 0;

  SaveOfferer offerSave_ = OfferToSaveElsewhere;
  double fontSize_ = 0;
};

} // namespace sinkview
