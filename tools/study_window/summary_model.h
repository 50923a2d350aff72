#pragma once

#include <QAbstractTableModel>
#include <memory>

#include "study/study.h"

namespace sinkview {

// The study's summary rows as a table: one row per patient, the flag column
// first. Rows over the threshold are marked in every column (bold red text
// on a light red ground); SortRole gives numbers as numbers, so a sorted
// column orders 10 after 9.
class SummaryModel : public QAbstractTableModel {
  Q_OBJECT
public:
  static constexpr int SortRole = Qt::UserRole;
  // The hip's group, which the window's group filter matches.
  static constexpr int GroupColumn = 3;

  explicit SummaryModel(QObject* parent = nullptr) : QAbstractTableModel(parent) {}

  // The study whose patients the table shows (none: an empty table).
  void SetStudy(std::shared_ptr<const StudyResult> study);
  const PatientSummary& Patient(int row) const { return study_->patients.at(static_cast<std::size_t>(row)); }

  int rowCount(const QModelIndex& parent = {}) const override;
  int columnCount(const QModelIndex& parent = {}) const override;
  QVariant data(const QModelIndex& index, int role) const override;
  QVariant headerData(int section, Qt::Orientation orientation, int role) const override;

  // Whether a row is marked as over the threshold.
  bool Flagged(int row) const;

private:
  std::shared_ptr<const StudyResult> study_;
};

} // namespace sinkview
