#include "study/reading_text.h"

#include "model/numtext.h"

namespace sinkview {

namespace {
std::string Fixed(std::optional<double> value, int decimals) {
  return value ? FixedText(*value, decimals, kFileDecimalPoint) : std::string();
}
} // namespace

std::string MmText(std::optional<double> value) { return Fixed(value, 2); }
std::string DegreesText(std::optional<double> value) { return Fixed(value, 1); }
std::string PercentText(std::optional<double> value) { return Fixed(value, 1); }

std::string PValueText(std::optional<double> value) {
  // 0.0005 would show as "0.001" yet lies below it.
  if (value && *value < 0.001) return "< 0.001";
  return Fixed(value, 3);
}

std::string MmIntervalText(std::optional<double> low, std::optional<double> high) {
  if (!low || !high) return {};
  return MmText(low) + " to " + MmText(high);
}

std::string WithUnit(std::string_view quantity, std::string_view unit) {
  return std::string(quantity) + " (" + std::string(unit) + ")";
}

} // namespace sinkview
