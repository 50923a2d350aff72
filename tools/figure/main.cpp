// sinkview-figure: draws the figures that sinkview-export is asked for,
// with the exporter's command line; apart so that a plain export loads no Qt.

#include <filesystem>
#include <iostream>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include <QGuiApplication>
#include <QSize>

#include "base/reader_text.h"
#include "cli/export_options.h"
#include "figures/axes_figure.h"
#include "figures/figure.h"
#include "figures/offscreen.h"
#include "model/data_files.h"
#include "model/prepared_series.h"
#include "paths/program_paths.h"

namespace fs = std::filesystem;
using namespace sinkview;

namespace {

constexpr std::string_view kProgram = kExportProgram;

// One figure as the options ask: the graphics with scales, on paper at the
// print resolution when a width is given.
Expected<void, Failure> WriteOne(Figure figure, const std::string& file, const ExportOptions& options,
                                 const PreparedSeries& prepared, const std::string& programDirectory) {
  if (figure == Figure::Graphics && options.figureWidthMm) {
    return WriteFigure(Figure::GraphicsWithAxes, file, GraphicsFigurePixels(*options.figureWidthMm), prepared,
                       programDirectory, kPrintDotsPerInch);
  }
  const QSize size = options.size ? QSize(options.size->width, options.size->height)
                                  : (figure == Figure::Graphics ? GraphicsDesignSize() : TableDesignSize());
  if (figure == Figure::Graphics && options.axes) figure = Figure::GraphicsWithAxes;
  return WriteFigure(figure, file, size, prepared, programDirectory);
}

// Draws the figures of one data file with the same reader and preparation
// as its export.
int WriteFigures(const ExportOptions& options, const std::string& programDirectory) {
  const std::string& name = options.paths.front();
  const int wanted = options.graphicsFile.empty() || options.tableFile.empty() ? 1 : 2;
  const auto summary = [](int written, int failed) {
    std::cout << written << (written == 1 ? " figure" : " figures") << " written, " << failed << " failed\n";
  };
  std::error_code error;
  std::optional<Expected<PreparedSeries, Failure>> loaded;
  std::string problem;
  if (fs::is_directory(name, error)) {
    problem = name + ": a folder; --graphics and --table draw one data file";
  } else if (const std::string notData = DataFileNameProblem(name); !notData.empty()) {
    problem = ShownFileName(name) + ": " + notData;
  } else if (loaded.emplace(LoadPreparedFile(name, options.settings)); !*loaded) {
    problem = loaded->error().message;
  }
  if (!problem.empty()) {
    std::cerr << kProgram << ": " << problem << '\n';
    summary(0, wanted);
    return kSomeRejected;
  }
  const PreparedSeries& prepared = **loaded;
  int failed = 0, written = 0;
  for (const auto& [file, figure] :
       {std::pair{options.graphicsFile, Figure::Graphics}, std::pair{options.tableFile, Figure::Table}}) {
    if (file.empty()) continue;
    const Expected<void, Failure> figureWritten = WriteOne(figure, file, options, prepared, programDirectory);
    if (figureWritten) {
      ++written;
    } else {
      std::cerr << kProgram << ": " << figureWritten.error().message << '\n';
      ++failed;
    }
  }
  summary(written, failed);
  return failed == 0 ? kAllWritten : kSomeRejected;
}

} // namespace

int main(int argc, char** argv) {
  const auto command = ParseExportArguments(std::vector<std::string>(argv + 1, argv + argc));
  // The exporter has read the same command line; anything else is a misuse.
  if (!command || command->action != ExportAction::Run || !command->options.WantsFigures()) {
    std::cerr << kFigureProgram << ": draws figures for " << kExportProgram << "; run that instead\n";
    return kUsageError;
  }
  UseOffscreenPlatform(std::string(kProgram));
  QGuiApplication app(argc, argv);
  const ProgramPaths paths = ResolveProgramPaths(
      ServedProgramDirectory(QCoreApplication::applicationDirPath().toLocal8Bit().toStdString()),
      std::string());
  if (!command->options.graphicsFile.empty() && !fs::exists(paths.ProgramDirectory + "clskonli.sys")) {
    std::cerr << kProgram << ": warning: no sketch files in " << paths.ProgramDirectory
              << "; the reference-system box names the missing files\n";
  }
  return WriteFigures(command->options, paths.ProgramDirectory);
}
