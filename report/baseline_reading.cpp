#include "report/baseline_reading.h"

#include <array>
#include <utility>

#include "study/reading_text.h"

namespace sinkview {

namespace {

// The table's own characteristics in words; a covariate keeps its column's name.
std::string CharacteristicText(const std::string& characteristic) {
  static const std::array<std::pair<std::string_view, std::string_view>, 6> kWords = {{
      {"patients", "Patients"},
      {"hips", "Hips"},
      {"bilateral_patients", "Bilateral patients"},
      {"excluded_hips", "Excluded hips"},
      {"days_to_first_radiograph", "Days from surgery to the first radiograph"},
      {"follow_up_months", "Follow-up from surgery to the last radiograph (months)"},
  }};
  for (const auto& [name, words] : kWords)
    if (characteristic == name) return std::string(words);
  return characteristic;
}

std::string OneDecimal(std::optional<double> value) { return PercentText(value); }

// "a (b)", or "a" alone without b.
std::string WithInParentheses(const std::string& first, const std::string& second) {
  return second.empty() || first.empty() ? first : first + " (" + second + ")";
}

} // namespace

BaselineReading BaselineReadingOf(const std::vector<BaselineRow>& table) {
  BaselineReading reading{
      {"Characteristic", "Level", "Group", "n", "%", "Mean (SD)", "Median (Q1 to Q3)", "Range"}, {}};
  for (const BaselineRow& row : table) {
    std::vector<std::string> cells = {CharacteristicText(row.characteristic), row.level, row.group,
                                      std::to_string(row.n), OneDecimal(row.percent)};
    if (const auto& d = row.numbers) {
      cells.push_back(WithInParentheses(OneDecimal(d->mean), OneDecimal(d->sd)));
      cells.push_back(
          WithInParentheses(OneDecimal(d->median), IntervalText(OneDecimal(d->q1), OneDecimal(d->q3))));
      cells.push_back(IntervalText(OneDecimal(d->min), OneDecimal(d->max)));
    } else {
      cells.resize(reading.headers.size());
    }
    reading.rows.push_back(std::move(cells));
  }
  return reading;
}

} // namespace sinkview
