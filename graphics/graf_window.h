#pragma once

#include <QWidget>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "app/edition.h"
#include "model/model.h"
#include "model/prepared_series.h"

class QLabel;

namespace sinkview {

// The graphics window. Created by "GRAPHICS" with the prepared series, which
// it holds while it is open; "<< FILE MENUE " (or closing the window) ends
// the preparation, emits returnedToMain and deletes the window.
//
// Five picture boxes (the sketch in the middle, two diagrams on each side)
// redraw themselves completely on every paint; the controls keep their
// design rectangles in proportion to the client area on every resize, while
// the header and the stem/cement labels stay where they were designed.
class GrafWindow : public QWidget {
  Q_OBJECT
public:
  // programDirectory: the folder of the sketch files, ending in '/'.
  GrafWindow(PreparedSeries prepared, const Edition& edition, std::string programDirectory,
             QWidget* parent = nullptr);

signals:
  void returnedToMain();

protected:
  void resizeEvent(QResizeEvent* event) override;
  void closeEvent(QCloseEvent* event) override;

private:
  // Adds the next control of kGrafControls, under its design name.
  void Add(QWidget* control);
  QLabel* AddLabel(std::string_view text);
  // Places every control for the current client area: proportionally to
  // the design size, or at its design position.
  void PlaceControls();
  void ReturnToMain();

  std::optional<PreparedSeries> prepared_; // empty once returned to the main window
  MeasurementModel& model_;
  std::string programDirectory_;
  std::vector<QWidget*> controls_; // in the order of kGrafControls
};

} // namespace sinkview
