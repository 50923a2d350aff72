#include <QPainter>

#include "base/reader_text.h"
#include "report/gui_application.h"
#include "report/study_graphics.h"
#include "report/survival_curves.h"
#include "ui/design_units.h"
#include "ui/painter_surface.h"

namespace sinkview {

namespace {

Expected<SurvivalPlot, Failure> SurvivalPlotOf(const StudyResult& result, const SurvivalEstimates& survival,
                                               double widthMm, double pixelsPerMm) {
  // The groups in the study's order, so each has its cohort figure's colour.
  auto curves = SurvivalCurvesOf(survival.stepsCsv, result.groups);
  if (!curves) return Unexpected(curves.error());
  SurvivalPlot plot;
  plot.widthMm = widthMm;
  plot.heightMm = CohortFigureHeightMm(widthMm);
  plot.pixelsPerMm = pixelsPerMm;
  plot.groups = std::move(*curves);
  return plot;
}

} // namespace

Expected<void, Failure> DrawSurvivalFigure(QPainter& painter, const QRectF& area, const StudyResult& result,
                                           const SurvivalEstimates& survival) {
  const double pixelsPerMm = PixelsPerMm(painter.device());
  auto plot = SurvivalPlotOf(result, survival, area.width() / pixelsPerMm, pixelsPerMm);
  if (!plot) return Unexpected(plot.error());
  plot->heightMm = area.height() / pixelsPerMm;
  painter.save();
  PainterSurface surface(painter, area, Qt::white, Qt::black, DesignFont());
  DrawSurvivalPlot(*plot, surface);
  painter.restore();
  return {};
}

Expected<AtomicFile, Failure> SurvivalFigureInTemporary(const OutputFile& target, const StudyResult& result,
                                                        const SurvivalEstimates* survival, double widthMm) {
  if (!survival)
    return Unexpected(
        Failure{ShownFileName(target.Path()) + ": no survival figure, since R made no survival estimates."});
  // Read once before drawing: a file R wrote wrong is refused, not drawn empty.
  const auto plot = SurvivalPlotOf(result, *survival, widthMm, 1);
  if (!plot) return Unexpected(plot.error());
  return PaperFigureInTemporary(target, widthMm, CohortFigureHeightMm(widthMm),
                                [&](Surface& surface, double pixelsPerMm) {
                                  SurvivalPlot drawn = *plot;
                                  drawn.pixelsPerMm = pixelsPerMm;
                                  DrawSurvivalPlot(drawn, surface);
                                });
}

} // namespace sinkview
