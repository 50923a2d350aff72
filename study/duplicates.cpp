#include "study/duplicates.h"

#include "base/reader_text.h"

namespace sinkview {

std::optional<std::size_t> DuplicateSeries::FirstOf(const PatientSummary& patient, std::string_view dates,
                                                    std::size_t index) {
  // The name's length keeps any name apart from the side and dates after it.
  std::string series = std::to_string(patient.patient.size()) + ':' + patient.patient + patient.side + ' ';
  series += dates;
  const auto [first, isNew] = firstHips_.try_emplace(DigestOf(series).sha256, index);
  if (isNew) return std::nullopt;
  return first->second;
}

std::string DuplicateReason(const std::string& path, const std::string& firstFile) {
  return ShownFileName(path) + ": a duplicate of " + firstFile +
         " (the same patient, side and radiograph dates); counted once.";
}

} // namespace sinkview
