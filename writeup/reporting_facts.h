#pragma once

// reporting.csv: one row per fact that migration-study reporting asks for,
// the study's answer and where the report shows it. It lists what the
// study can answer, not a guideline's checklist.

#include <string>
#include <vector>

#include "writeup/writeup_inputs.h"

namespace sinkview {

struct ReportingFact {
  std::string item, answer, where;
};

std::vector<ReportingFact> ReportingFacts(const WriteupInputs& inputs);
std::string ReportingCsv(const std::vector<ReportingFact>& facts);

} // namespace sinkview
