#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "model/expected.h"
#include "model/failure.h"

namespace sinkview {

// A file a command line writes, and the option that names it.
struct NamedOutput {
  std::string_view option;
  std::string path;
};

// Refuses one file named as two outputs, which would silently hold only the
// second: paths are compared absolute and normal, and as one file where
// both exist. Outputs with an empty path are not asked for.
[[nodiscard]] Expected<void, Failure> DistinctOutputs(const std::vector<NamedOutput>& outputs);

} // namespace sinkview
