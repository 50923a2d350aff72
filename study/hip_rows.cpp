#include "study/hip_rows.h"

#include <filesystem>

#include "study/csv_text.h"

namespace sinkview {

namespace {

std::string Key(const std::string& file) {
  return std::filesystem::path(file).lexically_normal().generic_string();
}

} // namespace

PatientRowIndex::PatientRowIndex(const std::optional<PatientsFile>& patients)
    : active_(patients.has_value()) {
  if (!patients) return;
  for (const PatientRow& row : patients->rows) rows_.emplace(Key(row.file), &row);
}

const PatientRow* PatientRowIndex::Find(const std::string& studyFileName) const {
  const auto found = rows_.find(Key(studyFileName));
  return found == rows_.end() ? nullptr : found->second;
}

std::string HipName(const std::string& patient, const std::string& side) {
  return patient + (side == "right" ? "-R" : "-L");
}

Expected<void, Failure> ApplyPatientRow(PatientSummary& hip, const PatientRow* row, bool pseudonymise) {
  hip.group = row && !row->group.empty() ? row->group : std::string(kOneGroup);
  if (!row) return {};
  if (pseudonymise && row->patient.empty())
    return Unexpected(Failure{"line " + std::to_string(row->line) +
                              " of the patients file: no patient identifier to pseudonymise the hip by"});
  const std::string shown = pseudonymise ? HipName(row->patient, hip.side) : hip.file;
  if (row->surgery && !hip.course.dates.empty() && *row->surgery > hip.course.dates.front())
    return Unexpected(Failure{shown + ": the surgery (" + IsoDate(*row->surgery) +
                              ") lies after the first radiograph (" + IsoDate(hip.course.dates.front()) +
                              ")"});
  if (!row->patient.empty()) hip.patient = row->patient;
  if (pseudonymise) hip.file = shown;
  hip.events = {row->surgery, row->revision, row->death, row->withdrawn, !row->excluded.empty()};
  hip.exclusion = row->excluded;
  hip.covariates = row->covariates;
  if (row->surgery) {
    hip.surgeryDate = IsoDate(*row->surgery);
    hip.daysToFirstRadiograph = DaysBetween(*row->surgery, hip.course.dates.front());
  }
  return {};
}

} // namespace sinkview
