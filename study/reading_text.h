#pragma once

// Numbers of the study's tables for reading (the report, the study window,
// the write-up): a fixed number of decimals per unit, the point whatever
// the locale. The CSV files keep every digit instead.

#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace sinkview {

struct PatientSummary;

// What the study's times count from, as the hips' surgery dates allow:
// "since surgery", "since the first radiograph", or "since surgery, else
// since the first radiograph" when only some hips have a date.
std::string_view StudyClockText(const std::vector<PatientSummary>& hips);

// Millimetres with two decimals, degrees and percentages with one; empty
// for no value.
std::string MmText(std::optional<double> value);
std::string DegreesText(std::optional<double> value);
std::string PercentText(std::optional<double> value);

// Days whole, months with one decimal; empty for no value.
std::string DaysText(std::optional<double> value);
std::string MonthsText(std::optional<double> value);

// A p-value with three decimals, or "< 0.001" below what three show.
std::string PValueText(std::optional<double> value);

// "low to high" of two texts of the above; empty when either is.
std::string IntervalText(const std::string& low, const std::string& high);
// "low to high" of an interval in millimetres; empty when either is missing.
std::string MmIntervalText(std::optional<double> low, std::optional<double> high);

// A column header with its unit in parentheses: "Subsidence at 24 months (mm)".
std::string WithUnit(std::string_view quantity, std::string_view unit);

} // namespace sinkview
