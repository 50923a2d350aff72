#include "app/numeric_value.h"

#include <charconv>
#include <cmath>
#include <string>

#include "model/field_stream.h"

namespace sinkview {

double NumericValue(std::string_view text) {
  while (!text.empty() && (text.front() == ' ' || text.front() == '\t')) text.remove_prefix(1);
  const std::size_t length = DecimalNumberLength(text);
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
