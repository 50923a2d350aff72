#include "study/precision.h"

#include <cmath>

#include "study/describe.h"
#include "study/student_t.h"

namespace sinkview {

namespace {

constexpr double kZ975 = 1.96;

} // namespace

AgreementRow Agreement(CohortSeries series, const std::vector<double>& differences, int hips) {
  AgreementRow row;
  row.series = series;
  row.pairs = static_cast<int>(differences.size());
  row.hips = hips;
  if (row.pairs < 2) return row;
  const Description d = Describe(differences);
  const double n = row.pairs, sd = *d.sd;
  row.bias = d.mean;
  row.sd = sd;
  row.biasCi95 = {{*d.ci95Low, *d.ci95High}};
  row.limits = {{*d.mean - kZ975 * sd, *d.mean + kZ975 * sd}};
  const double halfWidth =
      StudentTQuantile(0.975, row.pairs - 1) * sd * std::sqrt(1 / n + kZ975 * kZ975 / (2 * (n - 1)));
  row.lowLimitCi95 = {{(*row.limits)[0] - halfWidth, (*row.limits)[0] + halfWidth}};
  row.highLimitCi95 = {{(*row.limits)[1] - halfWidth, (*row.limits)[1] + halfWidth}};
  row.detectionLimit = kZ975 * sd;
  return row;
}

DatePairing PairByDate(const std::vector<CalendarDate>& first, const std::vector<CalendarDate>& second) {
  // Both courses rise in date order, so one walk matches them.
  DatePairing pairing;
  std::size_t i = 0, j = 0;
  while (i < first.size() || j < second.size()) {
    if (j == second.size() || (i < first.size() && first[i] < second[j])) {
      pairing.unpaired[0].push_back(i++);
    } else if (i == first.size() || second[j] < first[i]) {
      pairing.unpaired[1].push_back(j++);
    } else {
      pairing.pairs.push_back({i++, j++});
    }
  }
  return pairing;
}

std::vector<ReadingPair> ReadingPairs(const std::string& file, const HipCourse& first,
                                      const HipCourse& second, const DatePairing& pairing) {
  std::vector<ReadingPair> pairs;
  if (pairing.pairs.empty() || pairing.pairs.front() != std::array<std::size_t, 2>{0, 0}) return pairs;
  const std::vector<int> segments[2] = {Segments(first), Segments(second)};
  const bool stemCement = !first.stemCement.empty() && !second.stemCement.empty();
  for (CohortSeries series : {CohortSeries::Subsidence, CohortSeries::StemCement}) {
    if (series == CohortSeries::StemCement && !stemCement) break;
    const auto values = series == CohortSeries::Subsidence ? &HipCourse::subsidence : &HipCourse::stemCement;
    for (const auto& [i, j] : pairing.pairs) {
      if (!IsChangeFromFirst(first, segments[0], i) || !IsChangeFromFirst(second, segments[1], j)) continue;
      pairs.push_back(
          {file, static_cast<int>(i) + 1, first.dates[i], series, (first.*values)[i], (second.*values)[j]});
    }
  }
  return pairs;
}

} // namespace sinkview
