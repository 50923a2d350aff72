#include <QPainter>
#include <algorithm>

#include "graphics/cohort_plot.h"
#include "model/figure_files.h"
#include "report/gui_application.h"
#include "report/report_inputs.h"
#include "report/report_pages.h"
#include "report/study_graphics.h"
#include "report/survival_reading.h"

namespace sinkview {

namespace {

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

} // namespace

// R's survival estimates, death competing, beside one minus Kaplan-Meier;
// nothing, so no section, where R made none.
void DrawSurvivalSection(ReportPages& pages, const ReportInputs& inputs) {
  if (!inputs.survival) return;
  pages.Text("Revision survival", 14, true);
  const auto reading = SurvivalReadingOf(*inputs.survival);
  if (!reading) {
    pages.Text(TableText("The survival estimates cannot be shown: " + reading.error().message), 8);
    return;
  }
  for (const std::string& note : reading->notes) pages.Text(TableText(note), 8);
  DrawTable(pages, "Cumulative incidence by group and time", reading->headers, reading->rows);
  DrawSurvivalCurves(pages, inputs.result, *inputs.survival);
}

} // namespace sinkview
