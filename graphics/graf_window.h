#pragma once

#include <string>
#include <vector>

#include "graphics/graf_scene.h"
#include "model/prepared_series.h"
#include "ui/series_window.h"

namespace sinkview {

// The graphics window. Created by "GRAPHICS" with the prepared series;
// "<< FILE MENUE " closes it like the frame does, which returns to the main
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
  GrafWindow(const PreparedSeries& prepared, const std::string& caption, std::string programDirectory,
             QWidget* parent = nullptr);

protected:
  void resizeEvent(QResizeEvent* event) override;

private:
  QWidget* Make(const SceneControl& control);
  // Places every control of the scene for the current client area.
  void PlaceControls();

  std::string programDirectory_;
  GrafScene scene_;
  std::vector<QWidget*> controls_; // in the order of the scene
};

} // namespace sinkview
