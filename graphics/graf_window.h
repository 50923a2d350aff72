#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "model/model.h"
#include "model/prepared_series.h"
#include "ui/series_window.h"

class QLabel;

namespace sinkview {

// The graphics window. Created by "GRAPHICS" with the prepared series;
// "<< FILE MENUE " closes it as the frame does, which returns to the main
// window.
//
// Five picture boxes (the sketch in the middle, two diagrams on each side)
// redraw themselves completely on every paint; the controls keep their
// design rectangles in proportion to the client area on every resize, while
// the header and the stem/cement labels stay where they were designed.
class GrafWindow : public SeriesWindow {
  Q_OBJECT
public:
  // programDirectory: the folder of the sketch files, ending in '/'.
  GrafWindow(PreparedSeries prepared, const std::string& caption, std::string programDirectory,
             QWidget* parent = nullptr);

protected:
  void resizeEvent(QResizeEvent* event) override;

private:
  // Adds the next control of kGrafControls, under its design name.
  void Add(QWidget* control);
  QLabel* AddLabel(std::string_view text);
  // Places every control for the current client area: proportionally to
  // the design size, or at its design position.
  void PlaceControls();

  std::string programDirectory_;
  std::vector<QWidget*> controls_; // in the order of kGrafControls
};

} // namespace sinkview
