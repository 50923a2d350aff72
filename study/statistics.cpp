#include <algorithm>
#include <cmath>
#include <span>

#include "study/comparison.h"
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

// The values of a group's hips at the protocol's visit `v` (0 the first
// after the baseline); excluded hips never count.
std::vector<double> ValuesAt(const std::vector<PatientSummary>& hips, const std::string& group, std::size_t v,
                             CohortSeries series) {
  const auto value = series == CohortSeries::Subsidence ? &VisitValue::subsidence : &VisitValue::stemCement;
  std::vector<double> values;
  for (const PatientSummary& hip : hips) {
    if (hip.group != group || hip.events.excluded || hip.visits.empty()) continue;
    if (const auto& change = hip.visits[v + 1].*value) values.push_back(*change);
  }
  return values;
}

// The group's hips counted by one classification: n of those classified,
// with the Wilson interval; excluded hips never count.
std::vector<BandRow> ClassRows(const std::vector<PatientSummary>& hips,
                               const std::vector<std::string>& groups,
                               std::span<const std::string_view> classes,
                               std::string_view PatientSummary::*of, std::string_view classification) {
  std::vector<BandRow> rows;
  for (const std::string& group : groups) {
    const std::size_t first = rows.size();
    for (std::string_view name : classes) rows.push_back({group, name, 0, 0, std::nullopt, classification});
    int classified = 0;
    for (const PatientSummary& hip : hips) {
      if (hip.group != group || (hip.*of).empty() || hip.events.excluded) continue;
      ++classified;
      const auto at = std::find(classes.begin(), classes.end(), hip.*of) - classes.begin();
      ++rows[first + static_cast<std::size_t>(at)].n;
    }
    for (std::size_t b = first; b < rows.size(); ++b) {
      rows[b].of = classified;
      if (classified > 0) rows[b].ci95 = WilsonInterval(rows[b].n, classified);
    }
  }
  return rows;
}

constexpr std::array<double, 2> kDefaultPatternMonths = {12, 24};

} // namespace

std::string_view SeriesName(CohortSeries series) {
  return series == CohortSeries::Subsidence ? "subsidence" : "stem_cement";
}

std::string_view SeriesLabel(CohortSeries series) {
  return series == CohortSeries::Subsidence ? "subsidence" : "stem/cement";
}

std::string_view SeriesTitle(CohortSeries series) {
  return series == CohortSeries::Subsidence ? "Subsidence" : "Stem/cement interface";
}

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
    for (const std::string& group : groups) {
      for (std::size_t v = 0; v < protocol.visits.size(); ++v) {
        CohortRow row;
        static_cast<Description&>(row) = Describe(ValuesAt(hips, group, v, series));
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

std::vector<SeriesSamples> ComparisonSamples(const StudyResult& result) {
  std::vector<SeriesSamples> samples;
  for (CohortSeries series : {CohortSeries::Subsidence, CohortSeries::StemCement}) {
    SeriesSamples& s = samples.emplace_back(SeriesSamples{std::string(SeriesName(series)), {}});
    for (std::size_t v = 0; v < result.protocol.visits.size(); ++v) {
      VisitSamples& at = s.visits.emplace_back(
          VisitSamples{result.protocol.visits[v].name, result.protocol.visits[v].months, {}});
      for (const std::string& group : result.groups)
        at.byGroup.push_back(ValuesAt(result.patients, group, v, series));
    }
  }
  return samples;
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
  return ClassRows(hips, groups, kBands, &PatientSummary::band, kBandClassification);
}

std::optional<PatternRule> PatternRuleOf(const Protocol& protocol,
                                         const std::optional<RepeatReadings>& repeat) {
  std::optional<double> limit = protocol.detectionLimitMm;
  const bool repeated = repeat && repeat->rows.front().detectionLimit;
  if (repeated) limit = repeat->rows.front().detectionLimit;
  if (!limit) return std::nullopt;
  PatternRule rule;
  rule.limitMm = *limit;
  rule.limitOfRepeatReadings = repeated;
  for (std::size_t k = 0; k < 2; ++k) {
    std::optional<std::size_t> at;
    if (protocol.patternVisits) {
      at = VisitIndex(protocol, (*protocol.patternVisits)[k]);
    } else {
      for (std::size_t v = 0; v < protocol.visits.size() && !at; ++v)
        if (protocol.visits[v].months == kDefaultPatternMonths[k]) at = v + 1;
    }
    if (!at) return std::nullopt;
    rule.visits[k] = *at;
  }
  return rule;
}

std::string_view PatternOf(const std::vector<VisitValue>& visits, const PatternRule& rule) {
  if (visits.size() <= std::max(rule.visits[0], rule.visits[1])) return {};
  const std::optional<double>&a = visits[rule.visits[0]].subsidence, &b = visits[rule.visits[1]].subsidence;
  if (!a || !b) return {};
  return std::fabs(*b - *a) > rule.limitMm ? kPatterns[0] : kPatterns[1];
}

std::vector<BandRow> PatternRows(const std::vector<PatientSummary>& hips,
                                 const std::vector<std::string>& groups) {
  return ClassRows(hips, groups, kPatterns, &PatientSummary::pattern, kPatternClassification);
}

} // namespace sinkview
