#include "table/table_window.h"

#include <QDir>
#include <QFileInfo>
#include <QPainter>
#include <QPushButton>
#include <algorithm>

#include "hardcopy/hardcopy.h"
#include "table/export_file.h"
#include "table/table_text.h"
#include "ui/design_units.h"
#include "ui/painter_surface.h"

namespace sinkview {

namespace {

QPushButton* MakeButton(QWidget* parent, const char* name, const char* caption, QRect design) {
  auto* button = new QPushButton(QString::fromLatin1(caption), parent);
  button->setObjectName(QString::fromLatin1(name));
  button->setFont(DesignFont());
  button->setGeometry(design);
  return button;
}

} // namespace

TableWindow::TableWindow(const PreparedSeries& prepared, const std::string& caption, QWidget* parent)
    : SeriesWindow(prepared, caption, QStringLiteral("Table"), parent) {
  resize(TwipsRect(0, 0, kTableClientWidth, kTableClientHeight).size());

  // Created in tab order.
  Command1 = MakeButton(this, "Command1", "PRINT TABLE", TwipsRect(4320, 6120, 2175, 375));
  Command2 = MakeButton(this, "Command2", "<<  FILE MENUE", TwipsRect(120, 6120, 2175, 375));
  Command3 = MakeButton(this, "Command3", "WRITE FILE ( *.NUM)", TwipsRect(6600, 6120, 2172, 372));
  connect(Command1, &QPushButton::clicked, this, &TableWindow::Command1_Click);
  connect(Command2, &QPushButton::clicked, this, &TableWindow::Command2_Click);
  connect(Command3, &QPushButton::clicked, this, &TableWindow::Command3_Click);

  Form_Load();
  Form_Resize();
}

void TableWindow::Form_Load() {
  InitialScaleHeight = height();
  InitialTop1 = Command1->y();
  InitialTop2 = Command2->y();
  InitialTop3 = Command3->y();
  InitialFontSize = DesignFont().pointSizeF();
  InitialWidth = width();
  fontSize_ = InitialFontSize;
}

void TableWindow::Form_Resize() {
  // Each button keeps the fraction of the client height its top had at load.
  const double heightRatio = height() / InitialScaleHeight;
  for (auto [button, top] :
       {std::pair{Command1, InitialTop1}, {Command2, InitialTop2}, {Command3, InitialTop3}}) {
    button->move(button->x(), static_cast<int>(std::lround(top * heightRatio)));
  }
  // The font follows the width, but the header and every row stay above the buttons.
  if (width() > 0) {
    const int buttonsTop = std::min({Command1->y(), Command2->y(), Command3->y()});
    fontSize_ = FittingTableFontSize(
        sinkview::TableFontSize(InitialFontSize, width(), InitialWidth), TableLineCount(model()), buttonsTop,
        [this](double points) { return LineHeight(DesignFont(), points, this); });
  }
  update();
}

void TableWindow::resizeEvent(QResizeEvent*) { Form_Resize(); }

void TableWindow::paintEvent(QPaintEvent*) {
  // The table is printed from the model on every paint, so it survives
  // being covered and uncovered.
  QPainter painter(this);
  QFont font = DesignFont();
  PainterSurface surface(painter, QRectF(rect()), Qt::white, palette().color(QPalette::WindowText), font);
  surface.SetFontSize(fontSize_);
  RenderTable(prepared(), surface);
}

void TableWindow::Command1_Click() {
  PrintHardcopyAndReport(this, ProposedPdfPath(model(), QStringLiteral("table")));
}

void TableWindow::Command2_Click() { close(); }

void TableWindow::Command3_Click() {
  Expected<void, Failure> written = WriteExportFile(prepared(), model().NumFileName);
  // Beside the data file may be a folder the user cannot write (the
  // installed samples, a read-only share): offer another place until one
  // works or the user gives up.
  const QString name = QFileInfo(QString::fromLocal8Bit(model().NumFileName)).fileName();
  while (!written) {
    const QString chosen = offerSave_(
        this, {windowTitle().simplified(), QString::fromLocal8Bit(written.error().message),
               QStringLiteral("Save as..."), QStringLiteral("Save export file"), QDir::home().filePath(name),
               QStringLiteral("Export files (*.num)"), QStringLiteral("num")});
    if (chosen.isEmpty()) return;
    written = WriteExportFile(prepared(), chosen.toLocal8Bit().toStdString());
  }
}

} // namespace sinkview
