#include <algorithm>
#include <cmath>

#include "study/student_t.h"
#include "study/study.h"

namespace sinkview {

namespace {

CohortRow RowOf(CohortSeries series, double months, std::vector<double> values) {
  CohortRow row;
  row.series = series;
  row.followUpMonths = months;
  row.n = static_cast<int>(values.size());
  if (values.empty()) return row;
  std::sort(values.begin(), values.end());
  const std::size_t n = values.size();
  double sum = 0;
  for (double v : values) sum += v;
  const double mean = sum / static_cast<double>(n);
  row.mean = mean;
  row.min = values.front();
  row.max = values.back();
  row.median = n % 2 == 1 ? values[n / 2] : (values[n / 2 - 1] + values[n / 2]) / 2;
  if (n < 2) return row;
  double squares = 0;
  for (double v : values) squares += (v - mean) * (v - mean);
  const double sd = std::sqrt(squares / static_cast<double>(n - 1));
  row.sd = sd;
  const double half =
      StudentTQuantile(0.975, static_cast<int>(n - 1)) * sd / std::sqrt(static_cast<double>(n));
  row.ci95Low = mean - half;
  row.ci95High = mean + half;
  return row;
}

} // namespace

std::vector<CohortRow> CohortStatistics(const std::vector<PatientSummary>& patients,
                                        const std::vector<double>& followUpMonths) {
  std::vector<CohortRow> rows;
  for (CohortSeries series : {CohortSeries::Subsidence, CohortSeries::StemCement}) {
    const auto course =
        series == CohortSeries::Subsidence ? &PatientSummary::subsidence : &PatientSummary::stemCement;
    for (double months : followUpMonths) {
      std::vector<double> values;
      for (const PatientSummary& p : patients) {
        if (const auto change = ChangeAt(p.*course, months)) values.push_back(*change);
      }
      rows.push_back(RowOf(series, months, std::move(values)));
    }
  }
  return rows;
}

} // namespace sinkview
