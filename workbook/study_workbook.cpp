#include "workbook/study_workbook.h"

#include <filesystem>

#include "protocol/protocol_toml.h"
#include "protocol/protocol_words.h"
#include "study/csv_columns.h"
#include "study/study_csv.h"
#include "workbook/mapped_file.h"

namespace sinkview {

namespace {

std::vector<std::pair<std::string, std::string>> SettingRows(const StudyOptions& options) {
  std::string visits;
  for (const Visit& visit : options.protocol.visits)
    visits += (visits.empty() ? "" : ",") + CsvNumber(visit.months);
  return {
      {"Reference point", std::string(WordOf(kReferenceWords, options.settings.ReferencePoint))},
      {"Trochanter", std::string(WordOf(kTrochanterWords, options.settings.TrochanterChoice))},
      {"Time limit (months)", CsvNumber(TimeLimitMonths(options.settings.TimeLimitDays))},
      {"Threshold (mm)", CsvNumber(options.thresholdMm)},
      {"Visits (months)", visits},
  };
}

} // namespace

Expected<PendingWorkbook, Failure>
StudyWorkbookInTemporary(const OutputFile& target, const std::vector<RunFile>& written,
                         const StudyOptions& options, const std::string& program, CalendarDate runDate) {
  std::vector<MappedFile> files;
  files.reserve(written.size()); // the tables point into it
  StudySheet study{program, runDate, {}, SettingRows(options), {}};
  std::vector<WorkbookTable> tables;
  for (const RunFile& run : written) {
    // The figures, the report and analysis.R are no tables: never read.
    const std::string name = std::filesystem::path(run.path).filename();
    if (name != kProtocolUsedFileName && std::filesystem::path(name).extension() != ".csv") continue;
    auto file = MappedFile::Open(run.readFrom);
    if (!file) return Unexpected(file.error());
    files.push_back(std::move(*file));
    const std::string_view text = files.back().Text();
    if (name == kProtocolUsedFileName) {
      study.protocolToml = text;
    } else if (name == kDictionaryCsv) {
      study.dictionaryCsv = text;
    } else if (std::filesystem::path(name).extension() == ".csv") {
      tables.push_back({name, text, &files.back()});
    }
  }
  return WorkbookInTemporary(target, study, tables);
}

} // namespace sinkview
