#pragma once

// comparison.csv: at each visit, each group's mean against the first
// group's (the reference), by Welch's t. Plain C++, no Qt.

#include <string>
#include <string_view>
#include <vector>

#include "study/study.h"
#include "study/welch.h"

namespace sinkview {

inline constexpr std::string_view kComparisonCsv = "comparison.csv";

// The measured values of one series at one visit, one list per group in
// the study's group order (the first is the reference).
struct VisitSamples {
  std::string visit;
  double targetMonths = 0;
  std::vector<std::vector<double>> byGroup;
};

// One series ("subsidence", "stem_cement") at the protocol's visits, in
// their order.
struct SeriesSamples {
  std::string series;
  std::vector<VisitSamples> visits;
};

struct ComparisonRow {
  std::string series, visit;
  double targetMonths = 0;
  std::string group, referenceGroup;
  MeanDifference difference;
};

// The values each series has per visit and group: those cohort.csv
// describes (excluded hips never count), groups in the study's order.
std::vector<SeriesSamples> ComparisonSamples(const StudyResult& result);

// Per series and visit, every group after the first against the first;
// none with one group.
std::vector<ComparisonRow> GroupComparisons(const std::vector<std::string>& groups,
                                            const std::vector<SeriesSamples>& series);

std::string ComparisonCsv(const std::vector<ComparisonRow>& rows);

} // namespace sinkview
