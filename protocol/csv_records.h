#pragma once

// A CSV file as spreadsheets write it (RFC 4180 with their habits): comma
// or semicolon, fields in double quotes with inner quotes doubled and line
// ends allowed inside, CR LF or LF, and a UTF-8 byte order mark.

#include <string>
#include <string_view>
#include <vector>

#include "model/expected.h"
#include "model/failure.h"

namespace sinkview {

struct CsvRecord {
  std::vector<std::string> fields;
  int line = 0; // where the record starts, from 1
};

struct CsvTable {
  char separator = ',';
  std::vector<CsvRecord> records; // the header first; blank lines are records of one empty field
};

// The separator is the one of ',' and ';' that the first line holds outside
// quotes; a line with both cannot be decided, one with neither has one
// column. `shownName` begins each message.
Expected<CsvTable, Failure> ReadCsvRecords(std::string_view text, const std::string& shownName);

} // namespace sinkview
