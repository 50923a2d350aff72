#pragma once

// What the report's main result page and the study window's Model tab say
// of the analyses: the model's structure and degrees of freedom (and the
// fallback where it was taken), which result is primary, and the patients
// with two hips. Plain C++, no Qt.

#include <string>
#include <string_view>

#include "rrunner/model_results.h"
#include "study/study.h"

namespace sinkview {

// The fit of one analysis and series; null when R left it out.
const ModelFit* FitOf(const ModelResults& model, std::string_view analysis, std::string_view series);

// "unstructured covariance (a correlation per two visits, a variance per
// visit), Satterthwaite degrees of freedom", and where the unstructured
// model could not be fitted, that the random intercept was and why.
std::string ModelStructureText(const ModelFit& fit);

// Which result the protocol's primary_analysis makes primary, and the
// other as secondary; without a model, that Welch's differences stand alone.
std::string PrimaryAnalysisText(const StudyResult& result, const ModelResults* model);

// How many patients have two hips (Table 1's count) and whether the
// analysis of one hip per patient was fitted, with its hips.
std::string BilateralText(const StudyResult& result, const ModelResults* model);

} // namespace sinkview
