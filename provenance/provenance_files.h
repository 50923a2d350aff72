#pragma once

// inputs.csv and software.csv added to a study's set.

#include <string>

#include "base/file_set.h"
#include "study/study.h"

namespace sinkview {

// `rSoftwareCsv` is r_software.csv as R wrote it; empty without a fit.
[[nodiscard]] Expected<void, Failure> AddProvenanceFiles(FileSet& set, const OutputFolder& folder,
                                                         const StudyResult& result,
                                                         const std::string& protocolFile,
                                                         std::string_view rSoftwareCsv);

} // namespace sinkview
