#include "report/report_pages.h"

#include <QFontMetricsF>
#include <QPainter>
#include <QPdfWriter>
#include <algorithm>
#include <set>
#include <utility>

#include "base/numtext.h"
#include "base/reader_text.h"
#include "study/reading_text.h"
#include "ui/design_units.h"
#include "ui/painter_surface.h"

namespace sinkview {

namespace {
// Pages of the report are A4 landscape at the figures' kDotsPerInch, so the
// windows' figures keep their proportions and fonts.
constexpr double kMargin = 40;
} // namespace

QString Flag(const std::optional<bool>& flag) {
  if (!flag) return "";
  return *flag ? "yes" : "no";
}

QString Label(double value) { return QString::fromStdString(LabelText(value, kFileDecimalPoint)); }
QString Mm(const std::optional<double>& value) { return TableText(MmText(value)); }

// "3 patients (4 hips)": hips are counted with the patients they belong to.
QString PatientsAndHips(const std::vector<PatientSummary>& hips, const std::string& group) {
  std::set<std::string> patients;
  std::size_t count = 0;
  for (const PatientSummary& hip : hips) {
    if (!group.empty() && hip.group != group) continue;
    patients.insert(hip.patient);
    ++count;
  }
  return TableText(CountText(patients.size(), "patient") + " (" + CountText(count, "hip") + ")");
}

ReportPages::ReportPages(QPdfWriter& pdf, QPainter& painter, ReportOutline laidOut,
                         const std::atomic<bool>* stop)
    : pdf_(pdf), painter_(painter), laidOut_(std::move(laidOut)), stop_(stop) {
  page_ =
      QRectF(QPointF(0, 0), QSizeF(pdf.width(), pdf.height())).adjusted(kMargin, kMargin, -kMargin, -kMargin);
  y_ = page_.top();
}

QRectF ReportPages::Take(double height) {
  if (y_ + height > page_.bottom() && y_ > page_.top()) NewPage();
  if (waiting_) outline_.sections.push_back({*std::exchange(waiting_, std::nullopt), pageNumber_});
  const QRectF block(page_.left(), y_, page_.width(), height);
  y_ += height;
  blank_ = false;
  return block;
}

void ReportPages::NewPage() {
  y_ = page_.top();
  if (blank_) return; // nothing drawn yet: the page is new enough
  DrawFooter();
  pdf_.newPage();
  ++pageNumber_;
  blank_ = true;
}

void ReportPages::Section(const QString& name, bool newPage) {
  if (newPage) NewPage();
  waiting_ = name;
}

namespace {
QFont ReportFont(double points, bool bold = false) {
  QFont font = DesignFont();
  font.setPointSizeF(points);
  font.setBold(bold);
  return font;
}
} // namespace

void ReportPages::DrawContents(const QRectF& area) {
  painter_.save();
  painter_.setPen(Qt::black);
  painter_.setFont(ReportFont(10, true));
  double y = area.top() + QFontMetricsF(painter_.font(), painter_.device()).ascent();
  painter_.drawText(QPointF(area.left(), y), "Contents");
  painter_.setFont(ReportFont(9));
  const QFontMetricsF metrics(painter_.font(), painter_.device());
  y += metrics.height() * 1.5;
  for (const ReportOutline::Entry& entry : laidOut_.sections) {
    const QString page = QString::number(entry.page);
    painter_.drawText(QPointF(area.left(), y), entry.name);
    painter_.drawText(QPointF(area.right() - metrics.horizontalAdvance(page), y), page);
    y += metrics.height() * 1.25;
  }
  painter_.restore();
}

void ReportPages::DrawFooter() {
  painter_.save();
  painter_.setPen(Qt::black);
  painter_.setFont(ReportFont(8));
  const QString text = laidOut_.pages > 0 ? QString("Page %1 of %2").arg(pageNumber_).arg(laidOut_.pages)
                                          : QString("Page %1").arg(pageNumber_);
  // Centred in the bottom margin.
  painter_.drawText(QRectF(page_.left(), page_.bottom(), page_.width(), kMargin), Qt::AlignCenter, text);
  painter_.restore();
}

ReportOutline ReportPages::Finish() {
  waiting_.reset(); // a last section that drew nothing is not listed
  DrawFooter();
  outline_.pages = pageNumber_;
  return outline_;
}

void ReportPages::Text(const QString& text, double points, bool bold) {
  const QFont font = ReportFont(points, bold);
  painter_.setFont(font);
  painter_.setPen(Qt::black);
  const QFontMetricsF metrics(font, painter_.device());
  const QRectF r = Take(metrics.height() * 1.25);
  painter_.drawText(QPointF(r.left(), r.top() + metrics.ascent()), text);
}

void ReportPages::Gap(double height) { y_ = std::min(y_ + height, page_.bottom()); }

// A table with a header row, repeated on each page it runs onto; `marked`
// rows are drawn in bold red on a light red ground.
void DrawTable(ReportPages& pages, const QString& title, const std::vector<QString>& headers,
               const std::vector<std::vector<QString>>& rows, const std::vector<bool>& marked) {
  QFont font = DesignFont();
  font.setPointSizeF(7);
  font.setBold(false);
  QFont bold = font;
  bold.setBold(true);
  QPainter& painter = pages.painter();
  const QFontMetricsF metrics(bold, painter.device());
  std::vector<double> widths(headers.size());
  for (std::size_t c = 0; c < headers.size(); ++c) {
    widths[c] = metrics.horizontalAdvance(headers[c]);
    for (const auto& row : rows)
      widths[c] = std::max(widths[c], metrics.horizontalAdvance(AsOneLineShowsIt(row[c])));
  }
  // Columns wider than the page share its width.
  double total = 0;
  for (double& w : widths) total += (w += 8);
  if (total > pages.page().width())
    for (double& w : widths) w *= pages.page().width() / total;
  const double rowHeight = metrics.height() + 3;

  const auto drawRow = [&](const std::vector<QString>& cells, bool header, bool mark) {
    const QRectF r = pages.Take(rowHeight);
    if (mark)
      painter.fillRect(QRectF(r.left(), r.top(), std::min(total, r.width()), r.height()),
                       QColor(255, 222, 222));
    painter.setFont(header || mark ? bold : font);
    painter.setPen(mark ? QColor(190, 0, 0) : QColor(Qt::black));
    double x = r.left();
    for (std::size_t c = 0; c < cells.size(); ++c) {
      painter.drawText(QRectF(x + 2, r.top(), widths[c] - 4, r.height()), Qt::AlignVCenter | Qt::AlignLeft,
                       AsOneLineShowsIt(cells[c]));
      x += widths[c];
    }
    if (header) {
      painter.setPen(Qt::black);
      painter.drawLine(QPointF(r.left(), r.bottom()), QPointF(x, r.bottom()));
    }
  };

  pages.Gap(rowHeight);
  pages.Text(title, 10, true);
  drawRow(headers, true, false);
  for (std::size_t i = 0; i < rows.size() && !pages.Stopped(); ++i) {
    if (!pages.Fits(rowHeight)) { // a page break repeats the header
      pages.NewPage();
      drawRow(headers, true, false);
    }
    drawRow(rows[i], false, i < marked.size() && marked[i]);
  }
}

void DrawTable(ReportPages& pages, const QString& title, const std::vector<std::string>& headers,
               const std::vector<std::vector<std::string>>& rows) {
  const auto texts = [](const std::vector<std::string>& cells) {
    std::vector<QString> out;
    for (const std::string& cell : cells) out.push_back(TableText(cell));
    return out;
  };
  std::vector<std::vector<QString>> shown;
  for (const auto& row : rows) shown.push_back(texts(row));
  DrawTable(pages, title, texts(headers), shown, {});
}

} // namespace sinkview
