#pragma once

// The study's figures and report, drawn with Qt; sinkview-study calls them
// for --figure, --model-figure, --survival-figure, --bland-altman and --report.

#include <atomic>
#include <functional>
#include <string>

#include "base/atomic_file.h"
#include "graphics/bland_altman_plot.h"
#include "graphics/cohort_plot.h"
#include "graphics/model_means_plot.h"
#include "graphics/survival_plot.h"
#include "model/figure_files.h"
#include "provenance/provenance_files.h"
#include "rrunner/model_results.h"
#include "study/study.h"
#include "survival/survival_step.h"

class QPainter;
class QRectF;

namespace sinkview {

struct ModelResults;

// The cohort figure as PNG, TIFF, SVG or PDF, chosen by the extension of
// `path`, `widthMm` wide on paper at kPrintDotsPerInch (a TIFF at 600
// dpi): written, or whole in its temporary file for the caller to commit
// with the study's other files.
[[nodiscard]] Expected<void, Failure> WriteCohortFigure(const std::string& path, const StudyResult& result,
                                                        double widthMm = kTwoColumnsMm);
[[nodiscard]] Expected<AtomicFile, Failure>
CohortFigureInTemporary(const OutputFile& target, const StudyResult& result, double widthMm = kTwoColumnsMm);

// A figure for a paper, `widthMm` by `heightMm`, as PNG (at
// kPrintDotsPerInch), TIFF (at kTiffDotsPerInch), SVG or PDF by the extension of `path`, whole in its
// temporary file; `draw` draws it on a surface over the whole of it, of
// `pixelsPerMm`.
[[nodiscard]] Expected<AtomicFile, Failure>
PaperFigureInTemporary(const OutputFile& target, double widthMm, double heightMm,
                       const std::function<void(Surface& surface, double pixelsPerMm)>& draw);

// The model-means figure in the cohort figure's formats and sizes; with no
// model (R missing or failing) there is none, and the failure says so.
[[nodiscard]] Expected<AtomicFile, Failure> ModelFigureInTemporary(const OutputFile& target,
                                                                   const StudyResult& result,
                                                                   const ModelResults* model,
                                                                   double widthMm = kTwoColumnsMm);

// What the model-means figure shows: the model's means of the subsidence of
// all hips, each group in its cohort figure's look.
ModelMeansPlot ModelMeansPlotOf(const StudyResult& result, const ModelResults& model, double widthMm,
                                double pixelsPerMm);

// The model-means figure drawn into `area`, as wide on paper as `area` is on its device.
void DrawModelMeansFigure(QPainter& painter, const QRectF& area, const StudyResult& result,
                          const ModelResults& model);

// The frame of a figure of `result`'s study for a paper: its primary
// visit, what its months count from, `widthMm` by `heightMm` on a device of
// `pixelsPerMm`.
void FramePaperPlot(PaperPlot& plot, const StudyResult& result, double widthMm, double heightMm,
                    double pixelsPerMm);

// What the cohort figure shows of a study: each group's hips over their
// measured visits, the group's subsidence rows at the visits, and the
// threshold its hips are flagged by at the primary visit; drawn
// `widthMm` wide on a device of `pixelsPerMm`.
CohortPlot CohortPlotOf(const StudyResult& result, double widthMm, double pixelsPerMm);

// The cohort figure drawn into `area`, for the window and the report, as
// wide on paper as `area` is on its device.
void DrawCohortFigure(QPainter& painter, const QRectF& area, const StudyResult& result);

// The survival figure of R's curves in the cohort figure's formats, sizes
// and colours; without R's estimates there is none, and the failure says so.
[[nodiscard]] Expected<AtomicFile, Failure> SurvivalFigureInTemporary(const OutputFile& target,
                                                                      const StudyResult& result,
                                                                      const SurvivalEstimates* survival,
                                                                      double widthMm = kTwoColumnsMm);

// R's curves of `survival` drawn into `area` for the report, as wide on
// paper as `area` is on its device; else why they cannot be.
[[nodiscard]] Expected<void, Failure> DrawSurvivalFigure(QPainter& painter, const QRectF& area,
                                                         const StudyResult& result,
                                                         const SurvivalEstimates& survival);

// The Bland-Altman plot of the repeat readings as PNG (kPrintDotsPerInch),
// TIFF (600 dpi), SVG or PDF, whole in its temporary file: one panel per
// series with two pairs or more, `widthMm` wide (one column, or two side by
// side).
[[nodiscard]] Expected<AtomicFile, Failure> BlandAltmanFigureInTemporary(const OutputFile& target,
                                                                         const StudyResult& result,
                                                                         double widthMm = kOneColumnMm);
std::vector<BlandAltmanPanel> BlandAltmanPanelsOf(const StudyResult& result);

// The panels in `columns` columns over `area`, each as wide on paper as its
// cell is on the painter's device: for the files, the window and the report.
void DrawBlandAltmanFigure(QPainter& painter, const QRectF& area, const std::vector<BlandAltmanPanel>& panels,
                           int columns);

// The study report, a PDF/A-1b, written or whole in its temporary file. A
// patient's page shows the series the study read (run with
// StudyOptions::keepPrepared); without it, only the file's name. `model` is
// R's fit of the study, or nullptr when there is none, and `notFitted` then
// why, in one line (empty when no fit was asked for). `stop`, once set,
// ends the drawing within a page or a table row, and the report is not
// written. `provenance`, where given, puts the data's fingerprint and the
// software's versions on the front page.
[[nodiscard]] Expected<void, Failure> WriteStudyReport(const std::string& path, const StudyResult& result,
                                                       const StudyOptions& options,
                                                       const ModelResults* model = nullptr);
[[nodiscard]] Expected<AtomicFile, Failure>
StudyReportInTemporary(const OutputFile& target, const StudyResult& result, const StudyOptions& options,
                       const ModelResults* model = nullptr, const std::string& notFitted = {},
                       const std::atomic<bool>* stop = nullptr, const SurvivalEstimates* survival = nullptr,
                       const Provenance* provenance = nullptr);

} // namespace sinkview
