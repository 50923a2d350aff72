// sinkview-study: a follow-up study of every data file of one or more
// folders, written as CSV files for statistics packages.

#include <atomic>
#include <cstdio>
#include <filesystem>
#include <iostream>
#include <unistd.h>

#include "model/numtext.h"
#include "model/reader_text.h"
#include "protocol/calendar_date.h"
#include "protocol/protocol_toml.h"
#include "study/long_csv.h"
#include "study/study_csv.h"
#include "tools/study/study_graphics.h"
#include "tools/study/study_options.h"
#include "tools/study/study_protocol.h"

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

} // namespace

int main(int argc, char** argv) {
  // Every file of a study keeps the point, the reader's messages in
  // rejected.csv and the report's patient pages included.
  SetDecimalSeparator(kFileDecimalPoint);
  auto command = ParseStudyArguments(std::vector<std::string>(argv + 1, argv + argc));
  if (!command) {
    Complain(command.error().message);
    std::cerr << "Try '" << kStudyProgram << " --help'.\n";
    return kUsageError;
  }
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

  // long.csv is written while the files are read, the others from the result.
  Expected<AtomicFile, Failure> longCsv =
      OpenLongCsv((std::filesystem::path(command->outputDir) / kLongCsv).native());
  LongRowsSink longRows;
  if (longCsv) longRows = [&file = *longCsv](std::string_view rows) { file.Write(rows); };
  StudyOptions options = command->options;
  options.keepPrepared = !command->reportFile.empty();
  const StudyResult result = RunStudy(command->folders, options, ProgressLine(), nullptr, longRows);
  for (const RejectedFile& rejected : result.rejected) Complain(rejected.reason);

  std::vector<Failure> failures = WriteStudyCsvFiles(result, command->outputDir);
  if (MaybeFailure failure = longCsv ? longCsv->Commit() : MaybeFailure(longCsv.error()))
    failures.push_back(std::move(*failure));
  constexpr std::size_t kCsvFiles = 4;
  const std::size_t written = kCsvFiles - failures.size();
  if (!command->figureFile.empty()) {
    if (MaybeFailure failure = WriteCohortFigure(command->figureFile, result))
      failures.push_back(std::move(*failure));
  }
  if (!command->reportFile.empty()) {
    if (MaybeFailure failure = WriteStudyReport(command->reportFile, result, command->options))
      failures.push_back(std::move(*failure));
  }
  // Beside the results, the protocol they follow, when the study has one.
  if (!ProtocolFileOf(*command).empty()) {
    const std::string used = (std::filesystem::path(command->outputDir) / kProtocolUsedFileName).native();
    if (MaybeFailure failure =
            WriteFileAtomically(used, ProtocolToml(command->options.protocol, SINKVIEW_VERSION, today)))
      failures.push_back(std::move(*failure));
  }
  for (const Failure& failure : failures) Complain(failure.message);

  std::size_t flagged = 0;
  for (const PatientSummary& p : result.patients) flagged += p.overThreshold.value_or(false) ? 1 : 0;
  std::cout << Count(result.patients.size(), "file") << " read, " << Count(result.rejected.size(), "file")
            << " rejected, " << flagged << " over the threshold; " << Count(written, "CSV file")
            << " written to " << ShownFileName(command->outputDir);
  if (result.skipped == 1) std::cout << ", 1 entry skipped: not a regular file";
  if (result.skipped > 1) std::cout << ", " << result.skipped << " entries skipped: not regular files";
  std::cout << '\n';
  return result.rejected.empty() && failures.empty() ? kAllRead : kSomeFailed;
}
