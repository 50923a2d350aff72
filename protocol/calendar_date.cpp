#include "protocol/calendar_date.h"

#include <charconv>
#include <cstdio>
#include <ctime>

#include "model/reader.h"

namespace sinkview {

namespace {

// The number of a run of 1 to `maxDigits` digits, the whole text.
std::optional<int> Digits(std::string_view text, std::size_t minDigits, std::size_t maxDigits) {
  if (text.size() < minDigits || text.size() > maxDigits) return std::nullopt;
  int value = 0;
  const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
  if (error != std::errc() || end != text.data() + text.size()) return std::nullopt;
  return value;
}

std::vector<std::string_view> Split(std::string_view text, char separator) {
  std::vector<std::string_view> parts;
  for (std::size_t at; (at = text.find(separator)) != std::string_view::npos; text.remove_prefix(at + 1))
    parts.push_back(text.substr(0, at));
  parts.push_back(text);
  return parts;
}

} // namespace

Expected<CalendarDate, Failure> ParseCalendarDate(std::string_view text) {
  if (text.find('/') != std::string_view::npos)
    return Unexpected(Failure{"is ambiguous (day or month first?): write the date as yyyy-mm-dd"});
  std::optional<int> year, month, day;
  if (const auto iso = Split(text, '-'); iso.size() == 3) {
    year = Digits(iso[0], 4, 4), month = Digits(iso[1], 2, 2), day = Digits(iso[2], 2, 2);
  } else if (const auto dotted = Split(text, '.'); dotted.size() == 3) {
    day = Digits(dotted[0], 1, 2), month = Digits(dotted[1], 1, 2), year = Digits(dotted[2], 4, 4);
    if (!year && Digits(dotted[2], 2, 2))
      return Unexpected(Failure{"has a year of two digits: write the date as yyyy-mm-dd"});
  }
  if (!year || !month || !day)
    return Unexpected(Failure{"is not a date of the form yyyy-mm-dd or dd.mm.yyyy"});
  const CalendarDate date{std::chrono::year(*year), std::chrono::month(static_cast<unsigned>(*month)),
                          std::chrono::day(static_cast<unsigned>(*day))};
  if (!date.ok()) return Unexpected(Failure{"is no day of the calendar"});
  // The years a data file may have: a study day of year 0 or 9999 is a typo.
  if (*year < kFirstYear || *year > kLastYear)
    return Unexpected(
        Failure{"is outside the years " + std::to_string(kFirstYear) + " to " + std::to_string(kLastYear)});
  return date;
}

std::string IsoDate(CalendarDate date) {
  char text[16];
  std::snprintf(text, sizeof text, "%04d-%02u-%02u", static_cast<int>(date.year()),
                static_cast<unsigned>(date.month()), static_cast<unsigned>(date.day()));
  return text;
}

CalendarDate Today() {
  const std::time_t now = std::time(nullptr);
  std::tm local{};
  localtime_r(&now, &local);
  return CalendarDate{std::chrono::year(local.tm_year + 1900), std::chrono::month(local.tm_mon + 1),
                      std::chrono::day(local.tm_mday)};
}

} // namespace sinkview
