#pragma once

// The study's model fitted before its files are written, so that model.csv
// and model_fit.csv join the study's set and the report and the workbook
// can show them: analysis.R runs on a copy of the study's tables in a
// private scratch folder, removed afterwards.

#include <atomic>
#include <string>

#include "rrunner/model_step.h"
#include "rrunner/scratch_folder.h"
#include "study/study.h"

namespace sinkview {

// The results, and the model's files byte for byte as R wrote them, for
// the study's set.
struct FittedModel {
  ModelResults results;
  std::string modelCsv, modelFitCsv, modelTestsCsv, rSoftwareCsv;
};

// Fits the model of `result` in a folder of its own under the temporary
// folder (readable by the user alone, named for this process), which is
// removed whatever happens short of the process being killed.
// `cancel`, when set, stops R; the failure then says "cancelled".
Expected<FittedModel, ModelNotFitted>
FitModelInScratch(const StudyResult& result, const std::atomic<bool>* cancel, ModelRunOptions options = {});

} // namespace sinkview
