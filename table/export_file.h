#pragma once

#include <string>

#include "base/atomic_file.h"
#include "base/failure.h"
#include "model/prepared_series.h"

namespace sinkview {

// The export of the prepared series: a header of four lines, then one line
// per radiograph with the changes since the start of its segment, fields
// separated by ";", every line ended by CR LF. Texts keep the bytes they
// were read with, but for a ' before a cell a spreadsheet would run as a
// formula.
std::string ExportText(const PreparedSeries& p);

// Writes ExportText(p) to `path`, or to `name` in `folder`, through a
// temporary file in that folder, so the old file stays whole when anything
// fails; else a message naming the file and the reason.
[[nodiscard]] Expected<void, Failure> WriteExportFile(const PreparedSeries& p, const std::string& path,
                                                      FlushToDisk flush = FlushToDisk::Now);
[[nodiscard]] Expected<void, Failure> WriteExportFile(const PreparedSeries& p, const OutputFolder& folder,
                                                      const std::string& name, FlushToDisk flush);

} // namespace sinkview
