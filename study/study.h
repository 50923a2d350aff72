#pragma once

// A follow-up study: every data file of one or more folders read and
// prepared as the windows do, summarised per patient, and the cohort's
// statistics at the follow-up times. Plain C++, no Qt; the command-line
// program and the study window both run it.

#include <array>
#include <atomic>
#include <cstddef>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "base/content_digest.h"
#include "model/model.h"
#include "model/prepared_series.h"
#include "model/settings.h"
#include "protocol/protocol.h"
#include "study/describe.h"
#include "study/precision.h"
#include "study/visits.h"

namespace sinkview {

inline constexpr double kStartThresholdMm = 1.5;
inline constexpr std::string_view kBandClassification = "band", kPatternClassification = "pattern";
// A stem whose change between the pattern's visits exceeds the detection
// limit keeps migrating; the others have stabilised.
inline constexpr std::array<std::string_view, 2> kPatterns = {"continuous", "stabilised"};

// What a study is run with.
struct StudyOptions {
  Settings settings; // each file is read and prepared with them
  bool recursive = false;
  double thresholdMm = kStartThresholdMm;
  // The protocol as applied; its settings and threshold are those above.
  Protocol protocol;
  std::optional<PatientsFile> patients; // none without a patients file
  // study.toml's and the patients file's bytes as read; none without them.
  std::optional<ContentDigest> protocolDigest, patientsDigest;
  // Keeps each patient's prepared series for the report's pages, so that
  // they show what was read with the rest; off, a study runs in flat
  // memory however many files it has.
  bool keepPrepared = false;
};

// The protocol a study runs to: the options' own, with their settings and
// threshold (the study window sets only those).
Protocol StudyProtocol(const StudyOptions& options);

// One row of summary.csv, for one data file that was read. A value that
// cannot be had (none at the primary visit, the older format, no change
// with one radiograph) is empty.
struct PatientSummary {
  std::string path;    // the data file as found, for opening it in the main window
  std::string file;    // relative to the study folder (the path as found when several were given);
                       // pseudonymised: the hip, as patient and L or R (P017-L2 a second one)
  std::string patient; // UTF-8: the patients file's, else the data file's identification
  std::string group;
  std::string side;   // "left" or "right"
  std::string format; // "current" (with stem/cement values) or "older"
  int radiographs = 0;
  int radiographsAfterCutoff = 0;  // in the file, left out as if not yet taken
  std::string surgeryDate;         // ISO 8601, yyyy-mm-dd; empty when not known
  std::string exclusion;           // the patients file's reason; empty when the hip takes part
  std::string firstDate, lastDate; // ISO 8601, yyyy-mm-dd
  // For the follow-up, once the radiographs are gone.
  std::optional<CalendarDate> lastRadiograph;
  std::optional<int> daysToFirstRadiograph;
  float observationMonths = 0; // as the table shows it
  int isolated = 0;            // incomparable radiographs
  int breaks = 0;              // segments started after the first radiograph
  // C(N) - C(1) of the subsidence series of the settings
  std::optional<float> subsidenceLastMm;
  std::optional<double> subsidencePrimaryMm; // at the protocol's primary visit
  std::optional<float> stemCementLastMm;
  std::optional<float> angleChangeLastDeg;
  std::optional<bool> overThreshold; // |subsidence at the primary visit| >= StudyResult::thresholdMm
  std::string_view band;             // of the primary visit's value; empty without one
  std::string_view pattern;          // continuous or stabilised; empty without both values or a limit
  std::vector<std::string> covariates;
  std::optional<ContentDigest> digest; // of the data file's bytes as the study read them

  // The hip's radiographs, until the visits are applied (RunStudy lets
  // them go then), and the hip at its baseline and at each visit of the
  // protocol.
  HipCourse course;
  HipEvents events;
  std::vector<VisitValue> visits;

  // The data file's own identification as a digest, never shown: a repeat
  // reading is checked against it where the patients file renames the hip.
  std::size_t identity = 0;

