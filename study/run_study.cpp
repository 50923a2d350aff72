#include <algorithm>
#include <filesystem>
#include <memory>
#include <set>

#include "base/reader_text.h"
#include "base/work_pool.h"
#include "model/data_files.h"
#include "model/prepared_series.h"
#include "study/duplicates.h"
#include "study/hip_rows.h"
#include "study/long_rows.h"
#include "study/repeat_readings.h"
#include "study/search_problems.h"
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
  std::string dates;    // the radiographs', for finding a duplicate
  std::string longRows; // until handed to the sink
  std::string reason;
  std::string shownAs;             // the file's name in rejected.csv
  const PatientRow* row = nullptr; // the patients file's
};

// The cut-off the protocol gives; without one no radiograph is left out.
Cutoff GivenCutoff(const Protocol& protocol) {
  return protocol.cutoff.ok() ? Cutoff(protocol.cutoff) : std::nullopt;
}

// Reads, prepares and summarises one data file joined to its row of the
// patients file. Pseudonymised, no name of the file reaches the outcome.
Outcome ReadHip(const std::string& found, const std::string& name, const PatientRow* row, HipNumber number,
                const StudyOptions& options, bool pseudonymise, bool withLongRows) {
  Outcome outcome;
  outcome.row = row;
  outcome.shownAs = pseudonymise ? (outcome.row ? outcome.row->patient : "") : PlainUtf8(name);
  if ((options.patients || pseudonymise) && !outcome.row) {
    outcome.reason = (pseudonymise ? "a data file" : found) + ": no row in the patients file";
    return outcome;
  }
  // The series lives only while it is summarised, unless kept for a report.
  std::optional<ContentDigest> digest;
  if (auto loaded = LoadPreparedFile(found, options.settings, GivenCutoff(options.protocol),
                                     [&](std::string_view bytes) { digest = DigestOf(bytes); })) {
    PatientSummary hip = SummarisePatient(*loaded, found, name);
    hip.digest = digest;
    outcome.dates = RadiographDates(loaded->model);
    if (!AsNumbered(number, hip.side)) {
      outcome.reason = found +
                       ": the file changed while the study read it (its side is no longer the one its "
                       "hip was numbered by); run the study again";
    } else if (auto applied = ApplyPatientRow(hip, outcome.row, pseudonymise, number.number); !applied) {
      outcome.reason = applied.error().message;
    } else {
      if (withLongRows)
        outcome.longRows = LongRows(*loaded, LongRowPrefix(hip.file, hip.patient, hip.group),
                                    StudyDays(hip.course, hip.events.surgery), Segments(hip.course));
      if (options.keepPrepared) {
        // A report's patient page shows the series' name: pseudonymised, the hip's.
        if (pseudonymise) loaded->model.PatientCode = hip.file;
        hip.prepared = std::make_shared<const PreparedSeries>(std::move(*loaded));
      }
      outcome.summary = std::move(hip);
    }
  } else {
    outcome.reason = loaded.error().message;
  }
  if (pseudonymise)
    outcome.reason =
        WithoutQuotedFields(Renamed(Renamed(outcome.reason, found, outcome.shownAs), name, outcome.shownAs));
  return outcome;
}

// The groups in the patients file's order, then any other a hip is in.
std::vector<std::string> GroupsOf(const StudyOptions& options, const std::vector<PatientSummary>& hips) {
  std::vector<std::string> groups;
  const auto add = [&](const std::string& group) {
    if (std::find(groups.begin(), groups.end(), group) == groups.end()) groups.push_back(group);
  };
  if (options.patients)
    for (const std::string& group : options.patients->groups)
      add(group.empty() ? std::string(kOneGroup) : group);
  for (const PatientSummary& hip : hips) add(hip.group);
  if (groups.empty()) groups.emplace_back(kOneGroup);
  return groups;
}

// The latest radiograph of the study: the cut-off where none is given.
CalendarDate LatestRadiograph(const std::vector<PatientSummary>& hips) {
  CalendarDate latest{};
  for (const PatientSummary& hip : hips)
    if (!hip.course.dates.empty() && (!latest.ok() || hip.course.dates.back() > latest))
      latest = hip.course.dates.back();
  return latest;
}

// Patients counted by their identifier, each hip's own where it has none.
int CountPatients(const std::vector<PatientSummary>& hips) {
  std::set<std::string> patients;
  for (const PatientSummary& hip : hips) patients.insert(hip.patient);
  return static_cast<int>(patients.size());
}

} // namespace

std::string AfterCutoffText(const StudyResult& result) {
  if (result.radiographsAfterCutoff == 0) return {};
  return CountText(static_cast<std::size_t>(result.radiographsAfterCutoff), "radiograph") +
         " after the cut-off left out";
}

Protocol StudyProtocol(const StudyOptions& options) {
  Protocol protocol = options.protocol;
  protocol.thresholdMm = options.thresholdMm;
  protocol.settings = options.settings;
  return protocol;
}

