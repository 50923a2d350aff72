#include <QPainter>
#include <algorithm>

#include "base/reader_text.h"
#include "report/gui_application.h"
#include "report/main_table.h"
#include "report/study_graphics.h"
#include "ui/design_units.h"
#include "ui/painter_surface.h"

namespace sinkview {

ModelMeansPlot ModelMeansPlotOf(const StudyResult& result, const ModelResults& model, double widthMm,
                                double pixelsPerMm) {
  ModelMeansPlot plot;
  FramePaperPlot(plot, result, widthMm, ModelMeansFigureHeightMm(widthMm), pixelsPerMm);
  // The study's groups in its order, so each has its cohort figure's look.
  for (const std::string& name : result.groups) plot.groups.push_back({name, {}});
  for (const ModelEstimate& e : model.estimates) {
    if (e.analysis != kAllHips || e.series != SeriesName(CohortSeries::Subsidence) || e.kind != "mean" ||
        !e.targetMonths)
      continue;
    const auto group = std::find_if(plot.groups.begin(), plot.groups.end(),
                                    [&](const ModelMeansGroup& g) { return g.name == e.group; });
    if (group != plot.groups.end())
      group->means.push_back({*e.targetMonths, e.estimateMm, e.ci95LowMm, e.ci95HighMm});
  }
  for (ModelMeansGroup& group : plot.groups)
    std::stable_sort(group.means.begin(), group.means.end(),
                     [](const MeanMark& a, const MeanMark& b) { return a.months < b.months; });
  return plot;
}

void DrawModelMeansFigure(QPainter& painter, const QRectF& area, const StudyResult& result,
                          const ModelResults& model) {
  painter.save();
  PainterSurface surface(painter, area, Qt::white, Qt::black, DesignFont());
  const double pixelsPerMm = PixelsPerMm(painter.device());
  ModelMeansPlot plot = ModelMeansPlotOf(result, model, area.width() / pixelsPerMm, pixelsPerMm);
  plot.heightMm = area.height() / pixelsPerMm;
  DrawModelMeansPlot(plot, surface);
  painter.restore();
}

Expected<AtomicFile, Failure> ModelFigureInTemporary(const OutputFile& target, const StudyResult& result,
                                                     const ModelResults* model, double widthMm) {
  if (!model)
    return Unexpected(
        Failure{ShownFileName(target.Path()) + ": no model-means figure, since the model was not fitted."});
  return PaperFigureInTemporary(
      target, widthMm, ModelMeansFigureHeightMm(widthMm), [&](Surface& surface, double pixelsPerMm) {
        DrawModelMeansPlot(ModelMeansPlotOf(result, *model, widthMm, pixelsPerMm), surface);
      });
}

} // namespace sinkview
