#pragma once

// What the study's write-up is made from: the run's own values, those its
// CSV files and the report's tables are made from.

#include <string>

#include "provenance/provenance_files.h"
#include "rrunner/model_results.h"
#include "study/study.h"
#include "survival/survival_step.h"

namespace sinkview {

struct WriteupInputs {
  const StudyResult& result;
  const ModelResults* model;         // null when R fitted none
  const std::string& notFitted;      // why not, in one line
  const SurvivalEstimates* survival; // null when R made none
  const Provenance* provenance;      // null when software.csv and inputs.csv were not written
};

// The model's fit of the primary series over all hips; null without one.
const ModelFit* PrimaryFit(const ModelResults* model);

} // namespace sinkview
