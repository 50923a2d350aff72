#pragma once

// inputs.csv: every file the study read (its data files, their second
// readings, the protocol and the patients file), each with its size and
// SHA-256, so that anyone can check that these are the files behind the
// numbers. Its own SHA-256 is the fingerprint of the study's data.

#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "base/expected.h"
#include "base/failure.h"
#include "study/study.h"

namespace sinkview {

struct InputFile {
  std::string role;  // data, second_reading, protocol or patients
  std::string path;  // where it is read from
  std::string shown; // relative to the study folder, or the hip's pseudonym
  // Its bytes as the study read them; none for a file the run did not
  // digest as it read it (a result made by hand), which is read now.
  std::optional<ContentDigest> digest;
};

// The files of `result` in that order, the data files in the study's order.
// `protocolFile` is empty without a protocol.
std::vector<InputFile> StudyInputs(const StudyResult& result, const std::string& protocolFile);

// role,path,bytes,sha256 for each file; one without a digest that cannot
// be read is a failure naming it.
Expected<std::string, Failure> InputsCsv(const std::vector<InputFile>& files);

} // namespace sinkview
