#pragma once

// The repeat readings' agreement and the hips' migration patterns as tables
// for reading: the study window's Precision tab and the report's precision
// page show the same texts. Plain C++, no Qt.

#include <string>
#include <vector>

#include "study/study.h"

namespace sinkview {

struct ReadingTable {
  std::vector<std::string> headers;
  std::vector<std::vector<std::string>> rows;
};

// One row per series of the repeat readings; no rows without them.
ReadingTable AgreementTable(const StudyResult& result);

// The hips of each group by migration pattern; no rows without a detection
// limit.
ReadingTable PatternTable(const StudyResult& result);

// The visits and the limit the patterns are told by; empty without them.
std::string PatternRuleText(const StudyResult& result);

} // namespace sinkview
