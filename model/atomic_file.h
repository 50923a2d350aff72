#pragma once

#include <cstddef>
#include <string>
#include <string_view>

namespace sinkview {

// Whether a written file reaches the disk before the call returns, or with
// the caller's later sync (a batch of thousands syncs once at its end).
enum class FlushToDisk { Now, Later };

// Writes `text` to `path` through a temporary file in the same folder that
// is renamed into place, so a failure never leaves a half-written or emptied
// file. A new file gets the permissions a plain write would give, a replaced
// one keeps its own; a file the user may not write is not replaced. Returns
// "" on success, else a message naming the file and the reason.
std::string WriteFileAtomically(const std::string& path, std::string_view text,
                                FlushToDisk flush = FlushToDisk::Now);

} // namespace sinkview

namespace sinkview {

// The temporary file's name for `fileName`: hidden and plainly temporary,
// ".NAME.UNIQUE.tmp", with NAME shortened so that the whole fits `nameLimit`.
std::string TemporaryName(std::string_view fileName, std::size_t nameLimit, std::string_view unique);

} // namespace sinkview
