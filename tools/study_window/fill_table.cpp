#include "tools/study_window/fill_table.h"

#include <QTableWidget>

namespace sinkview {

QTableWidget* NewReadOnlyTable(const char* name, QWidget* parent) {
  auto* table = new QTableWidget(parent);
  table->setObjectName(name);
  table->setEditTriggers(QAbstractItemView::NoEditTriggers);
  return table;
}

void FillTable(QTableWidget& table, const QStringList& headers, const std::vector<QStringList>& rows) {
  table.clear();
  table.setColumnCount(static_cast<int>(headers.size()));
  table.setHorizontalHeaderLabels(headers);
  table.setRowCount(static_cast<int>(rows.size()));
  for (int r = 0; r < table.rowCount(); ++r) {
    const QStringList& cells = rows[static_cast<std::size_t>(r)];
    for (int c = 0; c < cells.size(); ++c) table.setItem(r, c, new QTableWidgetItem(cells[c]));
  }
  table.resizeColumnsToContents();
}

} // namespace sinkview
