#pragma once

#include <string>

namespace sinkview {

// What the sign of a change means, in one sentence: dictionary.csv's
// statement, the one place the write-up and the report take it from.
std::string SignConventionText();

} // namespace sinkview
