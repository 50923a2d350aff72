#pragma once

#include <chrono>
#include <functional>
#include <optional>
#include <string>
#include <string_view>

#include "base/expected.h"
#include "model/model.h"

namespace sinkview {

enum class ReadErrorCode {
  CannotOpen,       // the file cannot be opened or read
  NotText,          // binary content or far too large for a data file
  NoRecord,         // nothing but blank space
  EndInsideRecord,  // the file ends before a record is complete
  NotANumber,       // a number field holds something else
  BadDate,          // a date that is not yyyymmdd / yymmdd or not a real day
  BadMagnification, // a magnification outside kMinMagnification to kMaxMagnification
  TooManyRecords,   // more than 30 radiographs
  UnclosedQuote,    // a text field's quote runs past its field
  TooManyFields,    // fields do not line up with the record's items (a decimal comma)
  MixedFormats,     // records with and records without the stem/cement value
  TwoHips,          // records of two sides or two patient codes
  OutOfRange,       // a distance or an angle no radiograph can show
  AllAfterCutoff,   // every record dated after a study's cut-off
};

// The magnifications a radiograph can have; anything outside is a fault of
// the file, and values near 0 would turn every corrected length infinite.
inline constexpr float kMinMagnification = 0.5f;
inline constexpr float kMaxMagnification = 2.0f;

// What a radiograph can show: a value beyond these is a fault of the file
// (a huge value would swamp a cohort's mean, a far year draw a huge axis).
inline constexpr float kMaxDistanceMm = 1000;
inline constexpr float kMaxAngleDegrees = 180;
inline constexpr int kFirstYear = 1900;
inline constexpr int kLastYear = 2100;

struct ReadError {
  ReadErrorCode code = ReadErrorCode::CannotOpen;
  std::string message; // names the file, and the record and item where they apply
};

// A data file as read: the series at image scale, with no analysis run.
using ReadResult = Expected<MeasurementModel, ReadError>;

// The title and text of the warning for a file of more than 30 radiographs.
inline constexpr std::string_view kOverflowTitle = "OVERFLOW";
inline constexpr std::string_view kOverflowText =
    "More than 30 x-rays. Only splitting of datafile will help.";

// The export file of a data file: its path with the last four characters
// (the point and the extension) replaced by ".num".
std::string NumFileNameFor(const std::string& dataFilePath);

// The path of a file in a folder, without a doubled separator at a root.
std::string DataFilePath(const std::string& folder, const std::string& fileName);

// A study's cut-off: the records dated after it are read as if the file did
// not hold them (each is still checked, so a bad record refuses the file),
// and counted in MeasurementModel::RecordsAfterCutoff. A file with none up
// to the cut-off is refused.
using Cutoff = std::optional<std::chrono::year_month_day>;

// Shown a file's bytes once they are read, before they are parsed: a study
// digests what it read there, not the file as it may be later.
using BytesRead = std::function<void(std::string_view bytes)>;

// Reads a measurement data file: the records into slots 1 to N, sorted by
// date, the time axis and the facts.
[[nodiscard]] ReadResult ReadDataFile(const std::string& path, const Cutoff& cutoff = std::nullopt,
                                      const BytesRead& bytesRead = {});

// The same for the file's contents; `path` only names the file in messages
// and gives the export file's name.
[[nodiscard]] ReadResult ParseDataText(std::string_view text, const std::string& path,
                                       const Cutoff& cutoff = std::nullopt);

// The day of the year before each month, without leap days (index 0 holds 0).
inline constexpr int kDaysBeforeMonth[13] = {0, 0, 31, 59, 90, 120, 151, 181, 212, 243, 273, 304, 334};

// The mean magnification cut down to two decimals, as the main window shows it.
double CutToHundredths(float value);

} // namespace sinkview
