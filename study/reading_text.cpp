#include "study/reading_text.h"

#include <algorithm>

#include "base/numtext.h"
#include "study/study.h"

namespace sinkview {

namespace {
std::string Fixed(std::optional<double> value, int decimals) {
  return value ? FixedText(*value, decimals, kFileDecimalPoint) : std::string();
}
} // namespace

std::string_view StudyClockText(const std::vector<PatientSummary>& hips) {
  const auto dated = std::count_if(hips.begin(), hips.end(),
                                   [](const PatientSummary& hip) { return !hip.surgeryDate.empty(); });
  if (dated == static_cast<std::ptrdiff_t>(hips.size())) return "since surgery";
  if (dated == 0) return "since the first radiograph";
  return "since surgery, else since the first radiograph";
}

std::string MmText(std::optional<double> value) { return Fixed(value, 2); }
std::string DegreesText(std::optional<double> value) { return Fixed(value, 1); }
std::string PercentText(std::optional<double> value) { return Fixed(value, 1); }
std::string DaysText(std::optional<double> value) { return Fixed(value, 0); }
std::string MonthsText(std::optional<double> value) { return Fixed(value, 1); }

std::string PValueText(std::optional<double> value) {
  // 0.0005 would show as "0.001" yet lies below it.
  if (value && *value < 0.001) return "< 0.001";
  return Fixed(value, 3);
}

std::string IntervalText(const std::string& low, const std::string& high) {
  return low.empty() || high.empty() ? std::string() : low + " to " + high;
}

std::string MmIntervalText(std::optional<double> low, std::optional<double> high) {
  return IntervalText(MmText(low), MmText(high));
}

std::string WithUnit(std::string_view quantity, std::string_view unit) {
  return std::string(quantity) + " (" + std::string(unit) + ")";
}

} // namespace sinkview
