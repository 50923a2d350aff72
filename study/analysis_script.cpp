#include "study/analysis_script.h"

#include "study/csv_columns.h"
#include "study/csv_text.h"

namespace sinkview {

std::string PrimaryVisitCsv(std::string_view primaryVisit, std::optional<std::size_t> number) {
  std::string out = CsvHeader(kPrimaryVisitCsv);
  AppendCsvField(out, primaryVisit);
  out += ',';
  if (number) out += std::to_string(*number);
  out += kCsvLineEnd;
  return out;
}

} // namespace sinkview
