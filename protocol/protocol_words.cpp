#include "protocol/protocol_words.h"

#include <charconv>

namespace sinkview {

std::string ShortNumber(double value) {
  char text[32];
  const auto end = std::to_chars(text, text + sizeof text, value).ptr;
  return std::string(text, end);
}

double TimeLimitMonths(float days) {
  const double months = static_cast<double>(days) * 12 / 365;
  for (int digits = 1; digits < 17; ++digits) {
    char text[32];
    const auto end = std::to_chars(text, text + sizeof text, months, std::chars_format::general, digits).ptr;
    double shorter = 0;
    std::from_chars(text, end, shorter);
    if (TimeLimitDaysForMonths(shorter) == days) return shorter;
  }
  return months;
}

} // namespace sinkview
