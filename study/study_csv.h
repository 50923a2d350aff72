#pragma once

// The study's files for statistics packages: CSV with a header row, fields
// quoted where they must be, CR LF line ends, UTF-8, "." as the decimal
// point whatever the locale, no padding, empty fields for missing values.

#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "base/file_set.h"
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
// Only a header without repeat readings.
std::string PrecisionCsv(const StudyResult& result);
std::string PairsCsv(const StudyResult& result);

// Adds each named text to `set`, whole in its temporary file in `folder`;
// else the first that cannot be.
using NamedTexts = std::vector<std::pair<std::string_view, std::string>>;
[[nodiscard]] Expected<void, Failure> AddTextFiles(FileSet& set, const OutputFolder& folder,
                                                   const NamedTexts& files);

// Adds every file but long.csv (study/csv_columns.h lists them; those of
// the repeat readings only with them) of
// `result` in `folder` to `set`, each whole in its temporary file; else the
// first that cannot be. long.csv is written as the study runs
// (study/long_csv.h).
[[nodiscard]] Expected<void, Failure> AddStudyCsvFiles(FileSet& set, const StudyResult& result,
                                                       const OutputFolder& folder);
// Adds what R reads to fit the model to `set`: analysis.R and the files it
// reads, summary.csv and visits.csv with each patient a number and without
// the texts the model does not fit (see ShownTexts).
[[nodiscard]] Expected<void, Failure> AddModelInputFiles(FileSet& set, const StudyResult& result,
                                                         const OutputFolder& folder);

} // namespace sinkview
