#include "study/csv_text.h"

#include <cmath>

#include "base/numtext.h"
#include "base/reader_text.h"
#include "protocol/calendar_date.h"
#include "study/study_csv.h"

namespace sinkview {

void AppendCsvField(std::string& out, std::string_view text) {
  const std::string_view guard = StartsLikeAFormula(text) ? "'" : "";
  if (text.find_first_of(",\"\r\n") == std::string_view::npos) {
    (out += guard) += text;
    return;
  }
  (out += '"') += guard;
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
  return IsoDate(CalendarDate{std::chrono::year(year), std::chrono::month(static_cast<unsigned>(month)),
                              std::chrono::day(static_cast<unsigned>(day))});
}

} // namespace sinkview
