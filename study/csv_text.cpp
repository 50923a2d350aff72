#include "study/csv_text.h"

#include <charconv>
#include <cmath>
#include <cstdio>

#include "study/study_csv.h"

namespace sinkview {

void AppendCsvField(std::string& out, std::string_view text) {
  if (text.find_first_of(",\"\r\n") == std::string_view::npos) {
    out += text;
    return;
  }
  out += '"';
  for (char c : text) {
    if (c == '"') out += '"';
    out += c;
  }
  out += '"';
}

void AppendCsvNumber(std::string& out, double value) {
  if (!std::isfinite(value)) return;
  // A zero change (C(1) - C(1), a level course) has no sign.
  if (value == 0) value = 0;
  char digits[32];
  const auto written = std::to_chars(digits, digits + sizeof digits, value, std::chars_format::general, 7);
  out.append(digits, written.ptr);
}

std::string CsvNumber(double value) {
  std::string out;
  AppendCsvNumber(out, value);
  return out;
}

std::string IsoDate(int year, int month, int day) {
  char text[16];
  std::snprintf(text, sizeof text, "%04d-%02d-%02d", year, month, day);
  return text;
}

} // namespace sinkview
