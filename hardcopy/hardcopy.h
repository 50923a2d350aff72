#pragma once

#include <QImage>
#include <QString>
#include <functional>

#include "base/expected.h"
#include "base/failure.h"

class QPrinter;
class QWidget;

namespace sinkview {

struct MeasurementModel;

// What became of a hard copy: handed to the printer, no default printer, no
// picture of the window could be taken, or the printer refused the page.
enum class HardcopyResult { Printed, NoPrinter, CaptureFailed, PrintFailed };

// The user's words for a result: "no prt found", "capture failed", "print
// failed"; "" for a printed page.
QString HardcopyMessage(HardcopyResult result);

// Prints a picture of the window on the default printer as a one-page
// document "Hardcopy".
[[nodiscard]] HardcopyResult PrintHardcopy(QWidget* window);

// What the print buttons call: PrintHardcopy, and a message box when it
// fails; without a printer the box offers to save a PDF file, proposing
// `proposedPdf`.
void PrintHardcopyAndReport(QWidget* window, const QString& proposedPdf);

// The PDF file proposed for the hard copy of a window (`windowName`, for
// example "graphics") of the loaded patient: in the data file's folder when
// it can be written, else in the home folder.
QString ProposedPdfPath(const MeasurementModel& m, const QString& windowName);

// The name of the print system's default printer; "" when there is none.
QString DefaultPrinterName();

// A snapshot of the window with its frame and caption where the platform can
// give them, else of its contents. Null when there is nothing to take.
QImage CaptureWindow(QWidget* window);

// Draws the snapshot in grey onto one page of the printer, turned and fitted
// inside the margins: Printed or PrintFailed.
[[nodiscard]] HardcopyResult PrintSnapshot(QPrinter& printer, const QImage& snapshot);

// Writes the hard copy of the snapshot as a PDF file with the page a PDF
// printer gives, replacing the file only once the new one is complete; else
// a message naming the file and the reason.
[[nodiscard]] Expected<void, Failure> SaveHardcopyPdf(const QImage& snapshot, const QString& path);

// How the user is told; the windows use the standard boxes, tests their own.
struct HardcopyDialogs {
  // Shows a message about the window's hard copy.
  std::function<void(QWidget* window, const QString& message)> tell;
  // Shows the message that no printer was found and offers to save a PDF
  // instead, starting at `proposed`: the chosen file, or "" when the user
  // declines.
  std::function<QString(QWidget* window, const QString& message, const QString& proposed)> offerPdf;
};

HardcopyDialogs StandardHardcopyDialogs();

void PrintHardcopyAndReport(QWidget* window, const QString& proposedPdf, const HardcopyDialogs& dialogs);

} // namespace sinkview
