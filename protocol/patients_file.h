#pragma once

// Reads the patients file of a study: one row per data file with its group,
// the dates of surgery and of the events that end its follow-up, and the
// covariates, as a spreadsheet saves it as CSV.

#include <string>
#include <string_view>

#include "model/expected.h"
#include "model/failure.h"
#include "protocol/protocol.h"

namespace sinkview {

// Every problem is one message naming the file, the line and the column.
// With `pseudonymise` every row must name its patient.
Expected<PatientsFile, Failure> ParsePatientsFile(std::string_view text, const std::string& path,
                                                  bool pseudonymise);
Expected<PatientsFile, Failure> ReadPatientsFile(const std::string& path, bool pseudonymise);

} // namespace sinkview
