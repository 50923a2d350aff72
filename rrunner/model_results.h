#pragma once

// model.csv, model_fit.csv and model_tests.csv as analysis.R writes them,
// read back for the study window's Model tab and the report.

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
  std::string analysis; // "all", "unadjusted", "complete_cases" or "one_hip_per_patient"
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
  std::string structure; // "unstructured" or "random_intercept"
  std::string dfMethod;  // "satterthwaite" or "containment"
  std::string covariates, fallback;
  int hips = 0, observations = 0;
  std::optional<double> sdInterceptMm, sdResidualMm, remlLogLikelihood, aic;
  std::string visitNumbers, sdByVisitMm; // numbers separated by blanks, as R wrote them
};

// One row of model_tests.csv: the F test of a term of the model.
struct ModelTest {
  std::string analysis, series, term;
  std::optional<double> numeratorDf, denominatorDf, fValue, pValue;
};

struct ModelResults {
  std::vector<ModelEstimate> estimates;
  std::vector<ModelFit> fits;
  std::vector<ModelTest> tests;
  // The fits R left out, each why in one line ("not fitted: stem_cement,
  // complete_cases: ..."); the subsidence of all hips is always fitted.
  std::vector<std::string> notes;
};

// The largest of the model's files read back.
inline constexpr std::size_t kMaxModelFileBytes = 64 * 1024 * 1024;

// The three files from `folder`; a missing column, a short row or a number that
// is none is a failure naming the file and line.
Expected<ModelResults, Failure> ReadModelResults(const std::string& folder);

} // namespace sinkview
