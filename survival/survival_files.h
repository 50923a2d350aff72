#pragma once

// The survival files of a study's output folder: survival_hips.csv and
// survival_rejected.csv, written natively; survival.R beside them; and
// R's survival.csv, survival_tests.csv and survival_steps.csv where it made them.

#include <string>
#include <vector>

#include "base/file_set.h"
#include "study/study.h"
#include "survival/survival_step.h"

namespace sinkview {

// Adds the files to `set`, each whole in its temporary file in `folder`;
// `estimates` null when R made none.
[[nodiscard]] Expected<void, Failure> AddSurvivalFiles(FileSet& set, const StudyResult& result,
                                                       const SurvivalEstimates* estimates,
                                                       const OutputFolder& folder);

} // namespace sinkview
