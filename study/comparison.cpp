#include "study/comparison.h"

#include "study/csv_columns.h"
#include "study/csv_text.h"

namespace sinkview {

std::vector<ComparisonRow> GroupComparisons(const std::vector<std::string>& groups,
                                            const std::vector<SeriesSamples>& series) {
  std::vector<ComparisonRow> rows;
  for (const SeriesSamples& s : series) {
    for (const VisitSamples& visit : s.visits) {
      for (std::size_t g = 1; g < groups.size() && g < visit.byGroup.size(); ++g) {
        rows.push_back({s.series, visit.visit, visit.targetMonths, groups[g], groups[0],
                        WelchDifference(visit.byGroup[g], visit.byGroup[0])});
      }
    }
  }
  return rows;
}

std::string ComparisonCsv(const std::vector<ComparisonRow>& rows) {
  std::string out = CsvHeader(kComparisonCsv);
  for (const ComparisonRow& row : rows) {
    for (std::string_view text : {std::string_view(row.series), std::string_view(row.visit)}) {
      AppendCsvField(out, text);
      out += ',';
    }
    AppendCsvNumber(out, row.targetMonths);
    out += ',';
    for (std::string_view text : {std::string_view(row.group), std::string_view(row.referenceGroup)}) {
      AppendCsvField(out, text);
      out += ',';
    }
    const MeanDifference& d = row.difference;
    AppendCsvNumber(out, d.n);
    out += ',';
    AppendCsvNumber(out, d.referenceN);
    for (const auto& value : {d.difference, d.ci95Low, d.ci95High, d.pValue}) {
      out += ',';
      if (value) AppendCsvNumber(out, *value);
    }
    out += kCsvLineEnd;
  }
  return out;
}

} // namespace sinkview
