#pragma once

// How far a name is from another, for the messages that name the key or
// column a typo was probably meant to be.

#include <cstddef>
#include <string_view>

namespace sinkview {

// How many single-character edits (insert, remove, replace) turn one into
// the other.
std::size_t EditDistance(std::string_view a, std::string_view b);

} // namespace sinkview
