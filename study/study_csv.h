#pragma once

// The study's files for statistics packages: CSV with a header row, fields
// quoted where they must be, CR LF line ends, UTF-8, "." as the decimal
// point whatever the locale, no padding, empty fields for missing values.

#include <string>
#include <string_view>
#include <vector>

#include "model/failure.h"
#include "study/study.h"

namespace sinkview {

inline constexpr std::string_view kSummaryCsv = "summary.csv", kCohortCsv = "cohort.csv",
                                  kLongCsv = "long.csv", kRejectedCsv = "rejected.csv";

// A number as the files write it: at most 7 significant digits, shortest
// form, never "-0".
std::string CsvNumber(double value);

std::string SummaryCsv(const StudyResult& result);
std::string VisitsCsv(const StudyResult& result);
std::string FlowCsv(const StudyResult& result);
std::string CohortCsv(const StudyResult& result);
std::string BandsCsv(const StudyResult& result);
std::string RejectedCsv(const StudyResult& result);

// Writes every file but long.csv (study/csv_columns.h lists them) into
// `outputDir`, each
// atomically; the failures of those that could not be written, each naming
// its file. long.csv is written as the study runs (study/long_csv.h).
[[nodiscard]] std::vector<Failure> WriteStudyCsvFiles(const StudyResult& result,
                                                      const std::string& outputDir);

} // namespace sinkview
