#pragma once

#include <string>
#include <string_view>

namespace sinkview {

// Whether a written file reaches the disk before the call returns, or with
// the caller's later sync (a batch of thousands syncs once at its end).
enum class FlushToDisk { Now, Later };

// Writes `text` to `path` through a temporary file in the same folder that
// is renamed into place, so a failure never leaves a half-written or emptied
// file. A replaced file keeps its permissions. Returns "" on success, else a
// message naming the file and the reason.
std::string WriteFileAtomically(const std::string& path, std::string_view text,
                                FlushToDisk flush = FlushToDisk::Now);

} // namespace sinkview
