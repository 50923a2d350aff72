// sinkview-study: a follow-up study of every data file of one or more
// folders, written as CSV files for statistics packages.

#include <atomic>
#include <csignal>
#include <cstdio>
#include <filesystem>
#include <iostream>
#include <unistd.h>

#include "model/file_set.h"
#include "model/numtext.h"
#include "model/reader_text.h"
#include "protocol/calendar_date.h"
#include "protocol/protocol_toml.h"
#include "rrunner/model_step.h"
#include "study/analysis_script.h"
#include "study/csv_columns.h"
#include "study/long_csv.h"
#include "study/study_csv.h"
#include "tools/common/distinct_outputs.h"
#include "tools/study/study_graphics.h"
#include "tools/study/study_options.h"
#include "tools/study/study_protocol.h"
#include "workbook/study_workbook.h"

using namespace sinkview;

namespace {

constexpr int kAllRead = 0, kSomeFailed = 1, kUsageError = 2;

std::string Count(std::size_t n, std::string_view what) {
  return std::to_string(n) + " " + std::string(what) + (n == 1 ? "" : "s");
}

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

// Refuses a command line that names one file as two of the run's outputs.
Expected<void, Failure> OneFileEach(const StudyCommand& command) {
  std::vector<std::string_view> inFolder;
  for (const CsvFileColumns& csv : StudyCsvColumns()) inFolder.push_back(csv.file);
  if (!ProtocolFileOf(command).empty()) inFolder.push_back(kProtocolUsedFileName);
  inFolder.push_back(kAnalysisScript);
  std::vector<NamedOutput> outputs;
  for (std::string_view name : inFolder)
    outputs.push_back({"--output-dir", (std::filesystem::path(command.outputDir) / name).native()});
  outputs.push_back({"--figure", command.figureFile});
  outputs.push_back({"--model-figure", command.modelFigureFile});
  outputs.push_back({"--report", command.reportFile});
  outputs.push_back({"--workbook", command.workbookFile});
  outputs.push_back({"--bland-altman", command.blandAltmanFile});
  return DistinctOutputs(outputs);
}

// Ctrl-C and SIGTERM stop the study after the files in hand; the run then
// ends without replacing anything, its temporary files removed.
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
  for (int signal : {SIGINT, SIGTERM}) ::sigaction(signal, &action, nullptr);
}

int Stopped() {
  std::cout.flush();
  Complain(std::string("stopped by ") + (stopSignal == SIGINT ? "SIGINT" : "SIGTERM") +
           "; no file was replaced");
  return 128 + stopSignal;
}

// The workbook, made from the files of the set (so it says what they say)
// and put in place with them; a text cut to fit its cell is told.
Expected<void, Failure> AddWorkbook(FileSet& set, const StudyCommand& command, CalendarDate today) {
  std::vector<RunFile> written;
  for (const AtomicFile& file : set.Files()) written.push_back({file.Path(), file.ReadBackPath()});
  auto workbook = StudyWorkbookInTemporary(command.workbookFile, written, command.options,
                                           std::string(kStudyProgram) + " " + SINKVIEW_VERSION, today);
  if (!workbook) return Unexpected(workbook.error());
  for (const std::string& note : workbook->notes) Complain(ShownFileName(command.workbookFile) + ": " + note);
  set.Add(std::move(workbook->file));
  return {};
}

