// sinkview-study: a follow-up study of every data file of one or more
// folders, written as CSV files for statistics packages.

#include <atomic>
#include <csignal>
#include <cstdio>
#include <filesystem>
#include <iostream>
#include <optional>
#include <unistd.h>

#include "base/numtext.h"
#include "base/reader_text.h"
#include "cli/distinct_outputs.h"
#include "protocol/calendar_date.h"
#include "rrunner/scratch_model.h"
#include "study/csv_columns.h"
#include "studyrun/study_options.h"
#include "studyrun/study_outputs.h"
#include "studyrun/study_protocol.h"
#include "studyrun/study_run.h"

using namespace sinkview;

namespace {

constexpr int kAllRead = 0, kSomeFailed = 1, kUsageError = 2;

void Complain(const std::string& message) { std::cerr << kStudyProgram << ": " << message << '\n'; }

// "12/300 files", rewritten in place; only for a person watching.
StudyProgress ProgressLine() {
  if (!::isatty(STDERR_FILENO)) return {};
  return [](std::size_t done, std::size_t total) {
    std::fprintf(stderr, "\r%zu/%zu files", done, total);
    if (done == total) std::fputs("\r\033[K", stderr);
  };
}

int Misused(const std::string& message) {
  Complain(message);
  std::cerr << "Try '" << kStudyProgram << " --help'.\n";
  return kUsageError;
}

// What the command line asks the run to write.
StudyOutputsRequest RequestOf(const StudyCommand& command, CalendarDate today) {
  StudyOutputsRequest request;
  request.outputDir = command.outputDir;
  request.figureFile = command.figureFile;
  request.modelFigureFile = command.modelFigureFile;
  request.survivalFigureFile = command.survivalFigureFile;
  request.reportFile = command.reportFile;
  request.workbookFile = command.workbookFile;
  request.blandAltmanFile = command.blandAltmanFile;
  request.figureWidthMm = command.figureWidthMm;
  request.protocolFile = ProtocolFileOf(command);
  request.program = std::string(kStudyProgram) + " " + SINKVIEW_VERSION;
  request.runDate = today;
  return request;
}

// Ctrl-C, SIGTERM and SIGHUP (the terminal closed) stop the study after
// the files in hand (and R at once); the run then ends without replacing
// anything, its temporary files removed.
std::atomic<bool> stopAsked = false;
volatile std::sig_atomic_t stopSignal = 0;

void AskToStop(int signal) {
  stopSignal = signal;
  stopAsked = true;
}

void StopOnSignals() {
  struct sigaction action {};
  action.sa_handler = AskToStop;
  sigemptyset(&action.sa_mask);
  action.sa_flags = SA_RESTART;
  for (int signal : {SIGINT, SIGTERM, SIGHUP}) ::sigaction(signal, &action, nullptr);
}

int Stopped() {
  std::cout.flush();
  const char* const name = stopSignal == SIGINT ? "SIGINT" : stopSignal == SIGHUP ? "SIGHUP" : "SIGTERM";
  Complain(std::string("stopped by ") + name + "; no file was replaced");
  return 128 + stopSignal;
}

} // namespace

int main(int argc, char** argv) {
  // Every file of a study keeps the point, the reader's messages in
  // rejected.csv and the report's patient pages included.
  SetDecimalSeparator(kFileDecimalPoint);
  auto command = ParseStudyArguments(std::vector<std::string>(argv + 1, argv + argc));
  if (!command) return Misused(command.error().message);
  if (auto distinct = DistinctOutputs(StudyOutputPaths(RequestOf(*command, CalendarDate{}))); !distinct)
    return Misused(distinct.error().message);
  if (command->action == StudyAction::Help) {
    std::cout << StudyHelp();
    return kAllRead;
  }
  if (command->action == StudyAction::Version) {
    std::cout << kStudyProgram << ' ' << SINKVIEW_VERSION << '\n';
    return kAllRead;
  }
  const CalendarDate today = Today();
  if (const auto applied = ApplyProtocol(*command, today); !applied) {
    Complain(applied.error().message);
    return kUsageError;
  }
  for (const std::string& note : command->notes) Complain(note);
  StopOnSignals();
  RemoveOrphanedScratchFolders();

  // The output folder, and that of every other output, is opened once:
  // every file of the run goes into the folder it was when the run began.
  const auto folder = OutputFolder::Open(command->outputDir);
  if (!folder) {
    Complain(folder.error().message);
    return kSomeFailed;
  }
  StudyOutputsRequest request = RequestOf(*command, today);
  if (auto opened = OpenOutputFolders(request); !opened) {
    Complain(opened.error().message);
    return kSomeFailed;
  }
  const StudyRun run = RunStudyToFileSet(*command, request, *folder, ProgressLine(), &stopAsked, Complain);
  if (run.stopped) return Stopped();
  const Expected<void, Failure>& written = run.written;
  if (!written) Complain(written.error().message);
  const StudyResult& result = run.result;

  std::size_t flagged = 0;
  for (const PatientSummary& p : result.patients) flagged += p.overThreshold.value_or(false) ? 1 : 0;
  std::cout << CountText(static_cast<std::size_t>(result.patientCount), "patient") << " ("
            << CountText(result.patients.size(), "hip") << ") read, ";
  if (const std::string left = AfterCutoffText(result); !left.empty()) std::cout << left << ", ";
  std::cout << CountText(result.rejected.size(), "file") << " rejected, " << flagged
            << " over the threshold; "
            << CountText(written ? StudyCsvFileCount(result.repeat.has_value()) : 0, "CSV file")
            << " written to " << ShownFileName(command->outputDir);
  if (result.skipped == 1) std::cout << ", 1 entry skipped: not a regular file";
  if (result.skipped > 1) std::cout << ", " << result.skipped << " entries skipped: not regular files";
  std::cout << '\n';
  return result.rejected.empty() && written ? kAllRead : kSomeFailed;
}
