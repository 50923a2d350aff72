#pragma once

#include <string>
#include <string_view>

#include "protocol/calendar_date.h"

namespace sinkview {

inline constexpr std::string_view kCsvLineEnd = "\r\n";

// A text field, in double quotes (inner quotes doubled) only where it holds
// a comma, a quote, CR or LF, and after a ' where it starts like a formula
// (see StartsLikeAFormula), so that a spreadsheet shows it rather than
// running it. A number ("-2.1") is left as it is, so it stays a number.
void AppendCsvField(std::string& out, std::string_view text);

// A number: shortest form of at most 7 significant digits with "." as the
// decimal point, never "-0"; a value that is not finite is left empty.
void AppendCsvNumber(std::string& out, double value);

// A date as ISO 8601, yyyy-mm-dd, as the protocol's dates are written.
std::string IsoDate(int year, int month, int day);

} // namespace sinkview
