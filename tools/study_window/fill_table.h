#pragma once

#include <QStringList>
#include <vector>

class QTableWidget;

namespace sinkview {

// `table` showing `rows` under `headers`, read-only, its columns as wide
// as their contents.
void FillTable(QTableWidget& table, const QStringList& headers, const std::vector<QStringList>& rows);

} // namespace sinkview
