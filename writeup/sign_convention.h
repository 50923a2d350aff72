#pragma once

#include <string>

namespace sinkview {

// What the sign of a change means on the radiograph, in one sentence. The
// one place the write-up takes it from: when dictionary.csv states the
// convention, this returns its statement.
std::string SignConventionText();

} // namespace sinkview