// The study's files, each whole in its temporary file: the CSV files, the
// protocol they follow, the figures and the report, to be put in place
// together; else why not. `model` is R's, null when none was fitted.
Expected<void, Failure> AddOutputs(FileSet& set, const StudyCommand& command, const StudyResult& result,
                                   const OutputFolder& folder, CalendarDate today,
                                   const ModelResults* model) {
  if (auto added = AddStudyCsvFiles(set, result, folder); !added) return added;
  if (!ProtocolFileOf(command).empty()) {
    auto used = AtomicFile::Open(folder, kProtocolUsedFileName);
    if (!used) return Unexpected(used.error());
    used->Write(ProtocolToml(command.options.protocol, SINKVIEW_VERSION, today));
    set.Add(std::move(*used));
  }
  // analysis.R beside the CSV files it reads.
  auto script = AtomicFile::Open(folder, kAnalysisScript);
  if (!script) return Unexpected(script.error());
  script->Write(AnalysisScriptText());
  set.Add(std::move(*script));
  if (!command.figureFile.empty() && !stopAsked) {
    if (auto added = set.Add(CohortFigureInTemporary(command.figureFile, result, command.figureWidthMm));
        !added)
      return added;
  }
  if (!command.modelFigureFile.empty() && !stopAsked) {
    if (auto added =
            set.Add(ModelFigureInTemporary(command.modelFigureFile, result, model, command.figureWidthMm));
        !added)
      return added;
  }
  if (!command.blandAltmanFile.empty() && !stopAsked) {
    if (auto added =
            set.Add(BlandAltmanFigureInTemporary(command.blandAltmanFile, result, command.figureWidthMm));
        !added)
      return added;
  }
  if (!command.reportFile.empty() && !stopAsked) {
    if (auto added = set.Add(StudyReportInTemporary(command.reportFile, result, command.options, model));
        !added)
      return added;
  }
  if (!command.workbookFile.empty() && !stopAsked) {
    if (auto added = AddWorkbook(set, command, today); !added) return added;
  }
  return {};
}

// R's mixed model of the files just written; R missing or failing is told
// in one line and leaves the run's exit status as it is.
void FitModel(const StudyCommand& command) {
  if (!command.runModel) {
    DiscardModelFiles(command.outputDir);
    return;
  }
  const auto fitted = RunModel(command.outputDir);
  if (!fitted) {
    Complain(fitted.error().failure.message);
    return;
  }
  for (const std::string& note : fitted->notes) Complain(note);
}

} // namespace

int main(int argc, char** argv) {
  // Every file of a study keeps the point, the reader's messages in
  // rejected.csv and the report's patient pages included.
  SetDecimalSeparator(kFileDecimalPoint);
  auto command = ParseStudyArguments(std::vector<std::string>(argv + 1, argv + argc));
  if (!command) return Misused(command.error().message);
  if (auto distinct = OneFileEach(*command); !distinct) return Misused(distinct.error().message);
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
  StopOnSignals();

  // The output folder is opened once: every file of the run goes into the
  // folder it was when the run began. long.csv is written while the files
  // are read, the others from the result; all are put in place together.
  const auto folder = OutputFolder::Open(command->outputDir);
  if (!folder) {
    Complain(folder.error().message);
    return kSomeFailed;
  }
  Expected<AtomicFile, Failure> longCsv = OpenLongCsv(*folder);
  LongRowsSink longRows;
  if (longCsv) longRows = [&file = *longCsv](std::string_view rows) { file.Write(rows); };
  StudyOptions options = command->options;
  options.keepPrepared = !command->reportFile.empty();
  const StudyResult result = RunStudy(command->folders, options, ProgressLine(), &stopAsked, longRows);
  if (stopAsked) return Stopped();
  for (const RejectedFile& rejected : result.rejected) Complain(rejected.reason);

  FileSet set;
  Expected<void, Failure> written = longCsv ? Expected<void, Failure>() : Unexpected(longCsv.error());
  if (written) {
    set.Add(std::move(*longCsv));
    // R runs only once these files are in place, so none of them has its
    // model yet: the report says so and --model-figure fails.
    written = AddOutputs(set, *command, result, *folder, today, nullptr);
  }
  if (stopAsked) return Stopped();
  if (!written) {
    Complain(written.error().message + " No file that belongs with it was replaced.");
  } else if (written = set.Commit(); !written) {
    Complain(written.error().message);
  }
  // R's run of analysis.R once every file it reads is in place.
  if (written) FitModel(*command);

  std::size_t flagged = 0;
  for (const PatientSummary& p : result.patients) flagged += p.overThreshold.value_or(false) ? 1 : 0;
  std::cout << Count(static_cast<std::size_t>(result.patientCount), "patient") << " ("
            << Count(result.patients.size(), "hip") << ") read, " << Count(result.rejected.size(), "file")
            << " rejected, " << flagged << " over the threshold; "
            << Count(written ? StudyCsvFileCount(result.repeat.has_value()) : 0, "CSV file") << " written to "
            << ShownFileName(command->outputDir);
  if (result.skipped == 1) std::cout << ", 1 entry skipped: not a regular file";
  if (result.skipped > 1) std::cout << ", " << result.skipped << " entries skipped: not regular files";
  std::cout << '\n';
  return result.rejected.empty() && written ? kAllRead : kSomeFailed;
}
