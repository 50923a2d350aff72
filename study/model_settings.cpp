#include "study/model_settings.h"

#include <algorithm>

#include "protocol/protocol_words.h"
#include "study/csv_columns.h"
#include "study/csv_text.h"

namespace sinkview {

namespace {

// Where each covariate the protocol lists is among the patients file's, in
// the protocol's order; one the file lacks (refused when it was read) is none.
std::vector<std::size_t> ModelCovariateIndices(const StudyResult& result) {
  std::vector<std::size_t> indices;
  for (const std::string& name : result.protocol.covariates.value_or(std::vector<std::string>{})) {
    const auto at = std::find(result.covariates.begin(), result.covariates.end(), name);
    if (at != result.covariates.end())
      indices.push_back(static_cast<std::size_t>(at - result.covariates.begin()));
  }
  return indices;
}

} // namespace

std::vector<std::string> ModelCovariates(const StudyResult& result) {
  std::vector<std::string> names;
  for (std::size_t c : ModelCovariateIndices(result)) names.push_back(result.covariates[c]);
  return names;
}

std::string ModelSettingsCsv(const StudyResult& result) {
  std::string out = CsvHeader(kModelSettingsCsv);
  out += "model,";
  out += WordOf(kModelStructureWords, result.protocol.model);
  out += ',';
  out += kCsvLineEnd;
  // visits.csv's covariates follow its own columns, in the patients file's order.
  const std::size_t ownColumns = ColumnsOf(kVisitsCsv).columns.size();
  for (std::size_t c : ModelCovariateIndices(result)) {
    out += "covariate,";
    AppendCsvField(out, result.covariates[c]);
    out += ',' + std::to_string(ownColumns + c + 1);
    out += kCsvLineEnd;
  }
  return out;
}

} // namespace sinkview
