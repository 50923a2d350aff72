#include "tools/study_window/summary_model.h"

#include <QBrush>
#include <QColor>
#include <QFont>
#include <optional>

#include "study/reading_text.h"

namespace sinkview {

namespace {

// A cell: what it shows and what it sorts by.
struct Cell {
  QString text;
  QVariant sortKey;
};

Cell Text(const std::string& text) { return {QString::fromStdString(text), QString::fromStdString(text)}; }
Cell Count(int value) { return {QString::number(value), value}; }
// A number shown as the tables for reading show it, sorted by its value.
Cell Number(std::optional<double> value, std::string (*text)(std::optional<double>)) {
  if (!value) return {};
  return {QString::fromStdString(text(value)), *value};
}

struct Column {
  const char* header;
  Cell (*cell)(const PatientSummary&);
};

const Column kColumns[] = {
    {"Over threshold",
     [](const PatientSummary& p) {
       if (!p.overThreshold) return Cell{};
       return Cell{*p.overThreshold ? "yes" : "no", *p.overThreshold ? 1 : 0};
     }},
    {"File", [](const PatientSummary& p) { return Text(p.file); }},
    {"Patient", [](const PatientSummary& p) { return Text(p.patient); }},
    {"Group", [](const PatientSummary& p) { return Text(p.group); }},
    {"Side", [](const PatientSummary& p) { return Text(p.side); }},
    {"Format", [](const PatientSummary& p) { return Text(p.format); }},
    {"Radiographs", [](const PatientSummary& p) { return Count(p.radiographs); }},
    {"First date", [](const PatientSummary& p) { return Text(p.firstDate); }},
    {"Last date", [](const PatientSummary& p) { return Text(p.lastDate); }},
    {"Follow-up (months)", [](const PatientSummary& p) { return Number(p.observationMonths, MonthsText); }},
    {"Isolated", [](const PatientSummary& p) { return Count(p.isolated); }},
    {"Breaks", [](const PatientSummary& p) { return Count(p.breaks); }},
    {"Subsidence, last (mm)", [](const PatientSummary& p) { return Number(p.subsidenceLastMm, MmText); }},
    // %1: the protocol's primary visit
    {"Subsidence at %1 (mm)", [](const PatientSummary& p) { return Number(p.subsidencePrimaryMm, MmText); }},
    {"Stem/cement, last (mm)", [](const PatientSummary& p) { return Number(p.stemCementLastMm, MmText); }},
    {"Angle change, last (°)",
     [](const PatientSummary& p) { return Number(p.angleChangeLastDeg, DegreesText); }},
};

} // namespace

void SummaryModel::SetStudy(std::shared_ptr<const StudyResult> study) {
  beginResetModel();
  study_ = std::move(study);
  endResetModel();
}

int SummaryModel::rowCount(const QModelIndex& parent) const {
  return parent.isValid() || !study_ ? 0 : static_cast<int>(study_->patients.size());
}

int SummaryModel::columnCount(const QModelIndex& parent) const {
  return parent.isValid() ? 0 : static_cast<int>(std::size(kColumns));
}

bool SummaryModel::Flagged(int row) const { return Patient(row).overThreshold.value_or(false); }

QVariant SummaryModel::data(const QModelIndex& index, int role) const {
  if (!index.isValid() || index.row() >= rowCount() || index.column() >= columnCount()) return {};
  const bool flagged = Flagged(index.row());
  switch (role) {
  case Qt::DisplayRole:
    return kColumns[index.column()].cell(Patient(index.row())).text;
  case SortRole:
    return kColumns[index.column()].cell(Patient(index.row())).sortKey;
  case Qt::BackgroundRole:
    return flagged ? QVariant(QBrush(QColor(255, 222, 222))) : QVariant();
  case Qt::ForegroundRole:
    return flagged ? QVariant(QBrush(QColor(190, 0, 0))) : QVariant();
  case Qt::FontRole:
    if (flagged || index.column() == 0) {
      QFont font;
      font.setBold(flagged);
      return font;
    }
    return {};
  case Qt::ToolTipRole:
    return QString::fromStdString(Patient(index.row()).path);
  default:
    return {};
  }
}

QVariant SummaryModel::headerData(int section, Qt::Orientation orientation, int role) const {
  if (role != Qt::DisplayRole) return {};
  if (orientation == Qt::Vertical) return section + 1;
  if (section < 0 || section >= columnCount()) return {};
  const QString header = QString::fromUtf8(kColumns[section].header);
  if (!header.contains("%1")) return header;
  return header.arg(
      QString::fromStdString(study_ ? study_->protocol.primaryVisit : std::string(kDefaultPrimaryVisit)));
}

} // namespace sinkview
