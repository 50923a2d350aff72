#include <filesystem>

#include "model/data_files.h"
#include "model/prepared_series.h"
#include "model/text_encoding.h"
#include "model/work_pool.h"
#include "study/duplicates.h"
#include "study/long_rows.h"
#include "study/study.h"

namespace fs = std::filesystem;

namespace sinkview {

namespace {

// The folder that files are named relative to: the study's one folder, or
// none when several paths make it up, so that names stay apart.
std::optional<fs::path> NamingRoot(const std::vector<std::string>& folders) {
  std::error_code error;
  if (folders.size() != 1 || !fs::is_directory(folders.front(), error)) return std::nullopt;
  return fs::path(folders.front());
}

std::string StudyFileName(const std::string& found, const std::optional<fs::path>& root) {
  return root ? fs::path(found).lexically_relative(*root).native() : found;
}

// What became of one file: its summary and its rows of long.csv, or the
// reason it was rejected.
struct Outcome {
  std::optional<PatientSummary> summary;
  std::string longRows; // until handed to the sink
  std::string reason;
};

} // namespace

StudyResult RunStudy(const std::vector<std::string>& folders, const StudyOptions& options,
                     const StudyProgress& progress, const std::atomic<bool>* cancel,
                     const LongRowsSink& longRows) {
  StudyResult result;
  result.folders = folders;
  result.thresholdMm = options.thresholdMm;
  const DataFileSearch search = FindDataFiles(folders, options.recursive);
  for (const std::string& problem : search.problems) result.rejected.push_back({"", DisplayUtf8(problem)});
  result.skipped = search.skipped;

  const std::vector<std::string>& files = search.files;
  const std::optional<fs::path> root = NamingRoot(folders);
  std::vector<std::optional<Outcome>> outcomes(files.size());
  DuplicateSeries duplicates;
  const auto readOne = [&](std::size_t i) {
    Outcome outcome;
    // The series lives only while it is summarised, unless kept for a report.
    if (auto loaded = LoadPreparedFile(files[i], options.settings)) {
      outcome.summary = SummarisePatient(*loaded, files[i], StudyFileName(files[i], root), options);
      if (longRows)
        outcome.longRows = LongRows(*loaded, LongRowPrefix(outcome.summary->file, outcome.summary->patient));
      if (options.keepPrepared)
        outcome.summary->prepared = std::make_shared<const PreparedSeries>(std::move(*loaded));
    } else {
      outcome.reason = loaded.error().message;
    }
    return outcome;
  };
  // Outcomes are handed on in the order of the files: only there is the
  // first of two files with one series known, before its rows go out. Only
  // the rows of files finished ahead of a slower one wait, a few per worker.
  const auto keep = [&](std::size_t i, Outcome&& outcome) {
    if (outcome.summary) {
      if (const auto first = duplicates.FirstOf(*outcome.summary)) {
        outcome.reason = DuplicateReason(files[i], *first);
        outcome.summary.reset();
      } else if (longRows) {
        longRows(outcome.longRows);
      }
    }
    std::string().swap(outcome.longRows);
    outcomes[i] = std::move(outcome);
  };
  RunInOrder<Outcome>(files.size(), readOne, keep, {cancel, progress});

  for (std::size_t i = 0; i < files.size(); ++i) {
    if (!outcomes[i]) {
      result.cancelled = true;
    } else if (outcomes[i]->summary) {
      result.patients.push_back(std::move(*outcomes[i]->summary));
    } else {
      result.rejected.push_back(
          {DisplayUtf8(StudyFileName(files[i], root)), DisplayUtf8(outcomes[i]->reason)});
    }
  }
  result.cohort = CohortStatistics(result.patients, options.followUpMonths);
  return result;
}

} // namespace sinkview
