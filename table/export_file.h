#pragma once

#include <string>

#include "model/atomic_file.h"
#include "model/failure.h"
#include "model/prepared_series.h"

namespace sinkview {

// The export of the prepared series: a header of four lines, then one line
// per radiograph with the changes since the start of its segment, fields
// separated by ";", every line ended by CR LF. Texts keep the bytes they
// were read with.
std::string ExportText(const PreparedSeries& p);

// Writes ExportText(p) to `path` through a temporary file in the same
// folder, so the old file stays whole when anything fails; else a message
// naming the file and the reason.
[[nodiscard]] MaybeFailure WriteExportFile(const PreparedSeries& p, const std::string& path,
                                           FlushToDisk flush = FlushToDisk::Now);

} // namespace sinkview
