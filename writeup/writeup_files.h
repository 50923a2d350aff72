#pragma once

// methods.md, results.md and reporting.csv added to a study's set.

#include "base/file_set.h"
#include "writeup/writeup_inputs.h"

namespace sinkview {

[[nodiscard]] Expected<void, Failure> AddWriteupFiles(FileSet& set, const OutputFolder& folder,
                                                      const WriteupInputs& inputs);

} // namespace sinkview
