#include "hardcopy/hardcopy.h"

#include <QClipboard>
#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QGuiApplication>
#include <QMessageBox>
#include <QPainter>
#include <QPdfWriter>
#include <QPixmap>
#include <QPointer>
#include <QPrinter>
#include <QPrinterInfo>
#include <QScreen>
#include <QWidget>
#include <cstring>

#include "base/text_encoding.h"
#include "hardcopy/hardcopy_image.h"
#include "hardcopy/pdf_name.h"
#include "hardcopy/save_offer.h"
#include "model/model.h"
#include "ui/rendered_file.h"

namespace sinkview {

namespace {

RgbImage ToRgbImage(const QImage& snapshot) {
  const QImage rgb = snapshot.convertToFormat(QImage::Format_RGB32);
  RgbImage picture(rgb.width(), rgb.height());
  for (int row = 0; row < rgb.height(); ++row) {
    const auto* line = reinterpret_cast<const QRgb*>(rgb.constScanLine(row));
    for (int column = 0; column < rgb.width(); ++column) {
      const QRgb pixel = line[column];
      picture.at(column, row) =
          Rgb{static_cast<std::uint8_t>(qRed(pixel)), static_cast<std::uint8_t>(qGreen(pixel)),
              static_cast<std::uint8_t>(qBlue(pixel))};
    }
  }
  return picture;
}

QImage ToQImage(const GreyImage& grey) {
  QImage image(grey.width, grey.height, QImage::Format_Grayscale8);
  for (int row = 0; row < grey.height; ++row)
    std::memcpy(image.scanLine(row), &grey.pixels[static_cast<std::size_t>(row) * grey.width],
                static_cast<std::size_t>(grey.width));
  return image;
}

// The boxes get a short title of their own: the table's caption, with its
// 35 blanks, would be cut off.
const QString kBoxTitle = QStringLiteral("Hard copy");
const QString kNoPrinterExplained =
    HardcopyMessage(HardcopyResult::NoPrinter) + QStringLiteral("\nNo default printer is set up.");

// Draws the snapshot in grey onto the page `paper` (device pixels) of `device`.
bool DrawHardcopyPage(QPaintDevice& device, QRect paper, const QImage& snapshot) {
  const auto page = LayOutHardcopy(ToRgbImage(snapshot), paper.width(), paper.height());
  if (!page) return false;
  QPainter painter;
  if (!painter.begin(&device)) return false;
  // The greys as they are: a PDF writer would otherwise store a JPEG.
  painter.setRenderHint(QPainter::LosslessImageRendering);
  painter.drawImage(QRect(page->x, page->y, page->width, page->height), ToQImage(page->picture));
  return painter.end();
}

} // namespace

QString HardcopyMessage(HardcopyResult result) {
  switch (result) {
  case HardcopyResult::Printed:
    return {};
  case HardcopyResult::NoPrinter:
    return QStringLiteral("no prt found");
  case HardcopyResult::CaptureFailed:
    return QStringLiteral("capture failed");
  case HardcopyResult::PrintFailed:
    break;
  }
  return QStringLiteral("print failed");
}

QString DefaultPrinterName() { return QPrinterInfo::defaultPrinterName(); }

QImage CaptureWindow(QWidget* widget) {
  if (!widget) return {};
  QPointer<QWidget> window = widget->window();
  // Let pending paints finish so the snapshot shows the window as it is now.
  // User input stays queued: a click must not close or change the window
  // while it is being printed.
  QCoreApplication::processEvents(QEventLoop::ExcludeUserInputEvents);
  if (!window) return {};

  // Under a window manager the frame is larger than the window; only the
  // screen holds the frame and caption. Platforms without a screen to look
  // at would hand back a blank frame instead.
  const QString platform = QGuiApplication::platformName();
  const bool screenShowsFrames =
      platform != QLatin1String("offscreen") && platform != QLatin1String("minimal");
  const QRect frame = window->frameGeometry();
  if (screenShowsFrames && window->isVisible() && frame != window->geometry()) {
    if (QScreen* screen = window->screen()) {
      const QPoint origin = frame.topLeft() - screen->geometry().topLeft();
      const QPixmap shot = screen->grabWindow(0, origin.x(), origin.y(), frame.width(), frame.height());
      if (!shot.isNull()) return shot.toImage();
    }
  }
  const QPixmap contents = window->grab();
  return contents.isNull() ? QImage() : contents.toImage();
}

HardcopyResult PrintSnapshot(QPrinter& printer, const QImage& snapshot) {
  // The whole paper in device units, as the margins are measured on it.
  printer.setFullPage(true);
  printer.setDocName(QStringLiteral("Hardcopy"));
  printer.setColorMode(QPrinter::GrayScale);
  const QRect paper = printer.paperRect(QPrinter::DevicePixel).toRect();
  return DrawHardcopyPage(printer, paper, snapshot) ? HardcopyResult::Printed : HardcopyResult::PrintFailed;
}

HardcopyResult PrintHardcopy(QWidget* window) {
  const QString name = DefaultPrinterName();
  if (name.isEmpty()) return HardcopyResult::NoPrinter;
  const QImage snapshot = CaptureWindow(window);
  if (snapshot.isNull()) return HardcopyResult::CaptureFailed;
  QGuiApplication::clipboard()->setImage(snapshot);

  QPrinter printer(QPrinterInfo::printerInfo(name), QPrinter::HighResolution);
  return PrintSnapshot(printer, snapshot);
}

Expected<void, Failure> SaveHardcopyPdf(const QImage& snapshot, const QString& path) {
  const auto render = [&](QIODevice& out) -> std::string {
    // The page of a PDF printer, whole, so the file looks as a printed copy.
    QPrinter printer(QPrinter::HighResolution);
    printer.setOutputFormat(QPrinter::PdfFormat);
    printer.setFullPage(true);
    QPdfWriter pdf(&out);
    pdf.setResolution(printer.resolution());
    pdf.setPageLayout(printer.pageLayout());
    pdf.setTitle(QStringLiteral("Hardcopy"));
    const QRect paper = pdf.pageLayout().fullRectPixels(pdf.resolution());
    return DrawHardcopyPage(pdf, paper, snapshot) ? "" : "it cannot be drawn";
  };
  return WriteRenderedFile(path.toLocal8Bit().toStdString(), render, [&](const std::string&) {
    return Failure{
        QStringLiteral("%1: the PDF file could not be written").arg(path).toLocal8Bit().toStdString()};
  });
}

QString ProposedPdfPath(const MeasurementModel& m, const QString& windowName) {
  const QFileInfo dataFolder(QFileInfo(QString::fromLocal8Bit(m.NumFileName)).absolutePath());
  const bool beside = !m.NumFileName.empty() && dataFolder.isDir() && dataFolder.isWritable();
  const QDir folder(beside ? dataFolder.absoluteFilePath() : QDir::homePath());
  return folder.filePath(
      QString::fromStdString(HardcopyPdfName(DisplayUtf8(m.PatientCode), windowName.toStdString())));
}

HardcopyDialogs StandardHardcopyDialogs() {
  HardcopyDialogs dialogs;
  dialogs.tell = [](QWidget* window, const QString& message) {
    QMessageBox::warning(window, kBoxTitle, message);
  };
  dialogs.offerPdf = [](QWidget* window, const QString& message, const QString& proposed) {
    return OfferToSaveElsewhere(window, {kBoxTitle, message, QStringLiteral("Save as PDF..."),
                                         QStringLiteral("Save hard copy"), proposed,
                                         QStringLiteral("PDF files (*.pdf)"), QStringLiteral("pdf")});
  };
  return dialogs;
}

void PrintHardcopyAndReport(QWidget* window, const QString& proposedPdf, const HardcopyDialogs& dialogs) {
  QPointer<QWidget> guard(window);
  const HardcopyResult result = PrintHardcopy(window);
  if (result == HardcopyResult::Printed) return;
  if (result != HardcopyResult::NoPrinter) {
    dialogs.tell(guard, HardcopyMessage(result));
    return;
  }
  // Take the snapshot before a box can cover the window.
  const QImage snapshot = CaptureWindow(guard);
  if (snapshot.isNull()) {
    dialogs.tell(guard, kNoPrinterExplained);
    return;
  }
  const QString path = dialogs.offerPdf(guard, kNoPrinterExplained, proposedPdf);
  if (path.isEmpty()) return;
  QGuiApplication::clipboard()->setImage(snapshot);
  if (const auto saved = SaveHardcopyPdf(snapshot, path); !saved)
    dialogs.tell(guard, QString::fromLocal8Bit(saved.error().message));
}

void PrintHardcopyAndReport(QWidget* window, const QString& proposedPdf) {
  PrintHardcopyAndReport(window, proposedPdf, StandardHardcopyDialogs());
}

} // namespace sinkview
