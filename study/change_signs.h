#pragma once

// What a change's sign means, as dictionary.csv and the report say it: the
// data files give distances, not directions, so the sign is the difference's.

#include <string_view>

namespace sinkview {

inline constexpr std::string_view kSubsidenceSign =
    "change of the corrected subsidence since the first radiograph: the later minus the earlier corrected "
    "distance from the reference point (head center or stem shoulder, as set) to the trochanter (minor or "
    "major, as set), positive where that distance grew";
inline constexpr std::string_view kStemCementSign =
    "change at the stem/cement interface since the first radiograph: the later minus the earlier corrected "
    "stem/cement distance as the data file gives it, positive where it grew";

} // namespace sinkview
