#pragma once

// The study report's pages before the patients': the front page with the
// cohort figure, the protocol, the timing, the bands, the flow and the
// study's tables.

#include "provenance/provenance_files.h"
#include "report/report_pages.h"
#include "study/study.h"

namespace sinkview {

// The study, its settings and counts, the cohort figure and the contents.
// `provenance`, where given, adds the data's fingerprint and the software.
void DrawFrontPage(ReportPages& pages, const StudyResult& result, const StudyOptions& options,
                   const Provenance* provenance);
void DrawProtocolTable(ReportPages& pages, const StudyResult& result);
void DrawTimingTable(ReportPages& pages, const StudyResult& result);
void DrawBandsTable(ReportPages& pages, const StudyResult& result);
// The participant flow: a chain of boxes per group, from the hips enrolled
// down through every visit.
void DrawFlowDiagram(ReportPages& pages, const StudyResult& result);
// The cohort statistics, the patients and the rejected files.
void DrawStudyTables(ReportPages& pages, const StudyResult& result);

} // namespace sinkview
