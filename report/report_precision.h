#pragma once

#include "report/report_inputs.h"
#include "report/report_pages.h"

namespace sinkview {

// The report's precision page: the repeat readings' agreement with the
// first, their Bland-Altman plot (a column of 85 mm per panel, as the
// figure file draws it) and each group's hips by migration pattern, in a
// section of its own. Nothing, so no page, without repeat readings and
// without a detection limit.
void DrawPrecisionPage(ReportPages& pages, const ReportInputs& inputs);

} // namespace sinkview
