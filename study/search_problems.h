#pragma once

#include <vector>

#include "model/data_files.h"
#include "study/study.h"

namespace sinkview {

// What the study makes of a folder or path that gave no data file: a row of
// rejected.csv. Pseudonymised, the path is not named: a folder may bear a
// patient's name, as a data file may.
void RejectSearchProblems(const std::vector<SearchProblem>& problems, bool pseudonymise,
                          std::vector<RejectedFile>& rejected);

} // namespace sinkview
