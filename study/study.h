#pragma once

// A follow-up study: every data file of one or more folders read and
// prepared as the windows do, summarised per patient, and the cohort's
// statistics at the follow-up times. Plain C++, no Qt; the command-line
// program and the study window both run it.

#include <atomic>
#include <cstddef>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "model/model.h"
#include "model/prepared_series.h"
#include "model/settings.h"
#include "protocol/protocol.h"

namespace sinkview {

inline constexpr double kStartThresholdMm = 1.5;
inline const std::vector<double> kStartFollowUpMonths = {3, 6, 12, 24, 36, 48, 60, 84, 120};

// What a study is run with.
struct StudyOptions {
  Settings settings; // each file is read and prepared with them
  bool recursive = false;
  std::vector<double> followUpMonths = kStartFollowUpMonths; // rising, each once
  double thresholdMm = kStartThresholdMm;
  // The protocol as applied; its settings and threshold are those above.
  Protocol protocol;
  std::optional<PatientsFile> patients; // none without a patients file
  // Keeps each patient's prepared series for the report's pages, so that
  // they show what was read with the rest; off, a study runs in flat
  // memory however many files it has.
  bool keepPrepared = false;
};

// One radiograph of a patient's course: months since the first radiograph
// (elapsed days x 12 / 365, unrounded) and the corrected change since the
// first radiograph.
struct CoursePoint {
  double months = 0;
  float change = 0;
};

// One row of summary.csv, for one data file that was read. A value that
// cannot be had (no 24-month value, the older format, no change with one
// radiograph) is empty.
struct PatientSummary {
  std::string path;    // the data file as found, for opening it in the main window
  std::string file;    // relative to the study folder (the path as found when several were given)
  std::string patient; // UTF-8
  std::string side;    // "left" or "right"
  std::string format;  // "current" (with stem/cement values) or "older"
  int radiographs = 0;
  std::string firstDate, lastDate; // ISO 8601, yyyy-mm-dd
  float observationMonths = 0;     // as the table shows it
  int isolated = 0;                // incomparable radiographs
  int breaks = 0;                  // segments started after the first radiograph
  // C(N) - C(1) of the subsidence series of the settings
  std::optional<float> subsidenceLastMm;
  std::optional<double> subsidence24mMm;
  std::optional<double> rate0to24MmPerYear;
  std::optional<double> rateAfter24MmPerYear;
  std::optional<float> stemCementLastMm;
  std::optional<float> angleChangeLastDeg;
  std::optional<bool> overThreshold; // |subsidence at 24 months| >= StudyResult::thresholdMm

  // The courses for the cohort figure and the statistics, one point per
  // radiograph (at most 30); stemCement is empty for the older format.
  std::vector<CoursePoint> subsidence, stemCement;
  // Every radiograph's date (ISO 8601), in order, separated by blanks.
  std::string dates;

  // The series as read and prepared, when StudyOptions::keepPrepared.
  std::shared_ptr<const PreparedSeries> prepared;
};

enum class CohortSeries { Subsidence, StemCement };

// One row of cohort.csv: the interpolated changes of the patients whose
// course reaches the follow-up time. With n = 0 every value is empty, with
// n = 1 the standard deviation and the interval are.
struct CohortRow {
  CohortSeries series = CohortSeries::Subsidence;
  double followUpMonths = 0;
  int n = 0;
  std::optional<double> mean, sd, median, min, max, ci95Low, ci95High;
};

// A data file, or a path, that gave no summary, and why (the message names
// the file, as the exporter gives it).
struct RejectedFile {
  std::string file; // as in PatientSummary::file; empty for a folder or path that gave no file
  std::string reason;
};

struct StudyResult {
  std::vector<std::string> folders;     // as given
  std::vector<PatientSummary> patients; // in the order the files were found
  std::vector<CohortRow> cohort;        // subsidence rows, then stem/cement rows, by follow-up time
  std::vector<RejectedFile> rejected;   // in the order the files were found
  int skipped = 0;                      // entries with a data file's name that are no regular file
  bool cancelled = false;               // stopped early: patients and cohort are incomplete
  // The threshold the patients are flagged by.
  double thresholdMm = kStartThresholdMm;
};

// Called after each data file with the files done so far and their total;
// from the study's worker threads, never two calls at once, `done` rising.
using StudyProgress = std::function<void(std::size_t done, std::size_t total)>;

// Takes the rows of long.csv of each file summarised, CR LF ended, in the
// order of StudyResult::patients; from the workers, never two calls at once.
// The rows grow with the study, so they go out as they come, never kept.
using LongRowsSink = std::function<void(std::string_view rows)>;

// Runs a study over `folders` (folders or single data files). Files are
// read side by side on the machine's cores; a rejected file never stops the
// others. Setting `*cancel` makes it stop after the files in hand.
StudyResult RunStudy(const std::vector<std::string>& folders, const StudyOptions& options,
                     const StudyProgress& progress = {}, const std::atomic<bool>* cancel = nullptr,
                     const LongRowsSink& longRows = {});

// The summary of one prepared series; `file` and `path` name it.
PatientSummary SummarisePatient(const PreparedSeries& prepared, const std::string& path,
                                const std::string& file, const StudyOptions& options);

// Flags every patient by `thresholdMm` instead of the threshold the study
// was run with, as if it had been run with this one.
void FlagOverThreshold(StudyResult& result, double thresholdMm);

// The change of a course at `months`: linear between the two points whose
// months enclose it, exact on a point; empty past the course's end.
std::optional<double> ChangeAt(const std::vector<CoursePoint>& course, double months);

// The statistics at each follow-up time, subsidence first, then the
// stem/cement interface over the patients that have it.
std::vector<CohortRow> CohortStatistics(const std::vector<PatientSummary>& patients,
                                        const std::vector<double>& followUpMonths);

} // namespace sinkview
