#include "figures/offscreen.h"

#include <QByteArray>
#include <QString>
#include <QtGlobal>
#include <iostream>

namespace sinkview {

namespace {

std::string& ProgramName() {
  static std::string name;
  return name;
}

} // namespace

void UseOffscreenPlatform(const std::string& program) {
  ProgramName() = program;
  if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
  // Without a desktop session Qt complains of a missing runtime folder,
  // which a program that only draws into files never uses.
  qInstallMessageHandler([](QtMsgType type, const QMessageLogContext&, const QString& message) {
    if (message.startsWith(QLatin1String("QStandardPaths:"))) return;
    if (type != QtDebugMsg && type != QtInfoMsg) std::cerr << ProgramName() << ": ";
    std::cerr << message.toLocal8Bit().constData() << '\n';
  });
}

} // namespace sinkview
