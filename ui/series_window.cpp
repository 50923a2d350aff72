#include "ui/series_window.h"

#include <QCloseEvent>

#include "ui/design_units.h"

namespace sinkview {

SeriesWindow::SeriesWindow(const PreparedSeries& prepared, const std::string& caption,
                           const QString& objectName, QWidget* parent)
    : QWidget(parent), prepared_(prepared) {
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
  if (!returned_) {
    returned_ = true;
    hide();
    emit returnedToMain();
  }
  event->accept();
}

} // namespace sinkview
