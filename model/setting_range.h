#pragma once

#include <string>

namespace sinkview {

// The values a user may give the time limit and the zoom, in the main window
// as on the command line. Above 0: a time limit of 0 leaves no two
// radiographs comparable, and a zoom of 0 no room around the curves.
struct SettingRange {
  double above, atMost;
  constexpr bool Holds(double value) const { return value > above && value <= atMost; }
};

inline constexpr SettingRange kTimeLimitMonthsRange{0, 1e6};
inline constexpr SettingRange kZoomMillimetresRange{0, 1e6};

// "above 0 and at most 1000000", for messages.
std::string RangeText(SettingRange range);

} // namespace sinkview
