#include "study/analysis_script.h"

#include "study/csv_text.h"

namespace sinkview {

std::string PrimaryVisitCsv(std::string_view primaryVisit) {
  std::string out = "primary_visit";
  out += kCsvLineEnd;
  AppendCsvField(out, primaryVisit);
  out += kCsvLineEnd;
  return out;
}

} // namespace sinkview
