#pragma once

// model_settings.csv: what analysis.R fits, beside the study's CSV files
// so that R run again in the output folder fits the same model.

#include <string>
#include <string_view>
#include <vector>

#include "study/study.h"

namespace sinkview {

inline constexpr std::string_view kModelSettingsCsv = "model_settings.csv";

// The covariates the model is adjusted for: those the protocol lists (the
// patients file's columns it kept), never the others, which nobody
// pre-specified.
std::vector<std::string> ModelCovariates(const StudyResult& result);

// One row for the model's structure, and one per covariate with its column
// in visits.csv (1 the first), which R goes by: a name may read like
// another once written.
std::string ModelSettingsCsv(const StudyResult& result);

} // namespace sinkview
