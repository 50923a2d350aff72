#include "workbook/cell_text.h"

#include <cctype>

namespace sinkview {

namespace {

bool IsEscapeAt(std::string_view text, std::size_t at) {
  if (text.substr(at, 2) != "_x" || at + 7 > text.size() || text[at + 6] != '_') return false;
  for (std::size_t i = at + 2; i < at + 6; ++i)
    if (!std::isxdigit(static_cast<unsigned char>(text[i]))) return false;
  return true;
}

bool IsContinuation(unsigned char c) { return (c & 0xc0) == 0x80; }

// UTF-16 code units of the UTF-8 text; a character beyond U+FFFF takes two.
std::size_t Utf16Units(std::string_view text) {
  std::size_t units = 0;
  for (unsigned char c : text) units += IsContinuation(c) ? 0 : c >= 0xf0 ? 2 : 1;
  return units;
}

} // namespace

CellText CellTextOf(std::string_view field) {
  static const std::size_t markUnits = Utf16Units(kCutMark);
  constexpr std::string_view kEscapedUnderscore = "_x005F";
  CellText cell;
  // The escapes count too: the library refuses a longer text as it is given.
  std::size_t units = 0, fitsWithMark = 0;
  for (std::size_t at = 0; at < field.size(); ++at) {
    const auto c = static_cast<unsigned char>(field[at]);
    if (!IsContinuation(c)) {
      if (units + markUnits <= kCellTextLimit) fitsWithMark = cell.text.size();
      if (IsEscapeAt(field, at)) {
        units += kEscapedUnderscore.size();
        cell.text += kEscapedUnderscore;
      }
      units += c >= 0xf0 ? 2 : 1;
    }
    cell.text += field[at];
    if (units > kCellTextLimit) {
      cell.text.resize(fitsWithMark);
      cell.text += kCutMark;
      cell.cut = true;
      return cell;
    }
  }
  return cell;
}

} // namespace sinkview
