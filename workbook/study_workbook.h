#pragma once

#include <string>
#include <vector>

#include "study/study.h"
#include "workbook/workbook.h"

namespace sinkview {

// A file the run wrote: its path, and where its bytes can be read (its
// temporary, before the run's files are put in place together).
struct RunFile {
  std::string path, readFrom;
};

// The workbook of a study run, made from the files the run wrote: each CSV
// file a sheet, protocol-used.toml and dictionary.csv on the first sheet
// when among them, else the settings of `options`. `program` is the
// program's name and version.
[[nodiscard]] Expected<PendingWorkbook, Failure>
StudyWorkbookInTemporary(const OutputFile& target, const std::vector<RunFile>& written,
                         const StudyOptions& options, const std::string& program, CalendarDate runDate);

} // namespace sinkview
