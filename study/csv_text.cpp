#include "study/csv_text.h"

#include <cmath>
#include <cstdio>

#include "model/numtext.h"
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
  if (std::isfinite(value)) AppendLabelText(out, value, kFileDecimalPoint);
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

std::string IsoDate(const CalendarDate& date) {
  return IsoDate(static_cast<int>(date.year()), static_cast<int>(static_cast<unsigned>(date.month())),
                 static_cast<int>(static_cast<unsigned>(date.day())));
}

} // namespace sinkview
