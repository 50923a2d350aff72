#pragma once

// The columns of every file the study writes, with their units and
// meaning: the writers take their headers from here and dictionary.csv
// lists them, so the two never part.

#include <string>
#include <string_view>
#include <vector>

namespace sinkview {

struct CsvColumn {
  std::string_view name, unit, description;
};

struct CsvFileColumns {
  std::string_view file;
  std::vector<CsvColumn> columns;
  bool covariates = false;     // the patients file's covariates follow
  bool repeatReadings = false; // written only with repeat readings
  bool writtenByR = false;     // the model's files, which analysis.R writes
};

inline constexpr std::string_view kVisitsCsv = "visits.csv", kFlowCsv = "flow.csv", kBandsCsv = "bands.csv",
                                  kPrecisionCsv = "precision.csv", kPairsCsv = "pairs.csv",
                                  kDictionaryCsv = "dictionary.csv", kInputsCsv = "inputs.csv",
                                  kSoftwareCsv = "software.csv", kReportingCsv = "reporting.csv";

// Every file the study writes, in the order the dictionary lists them, and
// those analysis.R writes.
const std::vector<CsvFileColumns>& StudyCsvColumns();
// The number of them the study writes itself.
std::size_t StudyCsvFileCount(bool withRepeatReadings);
// The columns of one of them.
const CsvFileColumns& ColumnsOf(std::string_view file);

// The header row of a file, its covariates after its own columns, CR LF
// ended.
std::string CsvHeader(std::string_view file, const std::vector<std::string>& covariates = {});

// dictionary.csv: file, column, unit, description; the files of the repeat
// readings only with them.
std::string DictionaryCsv(const std::vector<std::string>& covariates, bool repeatReadings);

} // namespace sinkview
