#include "report/welch_table.h"

#include "study/comparison.h"
#include "study/reading_text.h"

namespace sinkview {

WelchTable BuildWelchTable(const StudyResult& result, CohortSeries series, bool primary) {
  WelchTable table;
  const std::string reference = result.groups.empty() ? std::string() : result.groups.front();
  table.title = std::string(SeriesTitle(series)) + ", all hips: Welch's differences of the raw means from " +
                reference + (primary ? " (primary)" : " (secondary)");
  table.headers = {
      "Visit", "Group", "n", "Reference n", WithUnit("Difference", "mm"), WithUnit("95 % CI", "mm"), "p"};
  for (const ComparisonRow& row : GroupComparisons(result.groups, ComparisonSamples(result))) {
    if (row.series != SeriesName(series)) continue;
    const MeanDifference& d = row.difference;
    table.cells.push_back({row.visit, row.group, std::to_string(d.n), std::to_string(d.referenceN),
                           MmText(d.difference), MmIntervalText(d.ci95Low, d.ci95High),
                           PValueText(d.pValue)});
  }
  return table;
}

} // namespace sinkview
