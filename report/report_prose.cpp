#include "report/report_prose.h"

#include <QFontMetricsF>
#include <QPainter>
#include <QStringList>

#include "ui/design_units.h"

namespace sinkview {

void DrawWrapped(ReportPages& pages, const QString& text, double points, bool bold) {
  QFont font = DesignFont();
  font.setPointSizeF(points);
  font.setBold(bold);
  const QFontMetricsF metrics(font, pages.painter().device());
  const double width = pages.page().width();
  QString line;
  for (const QString& word : text.split(' ', Qt::SkipEmptyParts)) {
    const QString longer = line.isEmpty() ? word : line + ' ' + word;
    if (!line.isEmpty() && metrics.horizontalAdvance(longer) > width) {
      pages.Text(line, points, bold);
      line = word;
    } else {
      line = longer;
    }
  }
  if (!line.isEmpty()) pages.Text(line, points, bold);
}

void DrawProse(ReportPages& pages, const std::string& markdown) {
  bool first = true;
  for (const QString& line : QString::fromStdString(markdown).split('\n')) {
    if (line.isEmpty()) {
      pages.Gap(4);
    } else if (line.startsWith("# ")) {
      if (!first) DrawWrapped(pages, line.mid(2), 12, true);
    } else if (line.startsWith("## ")) {
      DrawWrapped(pages, line.mid(3), 10, true);
    } else {
      DrawWrapped(pages, line, 9);
    }
    first = false;
  }
}

} // namespace sinkview
