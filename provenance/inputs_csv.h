#pragma once

// inputs.csv: every file the study read (its data files, their second
// readings, the protocol and the patients file), each with its size and
// SHA-256, so that anyone can check that these are the files behind the
// numbers. Its own SHA-256 is the fingerprint of the study's data.

#include <string>

#include "base/expected.h"
#include "base/failure.h"
#include "study/study.h"

namespace sinkview {

// role,path,bytes,sha256 for each file of `result`, the data files in the
// study's order, then their second readings, the protocol (`protocolFile`;
// empty without one) and the patients file. A path is relative to the study
// folder, or the hip's pseudonym. A file without a digest taken as it was
// read (a result made by hand) is read now; one that cannot be read is a
// failure naming it.
Expected<std::string, Failure> InputsCsv(const StudyResult& result, const std::string& protocolFile);

} // namespace sinkview
