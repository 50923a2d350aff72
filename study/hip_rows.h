#pragma once

// The patients file's rows joined to the data files of a study.

#include <string>
#include <unordered_map>
#include <vector>

#include "base/expected.h"
#include "base/failure.h"
#include "study/study.h"

namespace sinkview {

// The patients file's rows by the data file they name, as the study names
// its files (relative to the study folder).
class PatientRowIndex {
public:
  explicit PatientRowIndex(const std::optional<PatientsFile>& patients);
  // The row of a data file; none when there is no patients file or no row.
  const PatientRow* Find(const std::string& studyFileName) const;

private:
  std::unordered_map<std::string, const PatientRow*> rows_;
};

// The row's group, identifier, events and covariates applied to the hip;
// pseudonymised, the hip is named by the patient, its side and its
// `number` (see HipNumbers). A surgery
// after the first radiograph, or no identifier to name a pseudonymised hip
// by, refuses the hip.
[[nodiscard]] Expected<void, Failure> ApplyPatientRow(PatientSummary& hip, const PatientRow* row,
                                                      bool pseudonymise, int number = 1);

// The hip's name in pseudonymised files: the patient and L or R, and from
// the patient's second hip of a side on its number: P017-L, P017-L2.
std::string HipName(const std::string& patient, const std::string& side, int number = 1);

// A data file's number among the hips of its patient and side, for
// HipName, and the side it was numbered by: 'L' or 'R' as HipName tells
// them, '?' for a file that could not be read then, 0 for one not read ahead.
struct HipNumber {
  int number = 1;
  char sideSeen = 0;
};

// Each data file's number: in order of surgery (a hip without a date after
// those with one), then of the patients file's lines; 1 for a file without
// a row. Only the files of a patient with several rows are read ahead, for
// their side; one that cannot be read takes no number from the others.
std::vector<HipNumber> HipNumbers(const std::vector<std::string>& files,
                                  const std::vector<const PatientRow*>& rows);

// Whether a hip read with `side` is still the file that was numbered: a file
// edited in between could take another hip's name.
bool AsNumbered(const HipNumber& number, const std::string& side);

} // namespace sinkview
