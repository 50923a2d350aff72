#include "base/numtext.h"

#include <algorithm>
#include <atomic>
#include <cfenv>
#include <charconv>
#include <cmath>
#include <locale>
#include <string>

namespace sinkview {

namespace {

char LocaleDecimalSeparator() {
  try {
    const std::locale user("");
    return std::use_facet<std::numpunct<char>>(user).decimal_point();
  } catch (const std::exception&) {
    return '.'; // an unknown locale name in the environment
  }
}

// The exporter formats numbers on several threads at once: the locale is
// read under the one-time initialisation of a local static, and a test's
// override is an atomic (0: none).
std::atomic<char> separatorOverride{0};

} // namespace

char DecimalSeparator() {
  if (const char chosen = separatorOverride.load(std::memory_order_relaxed)) return chosen;
  static const char fromLocale = LocaleDecimalSeparator();
  return fromLocale;
}

void SetDecimalSeparator(char separator) { separatorOverride.store(separator, std::memory_order_relaxed); }

namespace {

// The label digits into a buffer of the caller's: no string is made per
// number when a whole export is formatted.
std::size_t LabelDigits(double value, char (&buffer)[40], char separator = DecimalSeparator()) {
  if (value == 0) value = 0; // no "-0"
  const auto result = std::to_chars(buffer, buffer + sizeof buffer, value, std::chars_format::general, 7);
  const std::size_t length = static_cast<std::size_t>(result.ptr - buffer);
  if (separator != '.') std::replace(buffer, buffer + length, '.', separator);
  return length;
}

} // namespace

std::string LabelText(double value) { return LabelText(value, DecimalSeparator()); }

std::string LabelText(double value, char separator) {
  char buffer[40];
  return std::string(buffer, LabelDigits(value, buffer, separator));
}

void AppendLabelText(std::string& out, double value, char separator) {
  char buffer[40];
  out.append(buffer, LabelDigits(value, buffer, separator));
}

std::string FixedText(double value, int decimals, char separator) {
  decimals = std::clamp(decimals, 0, 15);
  // Room for the 309 integer digits of the largest double.
  char buffer[400];
  const auto result =
      std::to_chars(buffer, buffer + sizeof buffer, value, std::chars_format::fixed, decimals);
  std::string text(buffer, result.ptr);
  // A value rounding to zero is written without its sign.
  if (text.front() == '-' && text.find_first_not_of("-0.") == std::string::npos) text.erase(0, 1);
  if (separator != '.') std::replace(text.begin(), text.end(), '.', separator);
  return text;
}

std::string RoundedText(double value, int decimals, char separator) {
  std::string text = FixedText(value, decimals, '.');
  if (text.find('.') != std::string::npos) {
    while (text.back() == '0') text.pop_back();
    if (text.back() == '.') text.pop_back();
  }
  if (separator != '.') std::replace(text.begin(), text.end(), '.', separator);
  return text;
}

void AppendPrintText(std::string& out, double value) {
  char buffer[40];
  const std::size_t length = LabelDigits(value, buffer);
  if (buffer[0] != '-') out += ' ';
  out.append(buffer, length);
  out += ' ';
}

std::string PrintText(double value) {
  std::string text;
  AppendPrintText(text, value);
  return text;
}

std::string TablePattern(float value) {
  // Beyond what fits the integer arithmetic below no one reads tenths anyway.
  if (!std::isfinite(value) || std::fabs(value) >= 1e15f) return LabelText(value);
  // A float times 10 is exact in double, so the rounding is decided on the
  // exact value of the float.
  const double tenths = std::round(static_cast<double>(value) * 10.0);
  const bool negative = value < 0;
  // Whole part and the one decimal as integers: no locale, no second rounding.
  const long long magnitude = static_cast<long long>(std::fabs(tenths));
  std::string whole = std::to_string(magnitude / 10);
  if (whole.size() < 2) whole.insert(whole.begin(), '0');
  return std::string(negative ? "-" : "") + whole + DecimalSeparator() +
         static_cast<char>('0' + magnitude % 10);
}

double RoundHalfEven(double value) {
  const int previous = std::fegetround();
  std::fesetround(FE_TONEAREST);
  const double rounded = std::nearbyint(value);
  std::fesetround(previous);
  return rounded;
}

std::optional<std::int16_t> CInt(double value) {
  if (!std::isfinite(value)) return std::nullopt;
  const double rounded = RoundHalfEven(value);
  if (rounded < -32768.0 || rounded > 32767.0) return std::nullopt;
  return static_cast<std::int16_t>(rounded);
}

double IntFloor(double value) { return std::floor(value); }

} // namespace sinkview
