#pragma once

#include <QStringList>
#include <vector>

class QTableWidget;

namespace sinkview {

// Replaces the table's content: the headers, then the rows' cells, the
// columns as wide as their texts.
void FillTable(QTableWidget& table, const QStringList& headers, const std::vector<QStringList>& rows);

} // namespace sinkview
