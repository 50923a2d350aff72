#include "tools/study_window/precision_tab.h"

#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QPainter>
#include <QScrollBar>
#include <QTableWidget>
#include <QVBoxLayout>

#include "report/precision_tables.h"
#include "report/study_graphics.h"
#include "tools/study_window/drawing_view.h"
#include "tools/study_window/fill_table.h"

namespace sinkview {

namespace {

void Fill(QTableWidget& table, const ReadingTable& content) {
  const auto text = [](const std::vector<std::string>& cells) {
    QStringList list;
    for (const std::string& cell : cells) list << QString::fromStdString(cell);
    return list;
  };
  std::vector<QStringList> rows;
  for (const auto& row : content.rows) rows.push_back(text(row));
  FillTable(table, text(content.headers), rows);
  table.setVisible(!rows.empty());
  // As high as its rows (and a scroll bar), so the plot gets the rest.
  int height = table.horizontalHeader()->sizeHint().height() +
               table.horizontalScrollBar()->sizeHint().height() + 2 * table.frameWidth();
  for (int r = 0; r < table.rowCount(); ++r) height += table.rowHeight(r);
  table.setMaximumHeight(height);
}

// Hidden until it has rows; they need no numbers.
QTableWidget* ReadOnlyTable(const char* name, QWidget* parent) {
  QTableWidget* table = NewReadOnlyTable(name, parent);
  table->verticalHeader()->hide();
  table->hide();
  return table;
}

} // namespace

PrecisionTab::PrecisionTab(QWidget* parent) : QWidget(parent) {
  none_ = new QLabel("No repeat readings in this study.", this);
  none_->setObjectName("noRepeatReadings");
  none_->hide();
  agreement_ = ReadOnlyTable("agreement", this);
  plot_ = new DrawingView(this);
  plot_->setObjectName("blandAltman");
  plot_->hide();
  rule_ = new QLabel(this);
  rule_->setObjectName("patternRule");
  rule_->setWordWrap(true);
  rule_->hide();
  patterns_ = ReadOnlyTable("patterns", this);

  auto* patterns = new QVBoxLayout;
  patterns->addWidget(rule_);
  patterns->addWidget(patterns_);
  patterns->addStretch(1);
  auto* lower = new QHBoxLayout;
  lower->addWidget(plot_, 3);
  lower->addLayout(patterns, 2);
  auto* layout = new QVBoxLayout(this);
  layout->addWidget(none_);
  layout->addWidget(agreement_);
  layout->addLayout(lower, 1);
}

void PrecisionTab::Show(const StudyResult& study) {
  none_->setVisible(!study.repeat);
  Fill(*agreement_, AgreementTable(study));
  std::vector<BlandAltmanPanel> panels = BlandAltmanPanelsOf(study);
  plot_->setVisible(!panels.empty());
  // Side by side when the place is wider than a panel's proportions, else
  // one above the other.
  plot_->Show([panels = std::move(panels)](QPainter& painter, const QRectF& area) {
    const int columns = area.width() * kBlandAltmanPanelHeightMm > area.height() * kOneColumnMm ? 2 : 1;
    DrawBlandAltmanFigure(painter, area, panels, columns);
  });
  rule_->setText(QString::fromStdString(PatternRuleText(study)));
  rule_->setVisible(!rule_->text().isEmpty());
  Fill(*patterns_, PatternTable(study));
}

} // namespace sinkview
