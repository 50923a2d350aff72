#include "report/survival_curves.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <optional>

#include "base/csv_records.h"
#include "study/survival_columns.h"

namespace sinkview {

namespace {

enum Column { kMethod, kGroup, kYears, kAtRisk, kEstimate, kLow, kHigh, kColumns };
constexpr const char* kNames[kColumns] = {"method",   "group",    "years",    "at_risk",
                                          "estimate", "ci95_low", "ci95_high"};

// A number as R writes it, the locale not asked.
std::optional<double> Number(const std::string& text) {
  double value = 0;
  const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
  if (error != std::errc() || end != text.data() + text.size() || !std::isfinite(value)) return std::nullopt;
  return value;
}

class Reader {
public:
  explicit Reader(const CsvRecord& record) : record_(record) {}

  Failure Wrong(Column column, const std::string& why) const {
    return Failure{std::string(kSurvivalStepsCsv) + ": line " + std::to_string(record_.line) + ", column " +
                   kNames[column] + ": " + why + "; survival.R writes it again from survival_hips.csv"};
  }
  const std::string& Text(Column column) const { return record_.fields[column]; }
  // A number within [low, high]; empty gives none where `optional`.
  Expected<std::optional<double>, Failure> Within(Column column, double low, double high,
                                                  bool optional = false) const {
    if (optional && Text(column).empty()) return std::optional<double>();
    const std::optional<double> value = Number(Text(column));
    if (!value || *value < low || *value > high)
      return Unexpected(Wrong(column, "'" + Text(column).substr(0, 40) + "' is not a number from " +
                                          std::to_string(static_cast<long>(low)) + " to " +
                                          std::to_string(static_cast<long>(high))));
    return value;
  }

private:
  const CsvRecord& record_;
};

} // namespace

Expected<std::vector<SurvivalCurves>, Failure> SurvivalCurvesOf(std::string_view stepsCsv,
                                                                const std::vector<std::string>& groups) {
  auto reader = CsvRecordReader::Open(stepsCsv, std::string(kSurvivalStepsCsv));
  if (!reader) return Unexpected(reader.error());
  std::vector<SurvivalCurves> curves(groups.size());
  for (std::size_t g = 0; g < groups.size(); ++g) curves[g].name = groups[g];
  CsvRecord record;
  std::size_t rows = 0;
  for (bool header = true;; header = false) {
    auto more = reader->Next(record);
    if (!more) return Unexpected(more.error());
    if (!*more) break;
    if (header || (record.fields.size() == 1 && record.fields[0].empty())) continue;
    if (record.fields.size() != kColumns)
      return Unexpected(Failure{std::string(kSurvivalStepsCsv) + ": line " + std::to_string(record.line) +
                                " has " + std::to_string(record.fields.size()) + " fields, not " +
                                std::to_string(kColumns)});
    const Reader row(record);
    if (++rows > kMaxSurvivalSteps)
      return Unexpected(row.Wrong(kMethod, "more than " + std::to_string(kMaxSurvivalSteps) + " rows"));
    const auto group = std::find(groups.begin(), groups.end(), row.Text(kGroup));
    if (group == groups.end())
      return Unexpected(
          row.Wrong(kGroup, "'" + row.Text(kGroup).substr(0, 40) + "' is no group of the study"));
    SurvivalCurves& curve = curves[static_cast<std::size_t>(group - groups.begin())];
    const auto years = row.Within(kYears, 0, 1000);
    if (!years) return Unexpected(years.error());
    const auto atRisk = row.Within(kAtRisk, 0, 1e9);
    if (!atRisk) return Unexpected(atRisk.error());
    if (std::floor(**atRisk) != **atRisk)
      return Unexpected(
          row.Wrong(kAtRisk, "'" + row.Text(kAtRisk).substr(0, 40) + "' is not a whole number"));
    const std::string& method = row.Text(kMethod);
    if (method == "at_risk") {
      curve.atRisk.push_back({**years, std::lround(**atRisk)});
      continue;
    }
    std::vector<SurvivalStep>* steps = method == "aalen_johansen"           ? &curve.incidence
                                       : method == "one_minus_kaplan_meier" ? &curve.oneMinusKaplanMeier
                                                                            : nullptr;
    if (!steps)
      return Unexpected(
          row.Wrong(kMethod, "'" + method.substr(0, 40) +
                                 "' is none of aalen_johansen, one_minus_kaplan_meier and at_risk"));
    // A step back in time would draw a curve that folds on itself.
    if (!steps->empty() && **years < steps->back().years)
      return Unexpected(row.Wrong(kYears, "the curve goes back in time"));
    const auto estimate = row.Within(kEstimate, 0, 1);
    const auto low = row.Within(kLow, 0, 1, true);
    const auto high = row.Within(kHigh, 0, 1, true);
    for (const auto* read : {&estimate, &low, &high})
      if (!*read) return Unexpected(read->error());
    steps->push_back({**years, **estimate, *low, *high});
  }
  return curves;
}

} // namespace sinkview
