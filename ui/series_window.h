#pragma once

#include <QWidget>
#include <string>

#include "model/model.h"
#include "model/prepared_series.h"

namespace sinkview {

// A window over a prepared series, which it holds while it is open: white,
// in the design font, deleted when closed (and the prepared series with
// it). Closing it (through the frame or a button that closes it) emits
// returnedToMain once.
class SeriesWindow : public QWidget {
  Q_OBJECT
public:
  SeriesWindow(const PreparedSeries& prepared, const std::string& caption, const QString& objectName,
               QWidget* parent = nullptr);

signals:
  void returnedToMain();

protected:
  void closeEvent(QCloseEvent* event) override;
  const PreparedSeries& prepared() const { return prepared_; }
  const MeasurementModel& model() const { return prepared_.model; }

private:
  const PreparedSeries prepared_;
  bool returned_ = false;
};

} // namespace sinkview
