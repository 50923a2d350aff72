#include "report/study_graphics.h"

#include <QPainter>
#include <algorithm>
#include <cmath>

#include "base/reader_text.h"
#include "figures/figure.h"
#include "model/figure_files.h"
#include "report/gui_application.h"
#include "study/reading_text.h"
#include "ui/design_units.h"
#include "ui/painter_surface.h"

namespace sinkview {

namespace {
// A TIFF is laid out at its own resolution: its lines and texts fall on its pixels.
int FigureDotsPerInch(const std::string& path) {
  return FigureFormatOf(path) == FigureFormat::Tiff ? kTiffDotsPerInch : kPrintDotsPerInch;
}
} // namespace

void FramePaperPlot(PaperPlot& plot, const StudyResult& result, double widthMm, double heightMm,
                    double pixelsPerMm) {
  plot.widthMm = widthMm;
  plot.monthsTitle = "Months " + std::string(StudyClockText(result.patients));
  plot.heightMm = heightMm;
  plot.pixelsPerMm = pixelsPerMm;
  if (const Visit* primary = PrimaryVisitOf(result.protocol)) {
    plot.primaryMonths = primary->months;
    plot.primaryVisit = primary->name;
  }
}

CohortPlot CohortPlotOf(const StudyResult& result, double widthMm, double pixelsPerMm) {
  CohortPlot plot;
  plot.thresholdMm = result.thresholdMm;
  FramePaperPlot(plot, result, widthMm, CohortFigureHeightMm(widthMm), pixelsPerMm);
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
PaperFigureInTemporary(const OutputFile& target, double widthMm, double heightMm,
                       const std::function<void(Surface& surface, double pixelsPerMm)>& draw) {
  EnsureGuiApplication();
  const int dotsPerInch = FigureDotsPerInch(target.Path());
  const double pixelsPerMm = dotsPerInch / 25.4;
  const QSize size(static_cast<int>(std::lround(widthMm * pixelsPerMm)),
                   static_cast<int>(std::lround(heightMm * pixelsPerMm)));
  return DrawingInTemporary(
      target, size,
      [&](QPainter& painter) {
        PainterSurface surface(painter, QRectF(QPointF(0, 0), size), Qt::white, Qt::black, DesignFont());
        draw(surface, pixelsPerMm);
      },
      dotsPerInch);
}

Expected<AtomicFile, Failure> CohortFigureInTemporary(const OutputFile& target, const StudyResult& result,
                                                      double widthMm) {
  return PaperFigureInTemporary(target, widthMm, CohortFigureHeightMm(widthMm),
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
    panel.title = SeriesTitle(row.series);
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

void DrawBlandAltmanFigure(QPainter& painter, const QRectF& area, const std::vector<BlandAltmanPanel>& panels,
                           int columns) {
  if (panels.empty()) return;
  columns = std::clamp(columns, 1, static_cast<int>(panels.size()));
  const auto count = static_cast<int>(panels.size()), rows = (count + columns - 1) / columns;
  const QSizeF cell(area.width() / columns, area.height() / rows);
  const double pixelsPerMm = PixelsPerMm(painter.device());
  painter.save();
  for (int i = 0; i < count; ++i) {
    const QPointF corner(area.left() + cell.width() * (i % columns),
                         area.top() + cell.height() * (i / columns));
    PainterSurface surface(painter, QRectF(corner, cell), Qt::white, Qt::black, DesignFont());
    BlandAltmanPanel panel = panels[static_cast<std::size_t>(i)];
    panel.pixelsPerMm = pixelsPerMm;
    DrawBlandAltmanPanel(panel, surface);
  }
  painter.restore();
}

Expected<AtomicFile, Failure> BlandAltmanFigureInTemporary(const OutputFile& target,
                                                           const StudyResult& result, double widthMm) {
  EnsureGuiApplication();
  const std::string& path = target.Path();
  const std::vector<BlandAltmanPanel> panels = BlandAltmanPanelsOf(result);
  if (panels.empty())
    return Unexpected(
        Failure{ShownFileName(path) + ": no Bland-Altman plot without two pairs of repeat readings."});
  // One column holds the panels one above the other, two side by side.
  const std::size_t columns = widthMm < kTwoColumnsMm ? 1 : 2, rows = (panels.size() + columns - 1) / columns;
  const int dotsPerInch = FigureDotsPerInch(path);
  const double pixelsPerMm = dotsPerInch / 25.4;
  const QSize size(
      static_cast<int>(std::lround(widthMm * pixelsPerMm)),
      static_cast<int>(std::lround(kBlandAltmanPanelHeightMm * static_cast<double>(rows) * pixelsPerMm)));
  return DrawingInTemporary(
      target, size,
      [&](QPainter& painter) {
        DrawBlandAltmanFigure(painter, QRectF(QPointF(0, 0), size), panels, static_cast<int>(columns));
      },
      dotsPerInch);
}

Expected<void, Failure> WriteCohortFigure(const std::string& path, const StudyResult& result,
                                          double widthMm) {
  auto figure = CohortFigureInTemporary(path, result, widthMm);
  if (!figure) return Unexpected(figure.error());
  return figure->Commit();
}

} // namespace sinkview
