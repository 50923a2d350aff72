#pragma once

#include <string>
#include <string_view>

namespace sinkview {

// A cell holds at most this many characters (UTF-16 code units).
inline constexpr std::size_t kCellTextLimit = 32767;
// What ends a text cut to fit a cell.
inline constexpr std::string_view kCutMark = "[…cut]";

// A text as a cell keeps it. "_xHHHH_" is how a workbook writes a control
// character, so a text holding those letters has its "_" written as
// "_x005F_"; a text longer than a cell holds is cut, ending in kCutMark.
struct CellText {
  std::string text;
  bool cut = false;
};
CellText CellTextOf(std::string_view field);

} // namespace sinkview
