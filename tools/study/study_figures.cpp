#include "tools/study/study_graphics.h"

#include <QFileInfo>
#include <QPainter>
#include <cmath>

#include "figures/figure.h"
#include "model/figure_files.h"
#include "model/reader_text.h"
#include "tools/study/gui_application.h"
#include "ui/design_units.h"
#include "ui/painter_surface.h"

namespace sinkview {

CohortPlot CohortPlotOf(const StudyResult& result, double widthMm, double pixelsPerMm) {
  CohortPlot plot;
  plot.thresholdMm = result.thresholdMm;
  plot.widthMm = widthMm;
  plot.heightMm = CohortFigureHeightMm(widthMm);
  plot.pixelsPerMm = pixelsPerMm;
  if (const Visit* primary = PrimaryVisitOf(result.protocol)) {
    plot.primaryMonths = primary->months;
    plot.primaryVisit = primary->name;
  }
  for (const std::string& name : result.groups) plot.groups.push_back({name, 0, {}});
  const auto groupIndex = [&](const std::string& name) {
    return static_cast<int>(std::find(result.groups.begin(), result.groups.end(), name) -
                            result.groups.begin());
  };
  for (const PatientSummary& hip : result.patients) {
    const int group = groupIndex(hip.group);
    if (hip.events.excluded || group >= static_cast<int>(plot.groups.size())) continue;
    ++plot.groups[static_cast<std::size_t>(group)].hips;
    // The hip on the study clock: its measured visits, baseline first.
    CohortCourse course;
    course.group = group;
    for (const VisitValue& value : hip.visits) {
      if (value.status != VisitStatus::Measured || !value.days || !value.subsidence) continue;
      course.months.push_back(*value.days / kDaysPerMonth);
      course.changeMm.push_back(*value.subsidence);
    }
    plot.courses.push_back(std::move(course));
  }
  for (const CohortRow& row : result.cohort) {
    const int group = groupIndex(row.group);
    if (row.series != CohortSeries::Subsidence || group >= static_cast<int>(plot.groups.size())) continue;
    plot.groups[static_cast<std::size_t>(group)].means.push_back(
        {row.followUpMonths, row.n, row.mean, row.ci95Low, row.ci95High});
  }
  return plot;
}

void DrawCohortFigure(QPainter& painter, const QRectF& area, const StudyResult& result) {
  painter.save();
  PainterSurface surface(painter, area, Qt::white, Qt::black, DesignFont());
  const double pixelsPerMm = PixelsPerMm(painter.device());
  CohortPlot plot = CohortPlotOf(result, area.width() / pixelsPerMm, pixelsPerMm);
  plot.heightMm = area.height() / pixelsPerMm;
  DrawCohortPlot(plot, surface);
  painter.restore();
}

Expected<AtomicFile, Failure>
PaperFigureInTemporary(const std::string& path, double widthMm, double heightMm,
                       const std::function<void(Surface& surface, double pixelsPerMm)>& draw) {
  EnsureGuiApplication();
  // A TIFF is laid out at its own resolution: its lines and texts fall on its pixels.
  const int dotsPerInch = FigureFormatOf(path) == FigureFormat::Tiff ? kTiffDotsPerInch : kFigureDotsPerInch;
  const double pixelsPerMm = dotsPerInch / 25.4;
  const QSize size(static_cast<int>(std::lround(widthMm * pixelsPerMm)),
                   static_cast<int>(std::lround(heightMm * pixelsPerMm)));
  return DrawingInTemporary(
      path, size,
      [&](QPainter& painter) {
        PainterSurface surface(painter, QRectF(QPointF(0, 0), size), Qt::white, Qt::black, DesignFont());
        draw(surface, pixelsPerMm);
      },
      dotsPerInch);
}

Expected<AtomicFile, Failure> CohortFigureInTemporary(const std::string& path, const StudyResult& result,
                                                      double widthMm) {
  return PaperFigureInTemporary(path, widthMm, CohortFigureHeightMm(widthMm),
                                [&](Surface& surface, double pixelsPerMm) {
                                  DrawCohortPlot(CohortPlotOf(result, widthMm, pixelsPerMm), surface);
                                });
}

std::vector<BlandAltmanPanel> BlandAltmanPanelsOf(const StudyResult& result) {
  std::vector<BlandAltmanPanel> panels;
  if (!result.repeat) return panels;
  for (const AgreementRow& row : result.repeat->rows) {
    if (!row.bias || !row.limits) continue;
    BlandAltmanPanel panel;
    panel.title = row.series == CohortSeries::Subsidence ? "Subsidence" : "Stem/cement interface";
    for (const ReadingPair& pair : result.repeat->pairs) {
      if (pair.series != row.series) continue;
      panel.meansMm.push_back((pair.first + pair.second) / 2);
      panel.differencesMm.push_back(pair.first - pair.second);
    }
    panel.biasMm = *row.bias;
    panel.lowMm = (*row.limits)[0];
    panel.highMm = (*row.limits)[1];
    panels.push_back(std::move(panel));
  }
  return panels;
}

Expected<AtomicFile, Failure> BlandAltmanFigureInTemporary(const std::string& path,
                                                           const StudyResult& result) {
  EnsureGuiApplication();
  const QString suffix = QFileInfo(QString::fromLocal8Bit(path)).suffix().toLower();
  const std::vector<BlandAltmanPanel> panels = BlandAltmanPanelsOf(result);
  if (panels.empty())
    return Unexpected(
        Failure{ShownFileName(path) + ": no Bland-Altman plot without two pairs of repeat readings."});
  // A column of 85 mm, a panel 64 mm high; a PNG is drawn at 300 dpi.
  const double pixelsPerMm = kDotsPerInch / 25.4;
  const QSizeF panel(85 * pixelsPerMm, 64 * pixelsPerMm);
  const double scale = suffix == "png" ? 300.0 / kDotsPerInch : 1;
  const QSize size =
      (QSizeF(panel.width(), panel.height() * static_cast<double>(panels.size())) * scale).toSize();
  return DrawingInTemporary(path, size, [&](QPainter& painter) {
    painter.scale(scale, scale);
    for (std::size_t i = 0; i < panels.size(); ++i) {
      PainterSurface surface(painter, QRectF(QPointF(0, panel.height() * static_cast<double>(i)), panel),
                             Qt::white, Qt::black, DesignFont());
      DrawBlandAltmanPanel(panels[i], surface);
    }
  });
}

Expected<void, Failure> WriteCohortFigure(const std::string& path, const StudyResult& result,
                                          double widthMm) {
  auto figure = CohortFigureInTemporary(path, result, widthMm);
  if (!figure) return Unexpected(figure.error());
  return figure->Commit();
}

} // namespace sinkview
