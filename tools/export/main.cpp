// sinkview-export: writes the export file of every data file of a study,
// exactly as the table window's "WRITE FILE ( *.NUM)" would, without a window;
// or, through sinkview-figure, figures of one data file.

#include <cerrno>
#include <iostream>
#include <string>
#include <string_view>
#include <unistd.h>
#include <vector>

#include "base/reader_text.h"
#include "cli/distinct_outputs.h"
#include "cli/export_options.h"
#include "paths/program_paths.h"
#include "tools/export/batch_export.h"

using namespace sinkview;

namespace {

constexpr std::string_view kProgram = kExportProgram;

// Draws the figures in the program made for it, which alone loads Qt; it
// reads the same command line and says everything itself.
int RunFigureProgram(char** argv) {
#ifndef SINKVIEW_DRAWS_FIGURES
  (void)argv;
  std::cerr << kProgram << ": this build draws no figures\n";
  return kSomeRejected;
#else
  const std::string program = HelperProgramPath(RunningProgramDirectory(), std::string(kFigureProgram));
  argv[0] = const_cast<char*>(program.c_str());
  ::execv(program.c_str(), argv);
  std::cerr << kProgram << ": cannot draw figures: " << ShownFileName(program) << " cannot be run ("
            << ErrorText(errno) << ")\n";
  return kSomeRejected;
#endif
}

} // namespace

int main(int argc, char** argv) {
  const auto command = ParseExportArguments(std::vector<std::string>(argv + 1, argv + argc));
  if (!command) {
    std::cerr << UsageErrorText(command.error());
    return kUsageError;
  }
  if (command->action == ExportAction::Help) std::cout << ExportHelp();
  if (command->action == ExportAction::Version) std::cout << kProgram << ' ' << SINKVIEW_VERSION << '\n';
  if (command->action != ExportAction::Run) return kAllWritten;
  const ExportOptions& options = command->options;
  if (auto distinct = DistinctOutputs({{"--graphics", options.graphicsFile}, {"--table", options.tableFile}});
      !distinct) {
    std::cerr << UsageErrorText(distinct.error());
    return kUsageError;
  }
  if (options.WantsFigures()) return RunFigureProgram(argv);
  const ExportTally tally =
      ExportStudy(options.paths, options.recursive, options.settings, options.outputDir,
                  [](const std::string& message) { std::cerr << kProgram << ": " << message << '\n'; });
  std::cout << SummaryLine(tally);
  return tally.rejected == 0 && tally.unwritten == 0 && tally.notFlushed == 0 ? kAllWritten : kSomeRejected;
}
