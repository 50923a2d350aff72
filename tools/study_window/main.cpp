// The study window's program: a folder of data files read as a study.

#include <QApplication>
#include <QCommandLineParser>
#include <QFileInfo>
#include <QIcon>

#include "base/numtext.h"
#include "paths/program_paths.h"
#include "rrunner/scratch_model.h"
#include "tools/study_window/study_window.h"
#include "ui/program_start.h"

int main(int argc, char** argv) {
  QCoreApplication::setApplicationName("sinkview-study-window");
  QCoreApplication::setApplicationVersion(SINKVIEW_VERSION);
  QCommandLineParser parser;
  parser.setApplicationDescription("Reads a folder of measurement data files (*.vok) as a follow-up study\n"
                                   "and shows its patients, statistics and cohort figure.");
  parser.addHelpOption();
  parser.addVersionOption();
  parser.addPositionalArgument("FOLDER", "The study folder to read at the start.", "[FOLDER]");
  const QCommandLineOption screenshot(
      "screenshot", "Saves a picture of the window to FILE once FOLDER is read, and ends.", "FILE");
  parser.addOption(screenshot);
  const auto app = sinkview::StartApplication(argc, argv, parser, "the study window", "sinkview-study");
  // The window shows and saves numbers as the study's files write them.
  sinkview::SetDecimalSeparator(sinkview::kFileDecimalPoint);
  QApplication::setWindowIcon(QIcon(":/sinkview.svg"));
  parser.process(*app);
  sinkview::RemoveOrphanedScratchFolders();

  // A patient opens in the main program: the one beside this program, else
  // the one on the search path.
  const QString beside =
      QString::fromLocal8Bit(sinkview::RunningProgramDirectory().c_str()) + QStringLiteral("sinkview");
  sinkview::StudyWindow window(QFileInfo(beside).isExecutable() ? beside : QStringLiteral("sinkview"));
  if (parser.isSet(screenshot)) {
    window.resize(1100, 560);
    QObject::connect(&window, &sinkview::StudyWindow::StudyShown, app.get(),
                     [&] { QApplication::exit(window.grab().save(parser.value(screenshot)) ? 0 : 1); });
  }
  window.show();
  if (!parser.positionalArguments().isEmpty())
    window.Read(QFileInfo(parser.positionalArguments().first()).absoluteFilePath());
  return app->exec();
}
