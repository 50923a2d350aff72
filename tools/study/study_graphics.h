#pragma once

// The study's cohort figure and report, drawn with Qt; sinkview-study calls
// them for --figure and --report.

#include <string>

#include "graphics/cohort_plot.h"
#include "model/atomic_file.h"
#include "study/study.h"

class QPainter;
class QRectF;

namespace sinkview {

// The cohort figure as PNG, SVG or PDF, chosen by the extension of `path`:
// written, or whole in its temporary file for the caller to commit with
// the study's other files.
[[nodiscard]] Expected<void, Failure> WriteCohortFigure(const std::string& path, const StudyResult& result);
[[nodiscard]] Expected<AtomicFile, Failure> CohortFigureInTemporary(const std::string& path,
                                                                    const StudyResult& result);

// What the cohort figure shows of a study: the courses of its patients and
// the subsidence rows of its statistics that some patient reaches, and the
// threshold its patients are flagged by.
CohortPlot CohortPlotOf(const StudyResult& result);

// The cohort figure drawn into `area`, for the window and the report.
void DrawCohortFigure(QPainter& painter, const QRectF& area, const StudyResult& result);

// The PDF study report, written or whole in its temporary file. A patient's
// page shows the series the study read (run with StudyOptions::keepPrepared);
// without it, only the file's name.
[[nodiscard]] Expected<void, Failure> WriteStudyReport(const std::string& path, const StudyResult& result,
                                                       const StudyOptions& options);
[[nodiscard]] Expected<AtomicFile, Failure>
StudyReportInTemporary(const std::string& path, const StudyResult& result, const StudyOptions& options);

} // namespace sinkview
