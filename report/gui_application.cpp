#include "report/gui_application.h"

#include <QGuiApplication>
#include <QPaintDevice>

#include "figures/offscreen.h"

namespace sinkview {

void EnsureGuiApplication() {
  if (QCoreApplication::instance()) return;
  static char name[] = "sinkview-study";
  UseOffscreenPlatform(name);
  static int argc = 1;
  static char* argv[] = {name, nullptr};
  // Kept to the end of the process: destroyed among the static objects, it
  // would outlive parts of Qt it needs.
  static QGuiApplication* application = new QGuiApplication(argc, argv);
  (void)application;
}

double PixelsPerMm(const QPaintDevice* device) { return device->logicalDpiX() / 25.4; }

} // namespace sinkview
