#pragma once

// The report's page of the trial's main result, right after the front page.

#include "report/report_pages.h"
#include "rrunner/model_results.h"
#include "study/study.h"

namespace sinkview {

// The main table (all hips), the complete-case sensitivity analysis below
// it, and the model-means figure; `model` is null when R fitted none.
void DrawMainResultPage(ReportPages& pages, const StudyResult& result, const ModelResults* model,
                        const std::string& notFitted);

} // namespace sinkview
