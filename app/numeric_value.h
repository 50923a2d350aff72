#pragma once

#include <string_view>

namespace sinkview {

// The numeric value of a text typed into a settings field: its leading
// decimal number (point as the decimal separator), 0 when it does not start
// with one. "24 months" gives 24, "" and "abc" give 0.
double NumericValue(std::string_view text);

} // namespace sinkview
