// Program start: the command line, then the main window, optionally on a
// data file or folder named by the user or the file manager.

#include <QApplication>
#include <QCommandLineParser>
#include <QFile>
#include <QFileInfo>
#include <QIcon>
#include <QLoggingCategory>
#include <QTimer>
#include <cstdio>
#include <cstring>

#include "app/main_window.h"
#include "paths/program_paths.h"
#include "ui/program_start.h"

namespace {

// Off unless asked for (QT_LOGGING_RULES="sinkview.start.info=true"): says
// which file the start loaded, for checks of the desktop integration.
Q_LOGGING_CATEGORY(lcStart, "sinkview.start", QtWarningMsg)

const char* g_programName = "sinkview";

void Describe(QCommandLineParser& parser) {
  parser.setApplicationDescription(
      "Shows the radiological follow-up of a hip replacement: reads a measurement\n"
      "data file (*.vok), corrects its lengths for magnification and shows the\n"
      "diagrams and the table of the series.\n"
      "\n"
      "With a data file, starts in its folder with the file loaded; with a folder,\n"
      "starts there; without either, in the folder of the last session.");
  parser.addHelpOption();
  parser.addVersionOption();
  parser.addPositionalArgument("FILE|FOLDER", "A data file (*.vok) to load, or a folder to start in.",
                               "[FILE|FOLDER]");
}

// A command-line argument by its bytes: Qt's text of it has lost those of
// a name that is not valid UTF-8.
QByteArray AsGiven(const QString& argument, int argc, char** argv) {
  for (int a = argc - 1; a > 0; --a) {
    if (QFile::decodeName(argv[a]) == argument) return argv[a];
  }
  return QFile::encodeName(argument);
}

} // namespace

int main(int argc, char* argv[]) {
  if (argc > 0) g_programName = argv[0];
  if (const char* slash = std::strrchr(g_programName, '/')) g_programName = slash + 1;
  QCoreApplication::setApplicationVersion(SINKVIEW_VERSION);
  QCommandLineParser parser;
  Describe(parser);
  const auto app = sinkview::StartApplication(argc, argv, parser, "Sinkview", "sinkview-export");
  parser.process(*app);
  const QStringList arguments = parser.positionalArguments();
  if (arguments.size() > 1) {
    std::fprintf(stderr, "%s: give one data file or folder, not %d\nTry '%s --help'.\n", g_programName,
                 static_cast<int>(arguments.size()), g_programName);
    return 2;
  }

  // Task bars and window managers find the name and icon through the desktop entry.
  QGuiApplication::setDesktopFileName("sinkview");
  QApplication::setWindowIcon(QIcon(":/sinkview.svg"));

  const sinkview::Edition edition =
      SINKVIEW_EDITION_YEAR == 2002 ? sinkview::kSecondEdition : sinkview::kMainEdition;
  const sinkview::ProgramPaths paths = sinkview::ResolveProgramPaths(
      QCoreApplication::applicationDirPath().toLocal8Bit().toStdString(), SINKVIEW_SOURCE_EXAMPLES);
  sinkview::MainWindow main(edition, paths);
  if (!arguments.isEmpty()) {
    const QString& path = arguments.front();
    if (QFileInfo(path).isDir()) {
      main.setCurrentFolder(path);
    } else {
      // Once the window is up, so that a message about the file stands over it.
      QTimer::singleShot(0, &main, [&main, path, bytes = AsGiven(path, argc, argv)] {
        main.openDataFile(bytes);
        qCInfo(lcStart).noquote() << "loaded" << path << "->"
                                  << QString::fromStdString(main.model().PatientCode) << "with"
                                  << main.model().RadiographCount << "radiographs";
      });
    }
  }
  main.show();
  return app->exec();
}
