#pragma once

// The study's cohort figure and report, drawn with Qt; sinkview-study calls
// them for --figure and --report.

#include <string>

#include "model/failure.h"
#include "study/study.h"

namespace sinkview {

// The cohort figure as PNG, SVG or PDF, chosen by the extension of `path`.
[[nodiscard]] MaybeFailure WriteCohortFigure(const std::string& path, const StudyResult& result,
                                             const StudyOptions& options);

// The PDF study report.
[[nodiscard]] MaybeFailure WriteStudyReport(const std::string& path, const StudyResult& result,
                                            const StudyOptions& options);

} // namespace sinkview
