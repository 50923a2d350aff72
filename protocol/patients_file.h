#pragma once

// Reads the patients file of a study: one row per data file with its group,
// the dates of surgery and of the events that end its follow-up, and the
// covariates, as a spreadsheet saves it as CSV.

#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "base/content_digest.h"
#include "base/expected.h"
#include "base/failure.h"
#include "protocol/protocol.h"

namespace sinkview {

// Whether the column is one of the file's own (file, group, surgery_date,
// ...), in any case.
bool IsPatientsColumn(std::string_view name);

// Every problem is one message naming the file, the line and the column.
// With `pseudonymise` every row must name its patient. A column of no known
// name is a covariate, unless it is a likely typo of a known one (it
// differs only in case, blanks, hyphens or underscores, or by at most two
// letters): "surgery date" would drop every surgery date. With `covariates`
// (the protocol's list) the file holds exactly those, and no other column.
Expected<PatientsFile, Failure>
ParsePatientsFile(std::string_view text, const std::string& path, bool pseudonymise,
                  const std::optional<std::vector<std::string>>& covariates = std::nullopt);
// `bytesRead`, where given, takes the digest of the file's bytes as read.
Expected<PatientsFile, Failure>
ReadPatientsFile(const std::string& path, bool pseudonymise,
                 const std::optional<std::vector<std::string>>& covariates = std::nullopt,
                 std::optional<ContentDigest>* bytesRead = nullptr);

} // namespace sinkview
