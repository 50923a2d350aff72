#pragma once

// A study's repeat readings: a folder holding a second reading of some of
// its hips, each under the path its first reading has in the study folder.

#include <optional>
#include <string>
#include <vector>

#include "study/study.h"

namespace sinkview {

// Whether `file` lies in `folder` or below it.
bool LiesIn(const std::string& file, const std::string& folder);

// The second reading of the hip read from `hipPath`: the file under the
// path the hip has in `studyFolder`, below `repeatFolder`; none when there
// is no such file.
std::optional<std::string> SecondReadingPath(const std::string& hipPath, const std::string& studyFolder,
                                             const std::string& repeatFolder);

// Reads the second reading of every hip that has one, prepared with
// `settings` up to `cutoff` as the first was, pairs its radiographs with
// the first reading's as the study read it (the hip's course, never the
// file again) and measures the agreement. Radiographs without a partner,
// second readings without a first one or of another patient or side, and
// sub-folders that cannot be read go to `rejected`.
RepeatReadings ReadRepeatReadings(const std::vector<PatientSummary>& hips, const std::string& studyFolder,
                                  const std::string& repeatFolder, const Settings& settings,
                                  const Cutoff& cutoff, bool pseudonymise,
                                  std::vector<RejectedFile>& rejected);

} // namespace sinkview
