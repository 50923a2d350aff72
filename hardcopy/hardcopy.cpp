#include "hardcopy/hardcopy.h"

#include <QClipboard>
#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QGuiApplication>
#include <QMessageBox>
#include <QPainter>
#include <QPixmap>
#include <QPointer>
#include <QPrinter>
#include <QPrinterInfo>
#include <QScreen>
#include <QTemporaryFile>
#include <QWidget>
#include <cstring>
#include <filesystem>
#include <system_error>

#include "hardcopy/hardcopy_image.h"
#include "hardcopy/pdf_name.h"
#include "hardcopy/save_offer.h"
#include "model/model.h"
#include "model/text_encoding.h"

namespace sinkview {

namespace {

const QString kNoPrinter = QStringLiteral("no prt found");
const QString kCaptureFailed = QStringLiteral("capture failed");
const QString kPrintFailed = QStringLiteral("print failed");

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
const QString kNoPrinterExplained = kNoPrinter + QStringLiteral("\nNo default printer is set up.");

} // namespace

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

QString PrintSnapshot(QPrinter& printer, const QImage& snapshot) {
  // The whole paper in device units, as the margins are measured on it.
  printer.setFullPage(true);
  printer.setDocName(QStringLiteral("Hardcopy"));
  printer.setColorMode(QPrinter::GrayScale);
  const QRect paper = printer.paperRect(QPrinter::DevicePixel).toRect();
  const auto page = LayOutHardcopy(ToRgbImage(snapshot), paper.width(), paper.height());
  if (!page) return kPrintFailed;

  QPainter painter;
  if (!painter.begin(&printer)) return kPrintFailed;
  painter.drawImage(QRect(page->x, page->y, page->width, page->height), ToQImage(page->picture));
  return painter.end() ? QString() : kPrintFailed;
}

QString PrintHardcopy(QWidget* window) {
  const QString name = DefaultPrinterName();
  if (name.isEmpty()) return kNoPrinter;
  const QImage snapshot = CaptureWindow(window);
  if (snapshot.isNull()) return kCaptureFailed;
  QGuiApplication::clipboard()->setImage(snapshot);

  QPrinter printer(QPrinterInfo::printerInfo(name), QPrinter::HighResolution);
  return PrintSnapshot(printer, snapshot);
}

QString SaveHardcopyPdf(const QImage& snapshot, const QString& path) {
  const QFileInfo target(path);
  // The temporary file sits beside the target so the rename cannot cross
  // file systems and the old file stays whole until the new one is.
  QTemporaryFile temp(target.absoluteDir().filePath(QStringLiteral(".%1.XXXXXX").arg(target.fileName())));
  if (!temp.open()) return QStringLiteral("%1: %2").arg(path, temp.errorString());
  temp.setPermissions(QFile::ReadOwner | QFile::WriteOwner | QFile::ReadGroup | QFile::ReadOther);
  temp.close();

  QPrinter printer(QPrinter::HighResolution);
  printer.setOutputFormat(QPrinter::PdfFormat);
  printer.setOutputFileName(temp.fileName());
  if (!PrintSnapshot(printer, snapshot).isEmpty())
    return QStringLiteral("%1: the PDF file could not be written").arg(path);

  std::error_code error;
  std::filesystem::rename(temp.fileName().toStdString(), target.absoluteFilePath().toStdString(), error);
  if (error) return QStringLiteral("%1: %2").arg(path, QString::fromStdString(error.message()));
  temp.setAutoRemove(false);
  return {};
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
  const QString result = PrintHardcopy(window);
  if (result.isEmpty()) return;
  if (result != kNoPrinter) {
    dialogs.tell(guard, result);
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
  const QString error = SaveHardcopyPdf(snapshot, path);
  if (!error.isEmpty()) dialogs.tell(guard, error);
}

void PrintHardcopyAndReport(QWidget* window, const QString& proposedPdf) {
  PrintHardcopyAndReport(window, proposedPdf, StandardHardcopyDialogs());
}

} // namespace sinkview
