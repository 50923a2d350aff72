#include "table/table_window.h"

namespace sinkview {

TableWindow::TableWindow(MeasurementModel& model, const Edition& edition, QWidget* parent)
    : QWidget(parent), model_(model) {
  setAttribute(Qt::WA_DeleteOnClose);
  setWindowTitle(QString::fromStdString(edition.Caption() + std::string(35, ' ') + "TABLE"));
}

} // namespace sinkview
