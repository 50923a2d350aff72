#pragma once

// The patients file's rows joined to the data files of a study.

#include <string>
#include <unordered_map>

#include "model/expected.h"
#include "model/failure.h"
#include "study/study.h"

namespace sinkview {

// The patients file's rows by the data file they name, as the study names
// its files (relative to the study folder).
class PatientRowIndex {
public:
  explicit PatientRowIndex(const std::optional<PatientsFile>& patients);
  bool Active() const { return active_; }
  // The row of a data file; none when there is no patients file or no row.
  const PatientRow* Find(const std::string& studyFileName) const;

private:
  bool active_ = false;
  std::unordered_map<std::string, const PatientRow*> rows_;
};

// The row's group, identifier, events and covariates applied to the hip;
// pseudonymised, the hip is named by the patient and its side. A surgery
// after the first radiograph, or no identifier to name a pseudonymised hip
// by, refuses the hip.
[[nodiscard]] Expected<void, Failure> ApplyPatientRow(PatientSummary& hip, const PatientRow* row,
                                                      bool pseudonymise);

// The hip's name in pseudonymised files: the patient and L or R.
std::string HipName(const std::string& patient, const std::string& side);

} // namespace sinkview
