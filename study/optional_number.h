#pragma once

// A number that may be missing, in the room of the number alone: a study
// keeps three for each visit of each hip, and std::optional<double> would
// take twice the room. Not-a-number stands for none, so it can hold every
// value a prepared series gives (they are finite, see
// model/finite_values.h), and reads like std::optional<double>.

#include <cmath>
#include <limits>
#include <optional>

namespace sinkview {

class OptionalNumber {
public:
  constexpr OptionalNumber() = default;
  constexpr OptionalNumber(std::nullopt_t) {}
  constexpr OptionalNumber(double value) : value_(value) {}
  constexpr OptionalNumber(const std::optional<double>& value)
      : value_(value.value_or(std::numeric_limits<double>::quiet_NaN())) {}

  bool has_value() const { return !std::isnan(value_); }
  explicit operator bool() const { return has_value(); }
  // Like std::optional's, only for a number that is there.
  double operator*() const { return value_; }
  operator std::optional<double>() const { return has_value() ? std::optional(value_) : std::nullopt; }

private:
  double value_ = std::numeric_limits<double>::quiet_NaN();
};

} // namespace sinkview
