#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "base/expected.h"
#include "base/failure.h"

namespace sinkview {

// A file a command line writes, and the option that names it.
struct NamedOutput {
  std::string_view option;
  std::string path;
};

// Refuses one file named as two outputs, which would silently hold only the
// second: one name in one folder, the folders compared as the system finds
// them. Links at the names are not followed: each is replaced by its own
// file. Outputs with an empty path are not asked for.
[[nodiscard]] Expected<void, Failure> DistinctOutputs(const std::vector<NamedOutput>& outputs);

} // namespace sinkview
