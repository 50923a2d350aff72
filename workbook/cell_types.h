#pragma once

// How a field of a study's CSV file goes into a workbook cell: a column is
// typed as a whole, so that a text which only looks like a number, among
// the texts of its column, stays text.

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "protocol/protocol.h"

namespace sinkview {

enum class CellKind { Number, Date, Text };

// A field as a number cell: a finite decimal ("-0.25", "12", "1e-07") that
// the workbook carries exactly (its 16 significant digits read back as the
// same double). Leading zeros, a "+" or blanks make it text: "007" stays
// "007".
std::optional<double> NumberCell(std::string_view field);

// A field as a date cell: yyyy-mm-dd, a day that exists, from 1 March 1900
// on (spreadsheets disagree on the days before).
std::optional<CalendarDate> DateCell(std::string_view field);

// The kind and width of each column, from every field below the header.
class ColumnSurvey {
public:
  void Add(const std::vector<std::string>& fields, bool header = false);

  std::size_t Columns() const { return columns_.size(); }
  // Number when every non-empty field is one, else Date when every one is
  // a date, else Text; a column with no field at all is Text.
  CellKind Kind(std::size_t column) const;
  // In characters, for the widest field, bounded so that one long text does
  // not push the others off the screen.
  double Width(std::size_t column) const;

private:
  struct Column {
    bool numbers = true, dates = true, filled = false;
    std::size_t widest = 0;
  };
  std::vector<Column> columns_;
};

} // namespace sinkview
