#include "writeup/say.h"

#include "writeup/phrasing.h"

namespace sinkview {

std::string Say(std::string_view pattern, std::initializer_list<std::string_view> values) {
  std::string out;
  for (std::size_t i = 0; i < pattern.size(); ++i) {
    const bool placeholder = pattern[i] == '{' && i + 2 < pattern.size() && pattern[i + 1] >= '1' &&
                             pattern[i + 1] <= '9' && pattern[i + 2] == '}';
    const auto k = placeholder ? static_cast<std::size_t>(pattern[i + 1] - '1') : values.size();
    if (k < values.size()) {
      out += values.begin()[k];
      i += 2;
    } else {
      out += pattern[i];
    }
  }
  return out;
}

std::string ListText(const std::vector<std::string>& items) {
  std::string out;
  for (std::size_t i = 0; i < items.size(); ++i) {
    if (i > 0) out += i + 1 == items.size() ? phrasing::kLastListSeparator : phrasing::kListSeparator;
    out += items[i];
  }
  return out;
}

} // namespace sinkview
