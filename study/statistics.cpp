#include <algorithm>
#include <cmath>

#include "study/study.h"

namespace sinkview {

namespace {

// The visit's index in a hip's visits (0 the baseline), or none.
std::optional<std::size_t> VisitIndex(const Protocol& protocol, const std::string& name) {
  for (std::size_t v = 0; v < protocol.visits.size(); ++v)
    if (protocol.visits[v].name == name) return v + 1;
  return std::nullopt;
}

std::optional<bool> OverThreshold(const std::optional<double>& changeMm, double thresholdMm) {
  if (!changeMm) return {};
  return std::fabs(*changeMm) >= thresholdMm;
}

} // namespace

void FlagOverThreshold(StudyResult& result, double thresholdMm) {
  result.thresholdMm = thresholdMm;
  for (PatientSummary& p : result.patients)
    p.overThreshold = OverThreshold(p.subsidencePrimaryMm, thresholdMm);
}

void ApplyVisits(PatientSummary& hip, const Protocol& protocol) {
  if (hip.course.dates.empty()) return;
  hip.visits = HipVisits(hip.course, hip.events, protocol);
  const std::optional<std::size_t> primary = VisitIndex(protocol, protocol.primaryVisit);
  if (!primary) return;
  hip.subsidencePrimaryMm = hip.visits[*primary].subsidence;
  hip.overThreshold = OverThreshold(hip.subsidencePrimaryMm, protocol.thresholdMm);
  if (hip.subsidencePrimaryMm) hip.band = BandOf(*hip.subsidencePrimaryMm, protocol.bandsMm);
}

std::vector<CohortRow> CohortStatistics(const std::vector<PatientSummary>& hips, const Protocol& protocol,
                                        const std::vector<std::string>& groups) {
  std::vector<CohortRow> rows;
  for (CohortSeries series : {CohortSeries::Subsidence, CohortSeries::StemCement}) {
    const auto value = series == CohortSeries::Subsidence ? &VisitValue::subsidence : &VisitValue::stemCement;
    for (const std::string& group : groups) {
      for (std::size_t v = 0; v < protocol.visits.size(); ++v) {
        std::vector<double> values;
        for (const PatientSummary& hip : hips) {
          if (hip.group != group || hip.events.excluded || hip.visits.empty()) continue;
          if (const auto& change = hip.visits[v + 1].*value) values.push_back(*change);
        }
        CohortRow row;
        static_cast<Description&>(row) = Describe(std::move(values));
        row.series = series;
        row.group = group;
        row.visit = protocol.visits[v].name;
        row.followUpMonths = protocol.visits[v].months;
        rows.push_back(std::move(row));
      }
    }
  }
  return rows;
}

std::vector<FlowRow> StudyFlow(const std::vector<PatientSummary>& hips, const Protocol& protocol,
                               const std::vector<std::string>& groups) {
  std::vector<FlowRow> rows;
  for (const std::string& group : groups) {
    for (std::size_t v = 0; v <= protocol.visits.size(); ++v) {
      FlowRow row;
      row.group = group;
      row.visit = v == 0 ? "baseline" : protocol.visits[v - 1].name;
      row.targetMonths = v == 0 ? 0 : protocol.visits[v - 1].months;
      std::vector<double> days;
      for (const PatientSummary& hip : hips) {
        if (hip.group != group || hip.visits.empty()) continue;
        const VisitValue& at = hip.visits[v];
        ++row.hips;
        ++row.counts[static_cast<std::size_t>(at.status)];
        if (at.status == VisitStatus::Measured) days.push_back(*at.days);
      }
      row.days = Describe(std::move(days));
      rows.push_back(std::move(row));
    }
  }
  return rows;
}

std::vector<BandRow> PrimaryBands(const std::vector<PatientSummary>& hips,
                                  const std::vector<std::string>& groups) {
  std::vector<BandRow> rows;
  for (const std::string& group : groups) {
    const std::size_t first = rows.size();
    for (std::string_view band : kBands) rows.push_back({group, band, 0, 0, std::nullopt});
    int of = 0;
    for (const PatientSummary& hip : hips) {
      if (hip.group != group || hip.band.empty() || hip.events.excluded) continue;
      ++of;
      const auto at = std::find(kBands.begin(), kBands.end(), hip.band) - kBands.begin();
      ++rows[first + static_cast<std::size_t>(at)].n;
    }
    for (std::size_t b = first; b < rows.size(); ++b) {
      rows[b].of = of;
      if (of > 0) rows[b].ci95 = WilsonInterval(rows[b].n, of);
    }
  }
  return rows;
}

} // namespace sinkview
