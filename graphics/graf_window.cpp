#include "graphics/graf_window.h"

namespace sinkview {

GrafWindow::GrafWindow(MeasurementModel& model, const Edition& edition, std::string, QWidget* parent)
    : QWidget(parent), model_(model) {
  setAttribute(Qt::WA_DeleteOnClose);
  setWindowTitle(QString::fromStdString(edition.Caption()));
}

} // namespace sinkview
