#include "protocol/declared_covariates.h"

#include <algorithm>

#include "protocol/calendar_date.h"

namespace sinkview {

namespace {

bool HoldsDates(const PatientsFile& file, std::size_t column) {
  return std::any_of(file.rows.begin(), file.rows.end(), [&](const PatientRow& row) {
    return ParseCalendarDate(row.covariates[column]).has_value();
  });
}

// "'a', 'b' (it holds dates)"
std::string ColumnList(const PatientsFile& file, const std::vector<std::size_t>& columns) {
  std::string list;
  for (const std::size_t c : columns) {
    if (!list.empty()) list += ", ";
    list += "'" + file.covariates[c] + "'" + (HoldsDates(file, c) ? " (it holds dates)" : "");
  }
  return list;
}

} // namespace

std::vector<std::string> KeepDeclaredCovariates(PatientsFile& file, const std::vector<std::string>& declared,
                                                const std::string& shownFile) {
  std::vector<std::size_t> kept, dropped, datesKept;
  for (std::size_t c = 0; c < file.covariates.size(); ++c) {
    const bool isDeclared = std::find(declared.begin(), declared.end(), file.covariates[c]) != declared.end();
    (isDeclared ? kept : dropped).push_back(c);
    if (isDeclared && HoldsDates(file, c)) datesKept.push_back(c);
  }
  std::vector<std::string> notes;
  if (!dropped.empty())
    notes.push_back(shownFile +
                    ": pseudonymised, the covariates the protocol does not declare are left out: " +
                    ColumnList(file, dropped) + ".");
  if (!datesKept.empty())
    notes.push_back(shownFile + ": the declared covariates " + ColumnList(file, datesKept) +
                    " are written as they are, though a date may identify a patient.");
  const auto keep = [&](std::vector<std::string>& values) {
    std::vector<std::string> left;
    for (const std::size_t c : kept) left.push_back(std::move(values[c]));
    values = std::move(left);
  };
  keep(file.covariates);
  for (PatientRow& row : file.rows) keep(row.covariates);
  return notes;
}

} // namespace sinkview
