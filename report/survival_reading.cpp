#include "report/survival_reading.h"

#include <cstdlib>
#include <map>
#include <tuple>

#include "base/csv_records.h"
#include "study/reading_text.h"
#include "study/survival_columns.h"

namespace sinkview {

namespace {

using Key = std::tuple<std::string, std::string, std::string, std::string>; // method, event, group, years

// The records of one of R's files by their first columns, in file order.
Expected<std::vector<std::vector<std::string>>, Failure> Records(const std::string& text,
                                                                 std::string_view name, std::size_t columns) {
  auto table = ReadCsvRecords(text, std::string(name));
  if (!table) return Unexpected(table.error());
  std::vector<std::vector<std::string>> rows;
  for (std::size_t r = 1; r < table->records.size(); ++r) {
    const CsvRecord& record = table->records[r];
    if (record.fields.size() == 1 && record.fields[0].empty()) continue;
    if (record.fields.size() != columns)
      return Unexpected(Failure{std::string(name) + ": line " + std::to_string(record.line) + " has " +
                                std::to_string(record.fields.size()) + " fields, not " +
                                std::to_string(columns)});
    rows.push_back(record.fields);
  }
  return rows;
}

std::optional<double> Number(const std::string& text) {
  if (text.empty()) return std::nullopt;
  return std::strtod(text.c_str(), nullptr);
}

// "12.5 (3.1 to 40.2)" in percent; empty beyond the follow-up.
std::string Incidence(const std::vector<std::string>* row) {
  if (!row || (*row)[6].empty()) return {};
  const auto percent = [&](std::size_t f) {
    const std::optional<double> value = Number((*row)[f]);
    return PercentText(value ? std::optional(*value * 100) : std::nullopt);
  };
  const std::string interval = IntervalText(percent(7), percent(8));
  return percent(6) + (interval.empty() ? "" : " (" + interval + ")");
}

} // namespace

Expected<SurvivalReading, Failure> SurvivalReadingOf(const SurvivalEstimates& estimates) {
  auto survival = Records(estimates.survivalCsv, kSurvivalCsv, 9);
  if (!survival) return Unexpected(survival.error());
  auto tests = Records(estimates.testsCsv, kSurvivalTestsCsv, 5);
  if (!tests) return Unexpected(tests.error());
  std::map<Key, const std::vector<std::string>*> byKey;
  for (const auto& row : *survival) byKey[{row[0], row[1], row[2], row[3]}] = &row;
  const auto find = [&](const char* method, const char* event, const std::vector<std::string>& like) {
    const auto found = byKey.find({method, event, like[2], like[3]});
    return found == byKey.end() ? nullptr : found->second;
  };

  SurvivalReading reading;
  reading.headers = {"Group",
                     "Years",
                     "At risk",
                     "Revisions",
                     "Deaths",
                     "Cumulative incidence of revision (%, 95 % CI)",
                     "1 - Kaplan-Meier (%, 95 % CI)"};
  for (const auto& row : *survival) {
    if (row[0] != "aalen_johansen" || row[1] != "revision") continue;
    const auto* death = find("aalen_johansen", "death", row);
    const auto* km = find("one_minus_kaplan_meier", "revision", row);
    reading.rows.push_back(
        {row[2], row[3], row[4], row[5], death ? (*death)[5] : "", Incidence(&row), Incidence(km)});
  }
  reading.notes = {
      "Death is treated as a competing event: the cumulative incidence of revision is the "
      "Aalen-Johansen estimate; one minus Kaplan-Meier, with deaths censored, is the sensitivity "
      "analysis.",
      "Intervals are clustered by patient; none is given beyond a group's longest follow-up."};
  std::string gray;
  for (const auto& row : *tests) {
    const std::string p = PValueText(Number(row[4]));
    gray += (gray.empty() ? "" : ", ") + row[0] + " " +
            (p.empty() ? "not tested" : (p.starts_with("<") ? "p " : "p = ") + p);
  }
  if (!gray.empty()) reading.notes.push_back("Gray's test across the groups: " + gray + ".");
  return reading;
}

} // namespace sinkview
