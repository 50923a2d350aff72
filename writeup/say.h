#pragma once

// A template of writeup/phrasing.h filled in, and lists in words.

#include <initializer_list>
#include <string>
#include <string_view>
#include <vector>

namespace sinkview {

// `pattern` with each {k} replaced by the k-th of `values` (from 1); a
// placeholder without its value stays as it is, so that a template and its
// call that disagree show in the text.
std::string Say(std::string_view pattern, std::initializer_list<std::string_view> values = {});

// "a", "a and b", "a, b and c".
std::string ListText(const std::vector<std::string>& items);

} // namespace sinkview
