#include "ui/series_window.h"

#include <QCloseEvent>

#include "ui/design_units.h"

namespace sinkview {

SeriesWindow::SeriesWindow(PreparedSeries prepared, const std::string& caption, const QString& objectName,
                           QWidget* parent)
    : QWidget(parent), prepared_(std::move(prepared)), model_(prepared_->model()) {
  setObjectName(objectName);
  setAttribute(Qt::WA_DeleteOnClose);
  setWindowTitle(QString::fromStdString(caption));
  setFont(DesignFont());
  QPalette white = palette();
  white.setColor(QPalette::Window, Qt::white);
  setPalette(white);
  setAutoFillBackground(true);
}

void SeriesWindow::closeEvent(QCloseEvent* event) {
  if (prepared_) {
    prepared_.reset();
    hide();
    emit returnedToMain();
  }
  event->accept();
}

} // namespace sinkview
