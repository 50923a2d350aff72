#include <QPainter>

#include "figures/axes_figure.h"
#include "figures/figure.h"
#include "model/prepared_series.h"
#include "report/report_inputs.h"
#include "report/report_pages.h"

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

} // namespace

// A page per patient, the graphics figure beside the table.
void DrawPatientPages(ReportPages& pages, const ReportInputs& inputs) {
  for (const PatientSummary& patient : inputs.result.patients) {
    if (pages.Stopped()) return;
    DrawPatientPage(pages, patient, inputs.programDirectory);
  }
}

} // namespace sinkview
