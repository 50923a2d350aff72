#pragma once

// A study's protocol: its groups, visits with their windows and the events of
// each hip, as study.toml and the patients file give them. Plain C++, no Qt.

#include <array>
#include <chrono>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "model/settings.h"

namespace sinkview {

using CalendarDate = std::chrono::year_month_day;

// One planned visit: its target and its window, in months since surgery,
// [from, to): the end is the next window's.
struct Visit {
  std::string name;
  double months = 0;
  std::array<double, 2> windowMonths{};
  friend bool operator==(const Visit&, const Visit&) = default;
};

enum class ValueAtVisit { Nearest, Interpolate };
// The mixed model's correlation of a hip's values: one per two visits with a
// variance per visit, or one random intercept per hip.
enum class ModelStructure { Unstructured, RandomIntercept };
// The result the report puts first: the model's difference or Welch's.
enum class PrimaryAnalysis { Model, Welch };

// The study's one group when the patients file names none.
inline constexpr std::string_view kOneGroup = "all";

// 3, 6, 12, 24 months, then yearly to 5 years, 7 and 10 years, each window
// reaching to the next one's. Windows are half-open, [from, to): a
// radiograph on a bound two windows share is the later visit's.
std::vector<Visit> DefaultVisits();
inline constexpr std::string_view kDefaultPrimaryVisit = "24 months";
inline std::vector<double> DefaultSurvivalYears() { return {1, 2, 5, 10}; }

// The protocol as applied: every key filled in, defaults included.
struct Protocol {
  std::string title;
  CalendarDate cutoff{};    // data cut-off; a visit whose window closes after it is not yet due
  std::string patientsFile; // absolute or relative to the working folder; empty: none
  std::string primaryVisit{kDefaultPrimaryVisit}; // a visit's name
  double thresholdMm = 1.5;                       // at the primary visit
  std::array<double, 2> bandsMm{0.5, 1.5};
  ValueAtVisit valueAtVisit = ValueAtVisit::Nearest;
  // The random intercept until the unstructured fit is fast enough for a
  // large study: on 1,000 hips at 8 visits nlme's gls ran past R's time
  // limit, so that study would have had no model at all.
  ModelStructure model = ModelStructure::RandomIntercept;
  PrimaryAnalysis primaryAnalysis = PrimaryAnalysis::Model;
  std::array<int, 2> baselineDays{0, 42}; // surgery to first radiograph, bounds included
  Settings settings;                      // reference point, trochanter and time limit as applied
  bool pseudonymise = false;
  // rising, windows [from, to) apart (or touching) holding their target
  std::vector<Visit> visits = DefaultVisits();
  // The patients file's covariate columns as the protocol lists them; the
  // file may then have no other column of its own. None: every column of
  // its own that is not a likely typo of a known one.
  std::optional<std::vector<std::string>> covariates;

  // Used by the precision follow-up; carried through as read.
  std::string repeatReadings;                              // folder; empty: none
  std::optional<std::array<std::string, 2>> patternVisits; // visit names
  std::optional<double> detectionLimitMm;
  // The times, in years after surgery, of the survival estimates; rising.
  std::vector<double> survivalYears = DefaultSurvivalYears();
  friend bool operator==(const Protocol&, const Protocol&) = default;
};

// The visit named the primary one; null when no visit has its name.
const Visit* PrimaryVisitOf(const Protocol& protocol);

// One row of the patients file.
struct PatientRow {
  std::string file;  // the data file, relative to the study folder
  std::string group; // empty: the study's one group
  std::optional<CalendarDate> surgery, revision, death, withdrawn;
  std::string excluded;                    // the reason; empty when the hip takes part
  std::string patient;                     // empty: the identification in the data file
  std::vector<std::string> covariates;     // in the order of PatientsFile::covariates
  int line = 0;                            // in the patients file, for messages
  std::optional<CalendarDate> lastContact; // seen or called after the last radiograph
  friend bool operator==(const PatientRow&, const PatientRow&) = default;
};

struct PatientsFile {
  std::vector<std::string> covariates; // the columns beyond the known ones, in file order
  std::vector<PatientRow> rows;        // in file order
  std::vector<std::string> groups;     // in the order of first appearance
  friend bool operator==(const PatientsFile&, const PatientsFile&) = default;
};

} // namespace sinkview
