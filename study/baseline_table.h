#pragma once

// baseline.csv, the paper's first table: per group (and all) the patients,
// the hips, the bilateral patients, the excluded hips, each covariate, the
// days from surgery to the first radiograph and the follow-up.

#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "study/describe.h"
#include "study/study.h"

namespace sinkview {

inline constexpr std::string_view kBaselineCsv = "baseline.csv";
// The row of every group together.
inline constexpr std::string_view kAllGroups = "all";

// One row: a count (patients, hips, a text covariate's level) with its
// percent where it is one of the group's hips, or a description of numbers.
struct BaselineRow {
  std::string characteristic, level, group;
  int n = 0;
  std::optional<double> percent;
  std::optional<Description> numbers;
};

// The characteristics in the table's order: patients, hips,
// bilateral_patients, excluded_hips, the covariates, days_to_first_radiograph
// and follow_up_months, each for the groups in the study's order and then
// for all of them. Excluded hips count in their own row only; a patient
// with two hips is one patient, in all too. The covariates are the
// protocol's, else every one of the patients file; one whose every value is
// a number is described as numbers, any other by its levels.
std::vector<BaselineRow> BaselineTable(const StudyResult& result);

std::string BaselineCsv(const std::vector<BaselineRow>& rows);

} // namespace sinkview
