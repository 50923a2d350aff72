#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <unordered_map>

#include "study/study.h"

namespace sinkview {

// The files of a study, taken in file order, that hold a series found
// before them: the same patient (as summary.csv names it), side and list of
// radiograph dates, whatever their values. A copy of a file, or the same
// radiographs measured again, would count a patient twice.
class DuplicateSeries {
public:
  // The file of the first patient with the series of `patient`, whose
  // radiographs are of `dates` (RadiographDates), when one came before it;
  // empty when `patient` is the first, and then remembered.
  std::optional<std::string> FirstOf(const PatientSummary& patient, std::string_view dates);

private:
  std::unordered_map<std::string, std::string> firstFiles_; // by series
};

// Why the data file at `path` is left out, for rejected.csv.
std::string DuplicateReason(const std::string& path, const std::string& firstFile);

} // namespace sinkview
