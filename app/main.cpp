#include <QApplication>

#include "app/main_window.h"
#include "app/program_paths.h"

int main(int argc, char* argv[]) {
  QApplication app(argc, argv);
  const sinkview::Edition edition =
      SINKVIEW_EDITION_YEAR == 2002 ? sinkview::kSecondEdition : sinkview::kMainEdition;
  const sinkview::ProgramPaths paths = sinkview::ResolveProgramPaths(
      QCoreApplication::applicationDirPath().toLocal8Bit().toStdString(), SINKVIEW_SOURCE_EXAMPLES);
  sinkview::MainWindow main(edition, paths);
  main.show();
  return app.exec();
}
