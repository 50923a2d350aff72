#pragma once

// A study's tables as one workbook for spreadsheets, which misread CSV
// files in a comma locale and without a byte order mark. Every sheet is
// made from the bytes of a CSV file the run wrote, read back with the
// project's CSV reader, so the workbook cannot disagree with the files;
// each column's cells are numbers, dates or texts as the whole column is.

#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "base/atomic_file.h"
#include "protocol/protocol.h"
#include "workbook/mapped_file.h"

namespace sinkview {

// A CSV file of the run, by its name ("summary.csv"), and its bytes; when
// they are a mapped file's, its pages are let go as they are read.
struct WorkbookTable {
  std::string fileName;
  std::string_view csv;
  const MappedFile* mapped = nullptr;
};

// What the first sheet, "Study", says of the run.
struct StudySheet {
  std::string program; // name and version
  CalendarDate runDate;
  std::string_view protocolToml; // protocol-used.toml; empty when the study has no protocol
  std::vector<std::pair<std::string, std::string>> settings; // shown without a protocol
  std::string_view dictionaryCsv; // file,column,unit,description; empty: no columns are listed
};

// The sheet a CSV file becomes: "summary.csv" is "Summary", "model_fit.csv"
// "Model fit".
std::string SheetNameOf(std::string_view fileName);

// The workbook whole in its temporary file, for the caller to commit with
// the run's other files, and a note for each text cut to fit its cell.
struct PendingWorkbook {
  AtomicFile file;
  std::vector<std::string> notes;
};

// The sheets are "Study", then the tables in a fixed order (baseline,
// summary, visits, flow, cohort, bands, comparison, model, model fit, model
// tests, precision, long, rejected; others after them by their order in
// `tables`), each with
// a bold, frozen header row and columns as wide as their content, within
// bounds. A table beyond a sheet's rows or columns is left out with a note;
// a table that is no CSV is refused, naming the file. Made in the target's
// folder as opened (opened now if it is not), libxlsxwriter's own
// temporary files too.
[[nodiscard]] Expected<PendingWorkbook, Failure>
WorkbookInTemporary(OutputFile target, const StudySheet& study, const std::vector<WorkbookTable>& tables);

} // namespace sinkview
