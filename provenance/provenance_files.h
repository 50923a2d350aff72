#pragma once

// inputs.csv and software.csv added to a study's set.

#include <string>
#include <utility>
#include <vector>

#include "base/file_set.h"
#include "study/study.h"

namespace sinkview {

// What a reader is told of where the numbers came from: the data's
// fingerprint and the software with its versions.
struct Provenance {
  std::string inputsSha256; // of inputs.csv as written
  std::vector<std::pair<std::string, std::string>> software;
};

// `rSoftwareCsv` is r_software.csv as R wrote it, empty without a fit;
// `survivalSoftwareCsv` survival_software.csv, empty without the estimates.
[[nodiscard]] Expected<Provenance, Failure> AddProvenanceFiles(FileSet& set, const OutputFolder& folder,
                                                               const StudyResult& result,
                                                               const std::string& protocolFile,
                                                               std::string_view rSoftwareCsv,
                                                               std::string_view survivalSoftwareCsv);

} // namespace sinkview
