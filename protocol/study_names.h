#pragma once

// The names of groups, visits and covariates travel through the CSV files
// to R and back, and must come back as they left.

#include <string>
#include <string_view>

namespace sinkview {

// The row of the first radiograph in the visit tables; no visit may take it.
inline constexpr std::string_view kBaselineRow = "baseline";

// Why `name` cannot name a group, visit or covariate, or empty when it can:
// a name that starts like a formula is written with a ' before it, and a
// spreadsheet or R gives it back with that '.
std::string GuardedNameProblem(std::string_view name);

// Why a name the outputs show cannot be taken, or empty when it can: a line
// end, NUL or direction mark in it would break a CSV line or reorder the
// report's text around it.
std::string ControlCharacterProblem(const std::string& name);

} // namespace sinkview
