#include "tools/study/study_graphics.h"

// Until the drawing is built, both outputs say so.
namespace sinkview {

MaybeFailure WriteCohortFigure(const std::string& path, const StudyResult&) {
  return Failure{path + ": the cohort figure is not built yet"};
}

MaybeFailure WriteStudyReport(const std::string& path, const StudyResult&, const StudyOptions&) {
  return Failure{path + ": the study report is not built yet"};
}

} // namespace sinkview
