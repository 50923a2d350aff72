#pragma once

#include <QDeadlineTimer>
#include <QDir>
#include <QPainter>
#include <QProcess>
#include <QTest>
#include <QWidget>

namespace sinkview {

// A tool's standard output, "" when it cannot be run.
inline QString RunTool(const QString& program, const QStringList& arguments) {
  QProcess process;
  process.start(program, arguments);
  return process.waitForFinished(20000) ? QString::fromLocal8Bit(process.readAllStandardOutput()) : QString();
}

inline QStringList HardcopyPdfs() {
  return QDir(QDir::home().filePath("PDF")).entryList({"Hardcopy*.pdf"}, QDir::Files);
}

// The queue's document of a new job once it is complete; "" after 30 s.
inline QString WaitForNewPdf(const QStringList& before) {
  for (QDeadlineTimer deadline(30000); !deadline.hasExpired(); QTest::qWait(200))
    for (const QString& name : HardcopyPdfs()) {
      QFile file(QDir::home().filePath("PDF/" + name));
      if (!before.contains(name) && RunTool("lpstat", {"-W", "not-completed", "-o"}).trimmed().isEmpty() &&
          file.open(QIODevice::ReadOnly) && file.readAll().trimmed().endsWith("%%EOF"))
        return file.fileName();
    }
  return {};
}

// A 400 x 200 window whose printed orientation can be read back: a black band
// along its top edge, a light block at its left end, mid grey elsewhere, and
// no white, so the picture's extent on the page shows.
class MarkedWindow : public QWidget {
public:
  MarkedWindow() { resize(400, 200); }
  void paintEvent(QPaintEvent*) override {
    QPainter painter(this);
    painter.fillRect(rect(), QColor(0, 0, 255));           // grey 85
    painter.fillRect(0, 0, 400, 40, Qt::black);            // grey 0
    painter.fillRect(0, 40, 80, 160, QColor(0, 255, 255)); // grey 170
  }
};

} // namespace sinkview
