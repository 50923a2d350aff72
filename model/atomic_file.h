#pragma once

#include <string>
#include <string_view>

namespace sinkview {

// Writes `text` to `path` through a temporary file in the same folder that
// is renamed into place, so a failure never leaves a half-written or emptied
// file. A replaced file keeps its permissions. Returns "" on success, else a
// message naming the file and the reason.
std::string WriteFileAtomically(const std::string& path, std::string_view text);

} // namespace sinkview
