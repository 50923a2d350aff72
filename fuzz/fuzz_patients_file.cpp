// Feeds arbitrary bytes to the patients-file reader, plain and pseudonymised.
// What it accepts must hold together: every row names its data file, once,
// has a value for each covariate, and its group is one of the file's.
#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <set>
#include <string_view>

#include "protocol/patients_file.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string_view text(reinterpret_cast<const char*>(data), size);
  for (const bool pseudonymise : {false, true}) {
    const auto read = sinkview::ParsePatientsFile(text, "/fuzz/patients.csv", pseudonymise);
    if (!read) {
      if (read.error().message.empty()) __builtin_trap();
      continue;
    }
    if (read->groups.empty()) __builtin_trap();
    std::set<std::string> files;
    for (const sinkview::PatientRow& row : read->rows) {
      if (row.file.empty() || !files.insert(row.file).second) __builtin_trap();
      if (row.covariates.size() != read->covariates.size()) __builtin_trap();
      if (pseudonymise && row.patient.empty()) __builtin_trap();
      const auto& groups = read->groups;
      if (!row.group.empty() && std::find(groups.begin(), groups.end(), row.group) == groups.end())
        __builtin_trap();
    }
  }
  return 0;
}
