#include "report/study_graphics.h"

// Until the drawing is built, both outputs say so.
namespace sinkview {

Expected<AtomicFile, Failure> CohortFigureInTemporary(const OutputFile& target, const StudyResult&, double) {
  return Unexpected(Failure{target.Path() + ": the cohort figure is not built yet"});
}

Expected<AtomicFile, Failure> ModelFigureInTemporary(const OutputFile& target, const StudyResult&,
                                                     const ModelResults*, double) {
  return Unexpected(Failure{target.Path() + ": the model-means figure is not built yet"});
}

Expected<AtomicFile, Failure> SurvivalFigureInTemporary(const OutputFile& target, const StudyResult&,
                                                        const SurvivalEstimates*, double) {
  return Unexpected(Failure{target.Path() + ": the survival figure is not built yet"});
}

Expected<AtomicFile, Failure> BlandAltmanFigureInTemporary(const OutputFile& target, const StudyResult&,
                                                           double) {
  return Unexpected(Failure{target.Path() + ": the Bland-Altman plot is not built yet"});
}

Expected<AtomicFile, Failure> StudyReportInTemporary(const OutputFile& target, const StudyResult&,
                                                     const StudyOptions&, const ModelResults*,
                                                     const std::string&, const std::atomic<bool>*,
                                                     const SurvivalEstimates*, const Provenance*) {
  return Unexpected(Failure{target.Path() + ": the study report is not built yet"});
}

} // namespace sinkview
