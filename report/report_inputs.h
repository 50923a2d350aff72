#pragma once

// What every section of the study report is drawn from, and the one
// signature a section has.

#include <string>

#include "provenance/provenance_files.h"
#include "rrunner/model_results.h"
#include "study/study.h"
#include "survival/survival_step.h"

namespace sinkview {

class ReportPages;

struct ReportInputs {
  const StudyResult& result;
  const StudyOptions& options;
  const ModelResults* model;    // null when R fitted none
  const std::string& notFitted; // why not, in one line
  const std::string& programDirectory;
  const SurvivalEstimates* survival; // null when R made none
  const Provenance* provenance;      // null when not written
};

using DrawReportSection = void (*)(ReportPages& pages, const ReportInputs& inputs);

} // namespace sinkview
