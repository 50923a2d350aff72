#include "workbook/cell_types.h"

#include <algorithm>
#include <charconv>
#include <cmath>

#include "protocol/calendar_date.h"

namespace sinkview {

namespace {

bool IsDigit(char c) { return c >= '0' && c <= '9'; }

// -?(0|[1-9][0-9]*)(\.[0-9]+)?([eE][-+]?[0-9]+)?, the forms whose text a
// number cell shows back.
bool IsPlainDecimal(std::string_view text) {
  std::size_t at = 0;
  const auto digits = [&] {
    const std::size_t start = at;
    while (at < text.size() && IsDigit(text[at])) ++at;
    return at - start;
  };
  if (at < text.size() && text[at] == '-') ++at;
  const std::size_t whole = digits();
  if (whole == 0 || (whole > 1 && text[at - whole] == '0')) return false;
  if (at < text.size() && text[at] == '.') {
    ++at;
    if (digits() == 0) return false;
  }
  if (at < text.size() && (text[at] == 'e' || text[at] == 'E')) {
    ++at;
    if (at < text.size() && (text[at] == '-' || text[at] == '+')) ++at;
    if (digits() == 0) return false;
  }
  return at == text.size();
}

// What the workbook holds of a number: libxlsxwriter prints it with 16
// significant digits.
bool CarriedExactly(double value) {
  char text[32];
  const auto written = std::to_chars(text, text + sizeof text, value, std::chars_format::general, 16);
  double back = 0;
  std::from_chars(text, written.ptr, back);
  return back == value;
}

// Columns wide enough for most values, and no wider than a screen's third.
constexpr double kNarrowest = 6, kWidest = 60;

// Characters of the longest line (UTF-8 continuation bytes do not count).
std::size_t ShownLength(std::string_view text) {
  std::size_t longest = 0, line = 0;
  for (char c : text) {
    if (c == '\n') {
      line = 0;
    } else if ((static_cast<unsigned char>(c) & 0xc0) != 0x80) {
      longest = std::max(longest, ++line);
    }
  }
  return longest;
}

} // namespace

std::optional<double> NumberCell(std::string_view field) {
  if (!IsPlainDecimal(field)) return std::nullopt;
  double value = 0;
  const auto [end, error] = std::from_chars(field.data(), field.data() + field.size(), value);
  if (error != std::errc() || end != field.data() + field.size() || !std::isfinite(value) ||
      !CarriedExactly(value))
    return std::nullopt;
  return value;
}

std::optional<CalendarDate> DateCell(std::string_view field) {
  // The calendar's reader takes dd.mm.yyyy as well.
  if (field.size() != 10 || field[4] != '-') return std::nullopt;
  const auto date = ParseCalendarDate(field);
  using namespace std::chrono;
  if (!date || *date < year_month_day{1900y, March, 1d}) return std::nullopt;
  return *date;
}

void ColumnSurvey::Add(const std::vector<std::string>& fields, bool header) {
  if (columns_.size() < fields.size()) columns_.resize(fields.size());
  for (std::size_t c = 0; c < fields.size(); ++c) {
    Column& column = columns_[c];
    // A bold header runs a little wider.
    column.widest = std::max(column.widest, ShownLength(fields[c]) + (header ? 1 : 0));
    if (header || fields[c].empty()) continue;
    column.filled = true;
    column.numbers = column.numbers && NumberCell(fields[c]);
    column.dates = column.dates && DateCell(fields[c]);
  }
}

CellKind ColumnSurvey::Kind(std::size_t column) const {
  const Column& c = columns_.at(column);
  if (!c.filled) return CellKind::Text;
  return c.numbers ? CellKind::Number : c.dates ? CellKind::Date : CellKind::Text;
}

double ColumnSurvey::Width(std::size_t column) const {
  return std::clamp(static_cast<double>(columns_.at(column).widest) + 1, kNarrowest, kWidest);
}

} // namespace sinkview
