#pragma once

#include <QWidget>

#include "app/edition.h"
#include "model/model.h"

namespace sinkview {

// The table window. Created by "SHOW TABLE" after the series are prepared;
// "<<  FILE MENUE" (or closing the window) undoes the magnification
// correction, emits returnedToMain and deletes the window.
class TableWindow : public QWidget {
  Q_OBJECT
public:
  TableWindow(MeasurementModel& model, const Edition& edition, QWidget* parent = nullptr);

signals:
  void returnedToMain();

private:
  MeasurementModel& model_;
};

} // namespace sinkview
