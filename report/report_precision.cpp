#include "report/report_precision.h"

#include <QPainter>

#include "report/gui_application.h"
#include "report/precision_tables.h"
#include "report/study_graphics.h"

namespace sinkview {

namespace {

void DrawReadingTable(ReportPages& pages, const QString& title, const ReadingTable& table) {
  DrawTable(pages, title, table.headers, table.rows);
}

} // namespace

void DrawPrecisionPage(ReportPages& pages, const ReportInputs& inputs) {
  const StudyResult& result = inputs.result;
  const std::string rule = PatternRuleText(result);
  if (!result.repeat && rule.empty()) return;
  pages.Text("Precision of the measurements", 10, true);
  if (!result.repeat) pages.Text("No repeat readings in this study.", 9);
  if (result.repeat) {
    DrawReadingTable(pages, "Agreement of the repeat readings with the first (Bland and Altman)",
                     AgreementTable(result));
    const std::vector<BlandAltmanPanel> panels = BlandAltmanPanelsOf(result);
    if (!panels.empty()) {
      const double pixelsPerMm = PixelsPerMm(pages.painter().device());
      pages.Gap(10);
      const QRectF area = pages.Take(kBlandAltmanPanelHeightMm * pixelsPerMm);
      const auto columns = static_cast<int>(panels.size());
      DrawBlandAltmanFigure(
          pages.painter(),
          QRectF(area.topLeft(), QSizeF(columns * kOneColumnMm * pixelsPerMm, area.height())), panels,
          columns);
    }
  }
  if (rule.empty()) return;
  DrawReadingTable(pages, "Hips by migration pattern (Wilson 95 % interval)", PatternTable(result));
  pages.Text(QString::fromStdString(rule), 8);
}

} // namespace sinkview