  // The series as read and prepared, when StudyOptions::keepPrepared.
  std::shared_ptr<const PreparedSeries> prepared;
};

// "subsidence" or "stem_cement", as the files name the series.
std::string_view SeriesName(CohortSeries series);
// The series in a table for reading ("subsidence", "stem/cement") and as a
// title ("Subsidence", "Stem/cement interface").
std::string_view SeriesLabel(CohortSeries series);
std::string_view SeriesTitle(CohortSeries series);

// One row of cohort.csv: the values of a group's hips at a visit.
struct CohortRow : Description {
  CohortSeries series = CohortSeries::Subsidence;
  std::string group, visit;
  double followUpMonths = 0; // the visit's target
};

// One row of flow.csv: what became of a group's hips at a visit (baseline
// first), and the study days of the values had.
struct FlowRow {
  std::string group, visit;
  double targetMonths = 0;
  int hips = 0;
  std::array<int, kVisitStatusCount> counts{}; // by VisitStatus
  Description days;
};

// One row of bands.csv: a group's hips in one band at the primary visit,
// or of one migration pattern.
struct BandRow {
  std::string group;
  std::string_view band;
  int n = 0, of = 0;
  std::optional<std::array<double, 2>> ci95; // fractions; none when no hip has a value
  std::string_view classification = kBandClassification;
};

// A second reading whose bytes were read (whether it was then refused or
// not), for inputs.csv.
struct SecondReadingFile {
  std::string path;
  std::string hipFile; // the first reading's PatientSummary::file
  ContentDigest digest;
};

// The agreement of the repeat readings with the first.
struct RepeatReadings {
  std::vector<ReadingPair> pairs;       // by hip, subsidence before stem/cement
  std::vector<AgreementRow> rows;       // subsidence, stem/cement
  std::vector<SecondReadingFile> files; // by hip
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
  Protocol protocol;                    // as applied, the cut-off filled in
  std::vector<std::string> groups;      // in the order of the patients file
  std::vector<std::string> covariates;  // the patients file's
  std::vector<CohortRow> cohort;        // subsidence rows, then stem/cement rows, by group and visit
  std::vector<FlowRow> flow;            // by group and visit
  std::vector<BandRow> bands;           // by group and band, then by group and pattern
  std::optional<RepeatReadings> repeat; // with repeat readings only
  int patientCount = 0;                 // distinct patients among the hips
  std::vector<RejectedFile> rejected;   // in the order the files were found
  int skipped = 0;                      // entries with a data file's name that are no regular file
  int radiographsAfterCutoff = 0;       // of the hips read, left out as if not yet taken
  // study.toml's and the patients file's bytes as read; none for a file not read.
  std::optional<ContentDigest> protocolDigest, patientsDigest;
  bool cancelled = false; // stopped early: patients and cohort are incomplete
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

// How many radiographs the cut-off left out, for the counts a study
// reports: "3 radiographs after the cut-off left out"; empty for none.
std::string AfterCutoffText(const StudyResult& result);

// Runs a study over `folders` (folders or single data files). Files are
// read side by side on the machine's cores; a rejected file never stops the
// others. Setting `*cancel` makes it stop after the files in hand.
StudyResult RunStudy(const std::vector<std::string>& folders, const StudyOptions& options,
                     const StudyProgress& progress = {}, const std::atomic<bool>* cancel = nullptr,
                     const LongRowsSink& longRows = {});

// The summary of one prepared series; `file` and `path` name it.
PatientSummary SummarisePatient(const PreparedSeries& prepared, const std::string& path,
                                const std::string& file);
// Every radiograph's date (ISO 8601), in the file's order, separated by
// blanks: what a duplicate's dates are compared by, made while the file is
// read and not kept with its hip.
std::string RadiographDates(const MeasurementModel& model);

// Flags every patient by `thresholdMm` instead of the threshold the study
// was run with, as if it had been run with this one.
void FlagOverThreshold(StudyResult& result, double thresholdMm);

// The hip's values at the visits and what summary.csv says of them.
void ApplyVisits(PatientSummary& hip, const Protocol& protocol);

// The statistics per group and visit, subsidence first, then the
// stem/cement interface over the hips that have it; excluded hips never
// count.
std::vector<CohortRow> CohortStatistics(const std::vector<PatientSummary>& hips, const Protocol& protocol,
                                        const std::vector<std::string>& groups);
std::vector<FlowRow> StudyFlow(const std::vector<PatientSummary>& hips, const Protocol& protocol,
                               const std::vector<std::string>& groups);
std::vector<BandRow> PrimaryBands(const std::vector<PatientSummary>& hips,
                                  const std::vector<std::string>& groups);

// The migration pattern: the two visits (the protocol's, else those of 12
// and 24 months) and the detection limit (the repeat readings' of the
// subsidence, else the protocol's); none without either.
struct PatternRule {
  std::array<std::size_t, 2> visits{}; // into PatientSummary::visits
  double limitMm = 0;
  bool limitOfRepeatReadings = false; // else the protocol's
};
std::optional<PatternRule> PatternRuleOf(const Protocol& protocol,
                                         const std::optional<RepeatReadings>& repeat);
// continuous when |value(B) - value(A)| > the limit, stabilised otherwise;
// empty without a value at both visits.
std::string_view PatternOf(const std::vector<VisitValue>& visits, const PatternRule& rule);
std::vector<BandRow> PatternRows(const std::vector<PatientSummary>& hips,
                                 const std::vector<std::string>& groups);

} // namespace sinkview
