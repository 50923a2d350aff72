#pragma once

#include <QWidget>
#include <string>

#include "app/edition.h"
#include "model/model.h"

namespace sinkview {

// The graphics window. Created by "GRAPHICS" after the series are prepared;
// "<< FILE MENUE " (or closing the window) undoes the magnification
// correction, emits returnedToMain and deletes the window.
class GrafWindow : public QWidget {
  Q_OBJECT
public:
  GrafWindow(MeasurementModel& model, const Edition& edition, std::string programDirectory,
             QWidget* parent = nullptr);

signals:
  void returnedToMain();

private:
  MeasurementModel& model_;
};

} // namespace sinkview
