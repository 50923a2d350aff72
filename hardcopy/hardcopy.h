#pragma once

#include <QString>

class QWidget;

namespace sinkview {

// Prints a picture of the window on the default printer as a one-page
// document "Hardcopy". Returns "" when the page was handed to the printer,
// "no prt found" without a default printer, "capture failed" when no
// picture of the window could be taken.
QString PrintHardcopy(QWidget* window);

// What the print buttons call: PrintHardcopy, and a message box when it fails.
void PrintHardcopyAndReport(QWidget* window);

} // namespace sinkview
