#pragma once

// A guard before the TOML reader, which follows the parts of a dotted key
// and nested lists and tables by recursion: some thousands of levels, which
// fit in a small file, overflow its stack and end the program.

#include <optional>
#include <string_view>

namespace sinkview {

// More than a protocol can mean: its keys have one part, [[visit]] nests two.
inline constexpr int kMaxTomlDepth = 32;

// The first line that holds more than kMaxTomlDepth dots outside texts and
// comments, or on which lists and tables open more than kMaxTomlDepth deep;
// none when the text is shallow enough to be read.
std::optional<int> LineNestedTooDeep(std::string_view text);

} // namespace sinkview
