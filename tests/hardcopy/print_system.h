#pragma once

#include <QDir>
#include <QProcess>
#include <QStringList>

namespace sinkview {

// Runs a tool of the print system; its standard output, or "" when it could
// not be run.
inline QString RunTool(const QString& program, const QStringList& arguments) {
  QProcess process;
  process.start(program, arguments);
  if (!process.waitForFinished(20000)) {
    process.kill();
    process.waitForFinished();
    return {};
  }
  return QString::fromLocal8Bit(process.readAllStandardOutput());
}

inline bool PrintSystemRuns() { return RunTool("lpstat", {"-r"}).contains("is running"); }

// Where the PDF queue of the print system puts the documents of this user.
inline QDir PdfFolder() { return QDir(QDir::home().filePath("PDF")); }

inline QStringList HardcopyPdfs() {
  return PdfFolder().entryList({"Hardcopy*.pdf"}, QDir::Files, QDir::Time);
}

} // namespace sinkview
