#pragma once

// Pseudonymised, a covariate leaves the study only when the protocol
// declares it: any other column of the patients file (a birth date, a name,
// a place) may identify the patient.

#include <string>
#include <vector>

#include "protocol/protocol.h"

namespace sinkview {

// Keeps the covariates of `file` that `declared` names and drops the others
// from its header and rows. Returns what the user is told: the columns left
// out, and each one kept that holds dates, named as in `shownFile`.
std::vector<std::string> KeepDeclaredCovariates(PatientsFile& file, const std::vector<std::string>& declared,
                                                const std::string& shownFile);

} // namespace sinkview
