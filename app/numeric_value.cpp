#include "app/numeric_value.h"

#include <charconv>
#include <cmath>
#include <string>

namespace sinkview {

namespace {

bool IsDigit(char c) { return c >= '0' && c <= '9'; }

// Length of the longest prefix of s that is a decimal number.
std::size_t NumberPrefix(std::string_view s) {
  std::size_t i = 0, digits = 0;
  if (i < s.size() && (s[i] == '+' || s[i] == '-')) ++i;
  while (i < s.size() && IsDigit(s[i])) ++i, ++digits;
  if (i < s.size() && s[i] == '.') {
    ++i;
    while (i < s.size() && IsDigit(s[i])) ++i, ++digits;
  }
  if (digits == 0) return 0;
  std::size_t end = i;
  if (i < s.size() && (s[i] == 'e' || s[i] == 'E')) {
    std::size_t j = i + 1;
    if (j < s.size() && (s[j] == '+' || s[j] == '-')) ++j;
    const std::size_t exponentStart = j;
    while (j < s.size() && IsDigit(s[j])) ++j;
    if (j > exponentStart) end = j;
  }
  return end;
}

} // namespace

double NumericValue(std::string_view text) {
  while (!text.empty() && (text.front() == ' ' || text.front() == '\t')) text.remove_prefix(1);
  const std::size_t length = NumberPrefix(text);
  if (length == 0) return 0;
  std::string_view digits = text.substr(0, length);
  std::string number;
  if (digits.front() == '+' || digits.front() == '-') {
    if (digits.front() == '-') number.push_back('-');
    digits.remove_prefix(1);
  }
  if (digits.front() == '.') number.push_back('0'); // from_chars wants a leading digit
  number.append(digits);
  double value = 0;
  const auto result = std::from_chars(number.data(), number.data() + number.size(), value);
  if (result.ec != std::errc() || !std::isfinite(value)) return 0;
  return value;
}

} // namespace sinkview
