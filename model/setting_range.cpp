#include "model/setting_range.h"

#include "base/numtext.h"

namespace sinkview {

std::string RangeText(SettingRange range) {
  return "above " + LabelText(range.above) + " and at most " + LabelText(range.atMost);
}

} // namespace sinkview
