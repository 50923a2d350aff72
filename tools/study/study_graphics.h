#pragma once

// The study's cohort figure and report, drawn with Qt; sinkview-study calls
// them for --figure and --report.

#include <string>

#include "graphics/bland_altman_plot.h"
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

// The Bland-Altman plot of the repeat readings as PNG (300 dpi), SVG or
// PDF, whole in its temporary file: one panel per series with two pairs or
// more, 85 mm wide.
[[nodiscard]] Expected<AtomicFile, Failure> BlandAltmanFigureInTemporary(const std::string& path,
                                                                         const StudyResult& result);
std::vector<BlandAltmanPanel> BlandAltmanPanelsOf(const StudyResult& result);

// The PDF study report, written or whole in its temporary file.
[[nodiscard]] Expected<void, Failure> WriteStudyReport(const std::string& path, const StudyResult& result,
                                                       const StudyOptions& options);
[[nodiscard]] Expected<AtomicFile, Failure>
StudyReportInTemporary(const std::string& path, const StudyResult& result, const StudyOptions& options);

} // namespace sinkview
