#pragma once

#include <string>

#include "base/expected.h"
#include "base/failure.h"
#include "model/model.h"
#include "model/reader.h"
#include "model/settings.h"

namespace sinkview {

// A series prepared for the diagrams, the table, the export and the study:
// the lengths corrected for magnification, the analyses run, the segments
// found, all with the settings it carries. It is made once from the series
// as read, which stays as it is, and only ever read afterwards; whoever
// draws or re-bases works on copies of its values.
struct PreparedSeries {
  Settings settings;
  MeasurementModel model;
  Flags segmentStarts{};
};

// Prepares the series `read` with `settings`; a value the windows or the
// export would show that overflows is refused, naming `dataFile`.
[[nodiscard]] Expected<PreparedSeries, Failure>
PrepareSeries(const MeasurementModel& read, const Settings& settings, const std::string& dataFile);

// Reads and prepares a data file as the windows do, up to a study's
// cut-off (model/reader.h), its bytes shown to `bytesRead`. The failure
// always names the file.
[[nodiscard]] Expected<PreparedSeries, Failure> LoadPreparedFile(const std::string& path,
                                                                 const Settings& settings,
                                                                 const Cutoff& cutoff = std::nullopt,
                                                                 const BytesRead& bytesRead = {});

// A read error's message, naming the file even where the reader's own text
// does not (the overflow warning).
std::string NamedReadError(const ReadError& error, const std::string& path);

// The subsidence series the diagrams and the table show, chosen by the
// reference point and the trochanter: corrected, or as measured (corrected
// for magnification only).
const Series& CorrectedSubsidence(const PreparedSeries& p);
const Series& RawSubsidence(const PreparedSeries& p);

} // namespace sinkview
