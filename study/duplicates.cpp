#include "study/duplicates.h"

#include "base/reader_text.h"

namespace sinkview {

std::optional<std::string> DuplicateSeries::FirstOf(const PatientSummary& patient, std::string_view dates) {
  // The name's length keeps any name apart from the side and dates after it.
  std::string series = std::to_string(patient.patient.size()) + ':' + patient.patient + patient.side + ' ';
  series += dates;
  const auto [first, isNew] = firstFiles_.try_emplace(std::move(series), patient.file);
  if (isNew) return std::nullopt;
  return first->second;
}

std::string DuplicateReason(const std::string& path, const std::string& firstFile) {
  return ShownFileName(path) + ": a duplicate of " + firstFile +
         " (the same patient, side and radiograph dates); counted once.";
}

} // namespace sinkview
