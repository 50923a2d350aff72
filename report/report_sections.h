#pragma once

// The study report's pages before the patients': the front page with the
// cohort figure, the protocol, the timing, the bands, the flow and the
// study's tables.

#include "report/report_inputs.h"
#include "report/report_pages.h"

namespace sinkview {

// The study, its settings and counts, the cohort figure and the contents;
// the data's fingerprint and the software where the provenance is given.
void DrawFrontPage(ReportPages& pages, const ReportInputs& inputs);
void DrawProtocolTable(ReportPages& pages, const ReportInputs& inputs);
void DrawTimingTable(ReportPages& pages, const ReportInputs& inputs);
void DrawBandsTable(ReportPages& pages, const ReportInputs& inputs);
// The participant flow: a chain of boxes per group, from the hips enrolled
// down through every visit.
void DrawFlowDiagram(ReportPages& pages, const ReportInputs& inputs);
// The cohort statistics, the patients and the rejected files.
void DrawStudyTables(ReportPages& pages, const ReportInputs& inputs);

} // namespace sinkview
