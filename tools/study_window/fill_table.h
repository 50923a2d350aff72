#pragma once

#include <QStringList>
#include <vector>

class QTableWidget;
class QWidget;

namespace sinkview {

// A table the user reads but does not edit, named `name` for the tests.
QTableWidget* NewReadOnlyTable(const char* name, QWidget* parent);

// `table` showing `rows` under `headers`, read-only, its columns as wide
// as their contents.
void FillTable(QTableWidget& table, const QStringList& headers, const std::vector<QStringList>& rows);

} // namespace sinkview
