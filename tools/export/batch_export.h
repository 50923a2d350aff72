#pragma once

// The export of a whole study: every data file that the paths name, read,
// prepared and written as the table window writes its export, on every core.

#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "model/settings.h"

namespace sinkview {

// Says what became of a file that gives no export; called from the workers
// in the order of the files, never two calls at once.
using Report = std::function<void(const std::string& message)>;

struct ExportTally {
  int written = 0;
  int rejected = 0;
  int unwritten = 0;  // read and prepared, but the export could not be written
  int skipped = 0;    // folder entries with a data file's name that are no regular file
  int notFlushed = 0; // output folders whose file system could not be flushed
};

// Writes the exports beside the data files or into `outputDir`, reporting
// each file that gives none, and flushes them to disk.
ExportTally ExportStudy(const std::vector<std::string>& paths, bool recursive, const Settings& settings,
                        const std::optional<std::string>& outputDir, const Report& report);

// "N files written, N files rejected" and what else befell the files.
std::string SummaryLine(const ExportTally& tally);

} // namespace sinkview
