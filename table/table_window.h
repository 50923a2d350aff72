#pragma once

#include <functional>
#include <string>

#include "hardcopy/save_offer.h"
#include "model/model.h"
#include "model/prepared_series.h"
#include "ui/series_window.h"

class QPushButton;

namespace sinkview {

// The table window. Created by "SHOW TABLE" with the prepared series;
// "<<  FILE MENUE" closes it as the frame does, which returns to the main
// window.
class TableWindow : public SeriesWindow {
  Q_OBJECT
public:
  TableWindow(const PreparedSeries& prepared, const std::string& caption, QWidget* parent = nullptr);

  // The font size the table is printed in; it follows the window width.
  double TableFontSize() const { return fontSize_; }

  // How the window offers another place for an export that cannot be
  // written beside the data file; tests answer without a dialog.
  using SaveOfferer = std::function<QString(QWidget* window, const SaveOffer& offer)>;
  void setSaveOfferer(SaveOfferer offerer) { offerSave_ = std::move(offerer); }

protected:
  void resizeEvent(QResizeEvent* event) override;
  void paintEvent(QPaintEvent* event) override;

private:
  void Form_Load();
  void Form_Resize();
  void Command1_Click();
  void Command2_Click();
  void Command3_Click();

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
