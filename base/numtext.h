#pragma once

#include <cstdint>
#include <optional>
#include <string>

namespace sinkview {

// Every number-to-text conversion of the program lives here, so the windows,
// the table and the export agree on digits and on the decimal separator.

// The decimal separator of the user's locale (LC_NUMERIC of the
// environment), decided once per process; tests, and the study's programs
// (kFileDecimalPoint), may override it.
char DecimalSeparator();
void SetDecimalSeparator(char separator);

// The decimal point of what is made for other programs and for print
// whatever the locale: the study's CSV files, figure and report.
inline constexpr char kFileDecimalPoint = '.';

// Label form: no leading blank, no trailing zeros, at most 7 significant
// digits ("12", "1.15", "0.5"); with the user's separator unless one is given.
std::string LabelText(double value);
std::string LabelText(double value, char separator);
// The same, appended to `out`.
void AppendLabelText(std::string& out, double value, char separator);

// Fixed form rounded to `decimals` (at most 15), trailing zeros and a bare
// separator dropped, never "-0": a scale's labels, "1.50" as "1.5".
std::string RoundedText(double value, int decimals, char separator);

// Fixed form with exactly `decimals` (at most 15), never "-0": the columns of
// a table of one precision ("1.50", "-0.25", "12").
std::string FixedText(double value, int decimals, char separator);

// Print form of a number written onto a surface or into a file: a blank (or
// the minus sign) in front, the label digits, a blank behind (" 12 ", "-1.5 ").
std::string PrintText(double value);
// The same, appended to `out`.
void AppendPrintText(std::string& out, double value);

// The table pattern "00.0": at least two integer digits, one decimal,
// rounded half away from zero, minus sign for negative values.
std::string TablePattern(float value);

// Rounds to the nearest whole number, halves to the even neighbour.
double RoundHalfEven(double value);

// CInt: RoundHalfEven into a 16-bit integer; empty when out of range.
std::optional<std::int16_t> CInt(double value);

// Int: the floor function.
double IntFloor(double value);

} // namespace sinkview