StudyResult RunStudy(const std::vector<std::string>& folders, const StudyOptions& options,
                     const StudyProgress& progress, const std::atomic<bool>* cancel,
                     const LongRowsSink& longRows) {
  StudyResult result;
  result.folders = folders;
  result.thresholdMm = options.thresholdMm;
  result.protocolDigest = options.protocolDigest;
  result.patientsDigest = options.patientsDigest;
  DataFileSearch search = FindDataFiles(folders, options.recursive);
  // A second reading is never a hip of the study, wherever its folder lies.
  const std::string& repeatFolder = options.protocol.repeatReadings;
  if (!repeatFolder.empty())
    std::erase_if(search.files, [&](const std::string& file) { return LiesIn(file, repeatFolder); });
  RejectSearchProblems(search.problems, options.protocol.pseudonymise, result.rejected);
  result.skipped = search.skipped;
  result.protocol = StudyProtocol(options);
  const PatientRowIndex rows(options.patients);

  const std::vector<std::string>& files = search.files;
  const std::optional<fs::path> root = NamingRoot(folders);
  std::vector<std::string> names;
  std::vector<const PatientRow*> fileRows;
  for (const std::string& file : files) {
    names.push_back(StudyFileName(file, root));
    fileRows.push_back(rows.Find(names.back()));
  }
  // Pseudonymised, two hips of one patient and side are told apart by a
  // number; plain, by their files' names.
  const std::vector<HipNumber> numbers =
      result.protocol.pseudonymise ? HipNumbers(files, fileRows) : std::vector<HipNumber>(files.size());
  DuplicateSeries duplicates;
  std::set<const PatientRow*> joined;
  result.patients.reserve(files.size());
  // Each file's outcome is waited for on the heap: the queue of those not
  // yet handed on holds a pointer per file, never a whole outcome.
  const auto readOne = [&](std::size_t i) {
    return std::make_unique<Outcome>(ReadHip(files[i], names[i], fileRows[i], numbers[i], options,
                                             result.protocol.pseudonymise, static_cast<bool>(longRows)));
  };
  // Outcomes are handed on in the order of the files: only there is the
  // first of two files with one series known, before its rows go out. Only
  // the rows of files finished ahead of a slower one wait, a few per worker.
  const auto keep = [&](std::size_t i, std::unique_ptr<Outcome>&& outcome) {
    joined.insert(outcome->row);
    if (outcome->summary) {
      if (const auto first = duplicates.FirstOf(*outcome->summary, outcome->dates, result.patients.size())) {
        // Pseudonymised, the hips are named as the files name them.
        const bool named = !result.protocol.pseudonymise;
        outcome->reason =
            DuplicateReason(named ? files[i] : outcome->summary->file, result.patients[*first].file);
        outcome->summary.reset();
      } else if (longRows) {
        longRows(outcome->longRows);
      }
    }
    if (outcome->summary) {
      result.radiographsAfterCutoff += outcome->summary->radiographsAfterCutoff;
      result.patients.push_back(std::move(*outcome->summary));
    } else {
      result.rejected.push_back({outcome->shownAs, PlainUtf8(outcome->reason)});
    }
  };
  result.cancelled =
      RunInOrder<std::unique_ptr<Outcome>>(files.size(), readOne, keep, {cancel, progress}) < files.size();
  duplicates = DuplicateSeries(); // only the reading looks for copies: its index goes

  if (options.patients && !result.cancelled) {
    for (const PatientRow& row : options.patients->rows) {
      if (joined.count(&row)) continue;
      const std::string shown = result.protocol.pseudonymise ? row.patient : row.file;
      result.rejected.push_back({shown, "line " + std::to_string(row.line) + " of the patients file (" +
                                            shown + "): no data file of that name"});
    }
  }
  if (!result.protocol.cutoff.ok()) result.protocol.cutoff = LatestRadiograph(result.patients);
  if (!repeatFolder.empty() && root && !result.cancelled)
    result.repeat =
        ReadRepeatReadings(result.patients, root->native(), repeatFolder, options.settings,
                           GivenCutoff(options.protocol), result.protocol.pseudonymise, result.rejected);
  // Past the visits only they are needed; the radiographs go.
  for (PatientSummary& hip : result.patients) {
    ApplyVisits(hip, result.protocol);
    hip.course = HipCourse{};
  }
  const std::optional<PatternRule> pattern = PatternRuleOf(result.protocol, result.repeat);
  if (pattern)
    for (PatientSummary& hip : result.patients) hip.pattern = PatternOf(hip.visits, *pattern);
  result.groups = GroupsOf(options, result.patients);
  if (options.patients) result.covariates = options.patients->covariates;
  result.patientCount = CountPatients(result.patients);
  result.cohort = CohortStatistics(result.patients, result.protocol, result.groups);
  result.flow = StudyFlow(result.patients, result.protocol, result.groups);
  result.bands = PrimaryBands(result.patients, result.groups);
  if (pattern) {
    const std::vector<BandRow> patterns = PatternRows(result.patients, result.groups);
    result.bands.insert(result.bands.end(), patterns.begin(), patterns.end());
  }
  return result;
}

} // namespace sinkview
