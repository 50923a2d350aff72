#include "tools/study/study_graphics.h"

// Until the drawing is built, both outputs say so.
namespace sinkview {

Expected<AtomicFile, Failure> CohortFigureInTemporary(const std::string& path, const StudyResult&, double) {
  return Unexpected(Failure{path + ": the cohort figure is not built yet"});
}

Expected<AtomicFile, Failure> ModelFigureInTemporary(const std::string& path, const StudyResult&,
                                                     const ModelResults*, double) {
  return Unexpected(Failure{path + ": the model-means figure is not built yet"});
}

Expected<AtomicFile, Failure> BlandAltmanFigureInTemporary(const std::string& path, const StudyResult&,
                                                           double) {
  return Unexpected(Failure{path + ": the Bland-Altman plot is not built yet"});
}

Expected<AtomicFile, Failure> StudyReportInTemporary(const std::string& path, const StudyResult&,
                                                     const StudyOptions&, const ModelResults*,
                                                     const std::atomic<bool>*) {
  return Unexpected(Failure{path + ": the study report is not built yet"});
}

} // namespace sinkview
