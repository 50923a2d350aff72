#include "report/study_graphics.h"

#include <QIODevice>
#include <QPainter>
#include <QPdfWriter>
#include <algorithm>
#include <optional>

#include "base/reader_text.h"
#include "figures/axes_figure.h"
#include "figures/figure.h"
#include "model/prepared_series.h"
#include "paths/program_paths.h"
#include "report/baseline_reading.h"
#include "report/gui_application.h"
#include "report/report_main_table.h"
#include "report/report_pages.h"
#include "report/report_precision.h"
#include "report/report_sections.h"
#include "report/survival_reading.h"
#include "ui/design_units.h"
#include "ui/rendered_file.h"

namespace sinkview {

namespace {

// One patient's page, from the series read for the rest of the study.
void DrawPatientPage(ReportPages& pages, const PatientSummary& patient, const std::string& programDirectory) {
  pages.NewPage();
  pages.Text(QString::fromStdString(patient.file), 10, true);
  if (!patient.prepared) return;
  const PreparedSeries& prepared = *patient.prepared;
  QPainter& painter = pages.painter();
  const QRectF area = pages.Take(pages.page().bottom() - pages.Top());
  if (!pages.Final()) return; // the figures move nothing: the first layout leaves them out
  // The graphics figure with its scales on the left, the table on the right,
  // each in its window's proportions on half the page; the table at its
  // design size scaled, the figure's texts at their size in points.
  const auto scaleFor = [](QRectF box, QSize design) {
    return std::min(box.width() / design.width(), box.height() / design.height());
  };
  const auto place = [&](QRectF box, QSize design, const auto& draw) {
    const double scale = scaleFor(box, design);
    painter.save();
    painter.translate(box.topLeft());
    painter.scale(scale, scale);
    draw(design);
    painter.restore();
  };
  const double half = area.width() / 2 - 5;
  const QRectF left(area.left(), area.top(), half, area.height());
  DrawGraphicsFigureWithAxes(
      painter, QRectF(left.topLeft(), QSizeF(GraphicsDesignSize()) * scaleFor(left, GraphicsDesignSize())),
      prepared, programDirectory);
  place(QRectF(area.left() + half + 10, area.top(), half, area.height()), TableDesignSize(),
        [&](QSize size) { DrawTableFigure(painter, size, prepared); });
}

// Table 1: the groups' patients, hips and covariates, as baseline.csv has them.
void DrawBaselineSection(ReportPages& pages, const StudyResult& result) {
  pages.Text("Baseline characteristics (Table 1)", 14, true);
  const BaselineReading reading = BaselineReadingOf(BaselineTable(result));
  DrawTable(pages, "Per group and in all; excluded hips only in their own row, a patient with two hips once",
            reading.headers, reading.rows);
}

// R's curves under the table, as wide as the paper's two columns or the
// page's height allows, on the next page when not one column fits.
void DrawSurvivalCurves(ReportPages& pages, const StudyResult& result, const SurvivalEstimates& survival) {
  pages.Gap(8);
  const double pixelsPerMm = PixelsPerMm(pages.painter().device());
  if (!pages.Fits(CohortFigureHeightMm(kOneColumnMm) * pixelsPerMm)) pages.NewPage();
  const double roomMm = (pages.page().bottom() - pages.Top()) / pixelsPerMm;
  const double widthMm =
      std::min({kTwoColumnsMm, pages.page().width() / pixelsPerMm,
                (roomMm - CohortFigureHeightMm(0)) / (CohortFigureHeightMm(1) - CohortFigureHeightMm(0))});
  const QRectF area = pages.Take(CohortFigureHeightMm(widthMm) * pixelsPerMm);
  if (auto drawn = DrawSurvivalFigure(pages.painter(),
                                      QRectF(area.topLeft(), QSizeF(widthMm * pixelsPerMm, area.height())),
                                      result, survival);
      !drawn)
    pages.Text(TableText("The survival figure cannot be drawn: " + drawn.error().message), 8);
}

// R's survival estimates, death competing, beside one minus Kaplan-Meier.
void DrawSurvivalSection(ReportPages& pages, const StudyResult& result, const SurvivalEstimates& survival) {
  pages.Text("Revision survival", 14, true);
  const auto reading = SurvivalReadingOf(survival);
  if (!reading) {
    pages.Text(TableText("The survival estimates cannot be shown: " + reading.error().message), 8);
    return;
  }
  for (const std::string& note : reading->notes) pages.Text(TableText(note), 8);
  DrawTable(pages, "Cumulative incidence by group and time", reading->headers, reading->rows);
  DrawSurvivalCurves(pages, result, survival);
}

// The report's pages, each section named for the contents.
void DrawReport(ReportPages& pages, const StudyResult& result, const StudyOptions& options,
                const ModelResults* model, const std::string& notFitted, const std::string& programDirectory,
                const SurvivalEstimates* survival, const Provenance* provenance) {
  pages.Section("Study and cohort figure");
  DrawFrontPage(pages, result, options, provenance);
  pages.Section("Baseline characteristics");
  DrawBaselineSection(pages, result);
  pages.Section("Main result");
  DrawMainResultPage(pages, result, model, notFitted);
  if (survival) {
    pages.Section("Revision survival");
    DrawSurvivalSection(pages, result, *survival);
  }
  pages.Section("Protocol");
  DrawProtocolTable(pages, result);
  pages.Section("Timing of the radiographs", false);
  DrawTimingTable(pages, result);
  pages.Section("Bands", false);
  DrawBandsTable(pages, result);
  pages.Section("Participant flow");
  DrawFlowDiagram(pages, result);
  pages.Section("Cohort statistics and patients' summaries");
  DrawStudyTables(pages, result);
  pages.Section("Precision of the measurements");
  DrawPrecisionPage(pages, result);
  pages.Section("Patients");
  for (const PatientSummary& patient : result.patients) {
    if (pages.Stopped()) return;
    DrawPatientPage(pages, patient, programDirectory);
  }
}

// Where the first layout goes: nowhere, so a study of thousands of pages
// is not held in memory twice.
class Discarded : public QIODevice {
protected:
  qint64 readData(char*, qint64) override { return -1; }
  qint64 writeData(const char*, qint64 size) override { return size; }
};

// An archive's PDF (PDF/A-1b) of A4 landscape pages, named for the study
// and the program that made it; the date is the writer's own.
void SetUpReport(QPdfWriter& pdf, const StudyResult& result) {
  pdf.setPdfVersion(QPagedPaintDevice::PdfVersion_A1b);
  pdf.setResolution(kDotsPerInch);
  pdf.setPageSize(QPageSize(QPageSize::A4));
  pdf.setPageOrientation(QPageLayout::Landscape);
  pdf.setPageMargins(QMarginsF(0, 0, 0, 0));
  pdf.setTitle(QString::fromStdString(result.protocol.title));
  pdf.setCreator(QStringLiteral("Sinkview " SINKVIEW_VERSION));
}

} // namespace

Expected<AtomicFile, Failure>
StudyReportInTemporary(const OutputFile& target, const StudyResult& result, const StudyOptions& options,
                       const ModelResults* model, const std::string& notFitted, const std::atomic<bool>* stop,
                       const SurvivalEstimates* survival, const Provenance* provenance) {
  EnsureGuiApplication();
  const std::string& path = target.Path();
  const std::string programDirectory = ResolveProgramPaths(RunningProgramDirectory(), "").ProgramDirectory;
  // Drawn whole into memory by the program's one writer for Qt's devices,
  // twice: the first layout, thrown away, finds the pages of the contents
  // and the footers' count for the second.
  const std::string cannotBeDrawn = "cannot be drawn", stopped = "stopped";
  const auto layOut = [&](QIODevice& out, const ReportOutline& laidOut) -> std::optional<ReportOutline> {
    QPdfWriter pdf(&out);
    SetUpReport(pdf, result);
    QPainter painter;
    if (!painter.begin(&pdf)) return std::nullopt;
    ReportPages pages(pdf, painter, laidOut, stop);
    DrawReport(pages, result, options, model, notFitted, programDirectory, survival, provenance);
    ReportOutline outline = pages.Finish();
    if (!painter.end() || pages.Stopped()) return std::nullopt;
    return outline;
  };
  const auto draw = [&](QIODevice& out) -> std::string {
    Discarded scratch;
    scratch.open(QIODevice::WriteOnly);
    const std::optional<ReportOutline> outline = layOut(scratch, {});
    if (outline && layOut(out, *outline)) return {};
    return stop && *stop ? stopped : cannotBeDrawn;
  };
  return RenderToTemporary(target, draw, [&](const std::string& reason) {
    if (reason == cannotBeDrawn) return Failure{ShownFileName(path) + ": the report cannot be drawn."};
    if (reason == stopped)
      return Failure{ShownFileName(path) + ": the report is not written, the run was stopped."};
    return Failure{ShownFileName(path) + ": the report is not written (" + reason +
                   "). An older file of that name is unchanged."};
  });
}

Expected<void, Failure> WriteStudyReport(const std::string& path, const StudyResult& result,
                                         const StudyOptions& options, const ModelResults* model) {
  auto report = StudyReportInTemporary(path, result, options, model);
  if (!report) return Unexpected(report.error());
  return report->Commit();
}

} // namespace sinkview
