#include "report/study_graphics.h"

#include <QIODevice>
#include <QPainter>
#include <QPdfWriter>
#include <optional>

#include "base/reader_text.h"
#include "paths/program_paths.h"
#include "report/gui_application.h"
#include "report/report_inputs.h"
#include "report/report_pages.h"
#include "ui/design_units.h"
#include "ui/rendered_file.h"

namespace sinkview {

#define SINKVIEW_REPORT_SECTION(name, newPage, draw)                                                         \
  void draw(ReportPages& pages, const ReportInputs& inputs);
#include "report/report_section_list.h"
#undef SINKVIEW_REPORT_SECTION

namespace {

// The report's pages, each section named for the contents.
void DrawReport(ReportPages& pages, const ReportInputs& inputs) {
#define SINKVIEW_REPORT_SECTION(name, newPage, draw)                                                         \
  if (pages.Stopped()) return;                                                                               \
  pages.Section(name, newPage);                                                                              \
  draw(pages, inputs);
#include "report/report_section_list.h"
#undef SINKVIEW_REPORT_SECTION
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
    DrawReport(pages, {result, options, model, notFitted, programDirectory, survival, provenance});
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
