#pragma once

// The report's page of the trial's main result, right after the front page.

#include "report/report_inputs.h"
#include "report/report_pages.h"

namespace sinkview {

// The main table (all hips), the complete-case sensitivity analysis below
// it, and the model-means figure; `model` is null when R fitted none.
void DrawMainResultPage(ReportPages& pages, const ReportInputs& inputs);

} // namespace sinkview
