#include "study/hip_rows.h"

#include <algorithm>
#include <filesystem>
#include <map>
#include <tuple>

#include "base/reader_text.h"
#include "model/reader.h"
#include "study/csv_text.h"

namespace sinkview {

namespace {

std::string Key(const std::string& file) {
  return std::filesystem::path(file).lexically_normal().generic_string();
}

} // namespace

PatientRowIndex::PatientRowIndex(const std::optional<PatientsFile>& patients) {
  if (!patients) return;
  for (const PatientRow& row : patients->rows) rows_.emplace(Key(row.file), &row);
}

const PatientRow* PatientRowIndex::Find(const std::string& studyFileName) const {
  const auto found = rows_.find(Key(studyFileName));
  return found == rows_.end() ? nullptr : found->second;
}

std::string HipName(const std::string& patient, const std::string& side, int number) {
  return patient + (side == "right" ? "-R" : "-L") + (number > 1 ? std::to_string(number) : "");
}

namespace {

char SideLetter(const std::string& side) { return HipName("", side).back(); }

} // namespace

std::vector<HipNumber> HipNumbers(const std::vector<std::string>& files,
                                  const std::vector<const PatientRow*>& rows) {
  std::vector<HipNumber> numbers(files.size());
  std::map<std::string, std::vector<std::size_t>> byPatient;
  for (std::size_t i = 0; i < files.size(); ++i)
    if (rows[i] && !rows[i]->patient.empty()) byPatient[rows[i]->patient].push_back(i);
  const auto order = [&](std::size_t i) {
    const PatientRow& row = *rows[i];
    return std::tuple(!row.surgery, row.surgery.value_or(CalendarDate{}), row.line);
  };
  for (auto& [patient, hips] : byPatient) {
    if (hips.size() < 2) continue;
    std::sort(hips.begin(), hips.end(), [&](std::size_t a, std::size_t b) { return order(a) < order(b); });
    std::map<char, int> taken; // by side, as HipName tells them
    for (const std::size_t i : hips) {
      const ReadResult read = ReadDataFile(files[i]);
      numbers[i].sideSeen = read ? SideLetter(PlainUtf8(read->ProsthesisSide)) : '?';
      if (read) numbers[i].number = ++taken[numbers[i].sideSeen];
    }
  }
  return numbers;
}

bool AsNumbered(const HipNumber& number, const std::string& side) {
  return number.sideSeen == 0 || number.sideSeen == SideLetter(side);
}

Expected<void, Failure> ApplyPatientRow(PatientSummary& hip, const PatientRow* row, bool pseudonymise,
                                        int number) {
  hip.group = row && !row->group.empty() ? row->group : std::string(kOneGroup);
  if (!row) return {};
  if (pseudonymise && row->patient.empty())
    return Unexpected(Failure{"line " + std::to_string(row->line) +
                              " of the patients file: no patient identifier to pseudonymise the hip by"});
  const std::string shown = pseudonymise ? HipName(row->patient, hip.side, number) : hip.file;
  if (row->surgery && !hip.course.dates.empty() && *row->surgery > hip.course.dates.front())
    return Unexpected(Failure{shown + ": the surgery (" + IsoDate(*row->surgery) +
                              ") lies after the first radiograph (" + IsoDate(hip.course.dates.front()) +
                              ")"});
  if (!row->patient.empty()) hip.patient = row->patient;
  if (pseudonymise) hip.file = shown;
  hip.events = {row->surgery,   row->revision,          row->death,
                row->withdrawn, !row->excluded.empty(), row->lastContact};
  hip.exclusion = row->excluded;
  hip.covariates = row->covariates;
  if (row->surgery) {
    hip.surgeryDate = IsoDate(*row->surgery);
    hip.daysToFirstRadiograph = DaysBetween(*row->surgery, hip.course.dates.front());
  }
  return {};
}

} // namespace sinkview
