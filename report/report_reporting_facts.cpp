#include <QFontMetricsF>
#include <QPainter>

#include "report/report_inputs.h"
#include "report/report_pages.h"
#include "ui/design_units.h"
#include "writeup/reporting_facts.h"

namespace sinkview {

// reporting.csv as a table whose long answers wrap within their column;
// the last section, so that a reviewer finds it.
void DrawReportingFacts(ReportPages& pages, const ReportInputs& in) {
  pages.Text("Reporting facts", 14, true);
  pages.Text("What this study can answer of what migration-study reporting asks for (reporting.csv); not a "
             "guideline's checklist.",
             8);
  QFont font = DesignFont();
  font.setPointSizeF(7);
  QFont bold = font;
  bold.setBold(true);
  QPainter& painter = pages.painter();
  const double width = pages.page().width();
  const std::array<double, 3> widths{0.25 * width, 0.55 * width, 0.2 * width};
  const auto drawRow = [&](const std::array<QString, 3>& cells, const QFont& cellFont) {
    const QFontMetricsF metrics(cellFont, painter.device());
    double height = metrics.height();
    for (std::size_t c = 0; c < cells.size(); ++c)
      height = std::max(
          height,
          metrics.boundingRect(QRectF(0, 0, widths[c] - 4, 1e6), Qt::TextWordWrap | Qt::AlignLeft, cells[c])
              .height());
    const QRectF r = pages.Take(height + 3);
    painter.setFont(cellFont);
    painter.setPen(Qt::black);
    double x = r.left();
    for (std::size_t c = 0; c < cells.size(); ++c) {
      painter.drawText(QRectF(x + 2, r.top(), widths[c] - 4, r.height()), Qt::TextWordWrap | Qt::AlignLeft,
                       cells[c]);
      x += widths[c];
    }
    painter.drawLine(QPointF(r.left(), r.bottom()), QPointF(r.left() + width, r.bottom()));
  };
  drawRow({"Item", "Answer", "Where"}, bold);
  for (const ReportingFact& fact :
       ReportingFacts({in.result, in.model, in.notFitted, in.survival, in.provenance})) {
    if (pages.Stopped()) return;
    drawRow({QString::fromStdString(fact.item), QString::fromStdString(fact.answer),
             QString::fromStdString(fact.where)},
            font);
  }
}

} // namespace sinkview
