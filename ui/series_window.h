#pragma once

#include <QWidget>
#include <optional>
#include <string>

#include "model/model.h"
#include "model/prepared_series.h"

namespace sinkview {

// A window over a prepared series, which it holds while it is open: white,
// in the design font, deleted when closed. Closing it (through the frame or
// a button that closes it) ends the preparation, so the lengths are never
// left corrected behind the main window's back, and emits returnedToMain
// once.
class SeriesWindow : public QWidget {
  Q_OBJECT
public:
  SeriesWindow(PreparedSeries prepared, const std::string& caption, const QString& objectName,
               QWidget* parent = nullptr);

signals:
  void returnedToMain();

protected:
  void closeEvent(QCloseEvent* event) override;
  MeasurementModel& model() { return model_; }

private:
  std::optional<PreparedSeries> prepared_; // empty once returned to the main window
  MeasurementModel& model_;
};

} // namespace sinkview
