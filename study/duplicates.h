#pragma once

#include <array>
#include <cstddef>
#include <cstring>
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
  // The hip (its index among the study's hips) with the series of
  // `patient`, whose radiographs are of `dates` (RadiographDates), when one
  // came before it; none when `patient` is the first, and then remembered
  // as hip `index`.
  std::optional<std::size_t> FirstOf(const PatientSummary& patient, std::string_view dates,
                                     std::size_t index);

private:
  using Digest = std::array<unsigned char, 32>;
  struct DigestHash {
    std::size_t operator()(const Digest& digest) const {
      std::size_t hash;
      std::memcpy(&hash, digest.data(), sizeof hash);
      return hash;
    }
  };
  // Each series by its SHA-256 rather than its text, which took a fifth of
  // a large study's memory; two series of one digest are not to be met.
  std::unordered_map<Digest, std::size_t, DigestHash> firstHips_;
};

// Why the data file at `path` is left out, for rejected.csv.
std::string DuplicateReason(const std::string& path, const std::string& firstFile);

} // namespace sinkview
