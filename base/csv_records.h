#pragma once

// A CSV file as spreadsheets write it (RFC 4180 with their habits): comma
// or semicolon, fields in double quotes with inner quotes doubled and line
// ends allowed inside, CR LF or LF, and a UTF-8 byte order mark.

#include <cstddef>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "base/expected.h"
#include "base/failure.h"

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

// The records of a CSV text one at a time, for a text too long to hold as
// records (long.csv of a large study). The text must outlive the reader.
class CsvRecordReader {
public:
  // Decides the separator as ReadCsvRecords does.
  [[nodiscard]] static Expected<CsvRecordReader, Failure> Open(std::string_view text, std::string shownName);

  char Separator() const { return separator_; }
  // The bytes read so far, after the byte order mark if there is one.
  std::size_t Offset() const { return at_; }

  // The next record into `record`, reusing its fields' storage; false at the
  // end of the text.
  [[nodiscard]] Expected<bool, Failure> Next(CsvRecord& record);

private:
  CsvRecordReader(std::string_view text, char separator, std::string shownName)
      : text_(text), separator_(separator), shownName_(std::move(shownName)) {}
  void PlainField(std::string& field);
  bool QuotedField(std::string& field);
  bool Fail(int line, const std::string& what);

  std::string_view text_;
  char separator_;
  std::string shownName_;
  std::size_t at_ = 0;
  int line_ = 1;
  Failure failure_;
};

} // namespace sinkview
