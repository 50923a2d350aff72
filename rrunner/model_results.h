#pragma once

// model.csv and model_fit.csv as analysis.R writes them, read back for the
// study window's Model tab and the report.

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "base/expected.h"
#include "base/failure.h"
#include "study/analysis_script.h"

namespace sinkview {

// One row of model.csv: a model-based mean of a group at a visit, or a
// group's difference from the reference group there.
struct ModelEstimate {
  std::string analysis; // "all" or "complete_cases"
  std::string series;   // "subsidence" or "stem_cement"
  std::string kind;     // "mean" or "difference"
  std::string group, referenceGroup, visit;
  std::optional<double> targetMonths, estimateMm, seMm, df, ci95LowMm, ci95HighMm, pValue;
  // What R told the groups and visits apart by (visits.csv's numbers): the
  // names above may read alike.
  int groupNumber = 0, visitNumber = 0;
  std::optional<int> referenceGroupNumber; // for a difference
};

// One row of model_fit.csv.
struct ModelFit {
  std::string analysis, series;
  int hips = 0, observations = 0;
  std::optional<double> sdInterceptMm, sdResidualMm, remlLogLikelihood;
};

struct ModelResults {
  std::vector<ModelEstimate> estimates;
  std::vector<ModelFit> fits;
  // The fits R left out, each why in one line ("not fitted: stem_cement,
  // complete_cases: ..."); the subsidence of all hips is always fitted.
  std::vector<std::string> notes;
};

// The largest model.csv or model_fit.csv read back.
inline constexpr std::size_t kMaxModelFileBytes = 64 * 1024 * 1024;

// Both files from `folder`; a missing column, a short row or a number that
// is none is a failure naming the file and line.
Expected<ModelResults, Failure> ReadModelResults(const std::string& folder);

} // namespace sinkview
