#include "report/precision_tables.h"

#include "study/reading_text.h"

namespace sinkview {

namespace {

std::string Interval(const std::optional<std::array<double, 2>>& interval) {
  return interval ? MmIntervalText((*interval)[0], (*interval)[1]) : std::string();
}

std::optional<double> Limit(const AgreementRow& row, std::size_t end) {
  if (!row.limits) return std::nullopt;
  return (*row.limits)[end];
}

} // namespace

ReadingTable AgreementTable(const StudyResult& result) {
  ReadingTable table{{"Series", "Pairs", "Hips", WithUnit("Bias", "mm"), WithUnit("Bias 95 % CI", "mm"),
                      WithUnit("SD", "mm"), WithUnit("Lower limit of agreement", "mm"),
                      WithUnit("Lower limit 95 % CI", "mm"), WithUnit("Upper limit of agreement", "mm"),
                      WithUnit("Upper limit 95 % CI", "mm"), WithUnit("Detection limit", "mm")},
                     {}};
  if (!result.repeat) return table;
  for (const AgreementRow& row : result.repeat->rows)
    table.rows.push_back({std::string(SeriesLabel(row.series)), std::to_string(row.pairs),
                          std::to_string(row.hips), MmText(row.bias), Interval(row.biasCi95), MmText(row.sd),
                          MmText(Limit(row, 0)), Interval(row.lowLimitCi95), MmText(Limit(row, 1)),
                          Interval(row.highLimitCi95), MmText(row.detectionLimit)});
  return table;
}

ReadingTable PatternTable(const StudyResult& result) {
  ReadingTable table{{"Group", "Pattern", "Hips", WithUnit("Share", "%"), WithUnit("Wilson 95 % CI", "%")},
                     {}};
  for (const BandRow& row : result.bands) {
    if (row.classification != kPatternClassification) continue;
    std::string share, interval;
    if (row.of > 0) share = PercentText(100.0 * row.n / row.of);
    if (row.ci95)
      interval = IntervalText(PercentText(100 * (*row.ci95)[0]), PercentText(100 * (*row.ci95)[1]));
    table.rows.push_back({row.group, std::string(row.band),
                          std::to_string(row.n) + " of " + std::to_string(row.of), share, interval});
  }
  return table;
}

std::string PatternRuleText(const StudyResult& result) {
  const std::optional<PatternRule> rule = PatternRuleOf(result.protocol, result.repeat);
  if (!rule) return {};
  // The rule's visits count the baseline first.
  const auto visit = [&](std::size_t k) { return result.protocol.visits.at(rule->visits[k] - 1).name; };
  return "Between " + visit(0) + " and " + visit(1) + ", a stem whose subsidence changes by more than " +
         MmText(rule->limitMm) + " mm (the detection limit of " +
         (rule->limitOfRepeatReadings ? "the repeat readings" : "the protocol") +
         ") migrates continuously; the others have stabilised.";
}

} // namespace sinkview
