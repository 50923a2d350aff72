#include "model/reader.h"

#include <algorithm>
#include <chrono>
#include <cmath>
#include <cstdio>
#include <limits>
#include <utility>

#include "base/numtext.h"
#include "base/reader_text.h"
#include "base/whole_file.h"
#include "model/field_stream.h"
#include "model/settings.h"

namespace sinkview {

namespace {

// A data file holds at most 30 short records; anything this large is not one.
constexpr std::size_t kMaxFileBytes = 64 * 1024 * 1024;

inline constexpr std::string_view kStemCementText = "subsidence stem/cement interface";

struct RecordValues {
  std::string name[3];
  std::string side;
  std::string date;
  bool stemCement = false; // the current format's value is there
};

class RecordReader {
public:
  RecordReader(FieldStream& in, const std::string& path) : in_(in), file_(ShownFileName(path)) {}

  void Start(int record) {
    record_ = record;
    suspect_ = {};
  }

  bool Line(const char* item) {
    if (in_.SkipLine()) return true;
    return EndInside(item);
  }
  bool Text(const char* item, std::string_view& out) {
    auto value = in_.ReadTextField();
    if (!value) {
      if (in_.QuoteUnclosed())
        return Fail(ReadErrorCode::UnclosedQuote, UnclosedQuote(in_.ItemStart(), item));
      return EndInside(item);
    }
    if (in_.TextAfterClosingQuote()) Suspect(Suspicion::Quote, item);
    out = *value;
    return true;
  }
  bool Text(const char* item, std::string& out) {
    std::string_view value;
    if (!Text(item, value)) return false;
    out.assign(value);
    return true;
  }
  bool Label(const char* item) {
    std::string_view text;
    if (!Text(item, text)) return false;
    DoubtNumber(text, item);
    return true;
  }
  // Where a number stands in a label's place, the record has a field too
  // many before it: most often a decimal comma.
  void DoubtNumber(std::string_view text, const char* item) {
    if (ParseNumber(text)) Suspect(Suspicion::NumberForLabel, item);
  }
  bool Number(const char* item, float& out) {
    auto token = in_.ReadNumberToken();
    if (!token) return EndInside(item);
    auto value = ParseNumber(*token);
    if (!value)
      return Fail(ReadErrorCode::NotANumber, Where(item) + ": " + QuotedField(*token) + " is not a number.");
    out = *value;
    return true;
  }
  // After the last item of a record its line must end.
  bool RecordEnds() {
    if (!in_.FieldFollowsOnItsLine()) return true;
    return Fail(ReadErrorCode::TooManyFields,
                At(in_.ItemStart()) + ": the record has too many fields (more follow its last value).");
  }
  // A failure after a field that did not line up is reported at that field,
  // where the fault lies.
  bool Fail(ReadErrorCode code, std::string message) {
    if (suspect_.what == Suspicion::Quote) {
      error_ = {ReadErrorCode::UnclosedQuote, UnclosedQuote(suspect_.position, suspect_.item)};
    } else if (suspect_.what == Suspicion::NumberForLabel) {
      error_ = {ReadErrorCode::TooManyFields,
                At(suspect_.position) + ": a number stands where " + suspect_.item +
                    " belongs: the record has too many fields (a decimal comma?)."};
    } else {
      error_ = {code, std::move(message)};
    }
    return false;
  }
  std::string Where(const char* item) const { return WhereIn(record_, item); }
  std::string WhereIn(int record, const char* item) const {
    return file_ + ": record " + std::to_string(record) + ", " + item;
  }
  const std::string& File() const { return file_; }
  const ReadError& error() const { return error_; }

private:
  enum class Suspicion { None, Quote, NumberForLabel };
  struct Doubt {
    Suspicion what = Suspicion::None;
    std::size_t position = 0;
    const char* item = "";
  };

  void Suspect(Suspicion what, const char* item) {
    if (suspect_.what == Suspicion::None) suspect_ = {what, in_.ItemStart(), item};
  }
  std::string At(std::size_t position) const {
    return file_ + ": record " + std::to_string(record_) + ", line " + std::to_string(in_.LineAt(position));
  }
  std::string UnclosedQuote(std::size_t position, const char* item) const {
    return At(position) + ": the quote that opens " + item + " is not closed.";
  }
  bool EndInside(const char* item) {
    return Fail(ReadErrorCode::EndInsideRecord,
                file_ + ": the file ends inside record " + std::to_string(record_) + " (at " + item + ").");
  }

  FieldStream& in_;
  const std::string file_;
  int record_ = 0;
  Doubt suspect_;
  ReadError error_;
};

bool AllDigits(std::string_view s) {
  for (char c : s) {
    if (c < '0' || c > '9') return false;
  }
  return true;
}

int Digits(std::string_view s) {
  int value = 0;
  for (char c : s) value = value * 10 + (c - '0');
  return value;
}

bool ReadDate(RecordReader& r, const std::string& text, MeasurementModel& m, int k) {
  // A view, not a copy: a field of a million blanks is passed over once.
  std::string_view date = text;
  date.remove_prefix(std::min(date.find_first_not_of(' '), date.size()));
  const std::string full = date.size() == 6 ? "19" + std::string(date) : std::string(date.substr(0, 9));
  if (full.size() != 8 || !AllDigits(full)) {
    return r.Fail(ReadErrorCode::BadDate, r.Where("the date") + ": " + QuotedField(text) +
                                              " is not a date of the form yyyymmdd or yymmdd.");
  }
  const int year = Digits(std::string_view(full).substr(0, 4));
  const int month = Digits(std::string_view(full).substr(4, 2));
  const int day = Digits(std::string_view(full).substr(6, 2));
  if (year < kFirstYear || year > kLastYear) {
    return r.Fail(ReadErrorCode::BadDate, r.Where("the date") + ": the year of " + QuotedField(text) +
                                              " is not between " + std::to_string(kFirstYear) + " and " +
                                              std::to_string(kLastYear) + ".");
  }
  if (month < 1 || month > 12) {
    return r.Fail(ReadErrorCode::BadDate,
                  r.Where("the date") + ": the month of " + QuotedField(text) + " is not between 1 and 12.");
  }
  if (!std::chrono::year_month_day{std::chrono::year(year), std::chrono::month(static_cast<unsigned>(month)),
                                   std::chrono::day(static_cast<unsigned>(day))}
           .ok()) {
    return r.Fail(ReadErrorCode::BadDate, r.Where("the date") + ": the day of " + QuotedField(text) +
                                              " does not exist in that month.");
  }
  m.DateKey[k] = Digits(full);
  m.DateYear[k] = static_cast<float>(year);
  m.DateMonth[k] = static_cast<float>(month);
  m.DateDay[k] = static_cast<float>(day);
  return true;
}

// A number and the range its kind of value can have.
struct Kind {
  const char* name; // "a distance"
  float min, max;
  const char* unit; // "" or " mm"
  ReadErrorCode outside;
};

constexpr Kind kMagnification{"a magnification", kMinMagnification, kMaxMagnification, "",
                              ReadErrorCode::BadMagnification};
// Every distance, the subsidences and the control lengths included, is in mm.
constexpr Kind kDistance{"a distance", -kMaxDistanceMm, kMaxDistanceMm, " mm", ReadErrorCode::OutOfRange};
constexpr Kind kAngle{"an angle", -kMaxAngleDegrees, kMaxAngleDegrees, " degrees", ReadErrorCode::OutOfRange};

bool ReadValue(RecordReader& r, const Kind& kind, const char* item, float& out) {
  if (!r.Number(item, out)) return false;
  if (out >= kind.min && out <= kind.max) return true;
  return r.Fail(kind.outside, r.Where(item) + ": " + kind.name + " must lie between " + LabelText(kind.min) +
                                  " and " + LabelText(kind.max) + kind.unit + ", not " + LabelText(out) +
                                  ".");
}

bool ReadRecord(RecordReader& r, MeasurementModel& m, int k, RecordValues& v) {
  float unused = 0;
  return r.Line("the heading line") && r.Text("the patient's name", v.name[0]) &&
         r.Text("the patient's first name", v.name[1]) && r.Text("the patient's code", v.name[2]) &&
         r.Label("the date line") && r.Text("the date", v.date) && ReadDate(r, v.date, m, k) &&
         r.Label("the side line") && r.Text("the side", v.side) &&
         r.Label("the label of the head-radius magnification") &&
         ReadValue(r, kMagnification, "the magnification by head radius", m.MagnificationHeadRadius[k]) &&
         r.Label("the label of the stem-length magnification") &&
         ReadValue(r, kMagnification, "the magnification by stem length", m.MagnificationStemLength[k]) &&
         r.Line("the comment line") && r.Label("the medial line") &&
         r.Number("the first medial number", unused) &&
         ReadValue(r, kDistance, "medial distance 1", m.MedialDistance1[k]) &&
         ReadValue(r, kDistance, "medial distance 2", m.MedialDistance2[k]) &&
         ReadValue(r, kDistance, "medial distance 3", m.MedialDistance3[k]) &&
         ReadValue(r, kDistance, "medial distance 4", m.MedialDistance4[k]) && r.Label("the lateral line") &&
         r.Number("the first lateral number", unused) &&
         ReadValue(r, kDistance, "lateral distance 5", m.LateralDistance5[k]) &&
         ReadValue(r, kDistance, "lateral distance 6", m.LateralDistance6[k]) &&
         ReadValue(r, kDistance, "lateral distance 7", m.LateralDistance7[k]) &&
         ReadValue(r, kDistance, "lateral distance 8", m.LateralDistance8[k]) && r.Label("the angle line") &&
         ReadValue(r, kAngle, "the bone/stem angle", m.BoneStemAngle[k]) && r.Label("the subsidence label") &&
         ReadValue(r, kDistance, "the subsidence head center - minor trochanter", m.HeadMinorDistance[k]) &&
         ReadValue(r, kDistance, "the subsidence head center - major trochanter", m.HeadMajorDistance[k]) &&
         ReadValue(r, kDistance, "the subsidence stem shoulder - minor trochanter",
                   m.ShoulderMinorDistance[k]) &&
         ReadValue(r, kDistance, "the subsidence stem shoulder - major trochanter",
                   m.ShoulderMajorDistance[k]);
}

bool ReadStemCementAndComparability(RecordReader& r, MeasurementModel& m, int k, RecordValues& v) {
  std::string_view text;
  if (!r.Text("the stem/cement line", text)) return false;
  if (text == kStemCementText) {
    if (!ReadValue(r, kDistance, "the stem/cement subsidence", m.StemCementDistance[k])) return false;
    m.HasStemCementData = v.stemCement = true;
  } else {
    // A record without the value holds 0, not a value of an earlier file.
    m.StemCementDistance[k] = 0;
    r.DoubtNumber(text, "the stem/cement line");
  }
  return r.Label("the control-length line") &&
         ReadValue(r, kDistance, "control length 1", m.ComparabilityMeasure1[k]) &&
         ReadValue(r, kDistance, "control length 2", m.ComparabilityMeasure2[k]) &&
         r.Label("the label of control length 3") &&
         ReadValue(r, kDistance, "control length 3", m.ComparabilityMeasure3[k]);
}

bool IsRight(std::string_view side) { return side == "r" || side == "R"; }

std::string_view WithoutOuterBlanks(std::string_view s) {
  s.remove_prefix(std::min(s.find_first_not_of(" \t"), s.size()));
  s.remove_suffix(s.size() - (s.find_last_not_of(" \t") + 1));
  return s;
}

// The records of a file are radiographs of one hip, in one format: a value
// missing from one record would otherwise be corrected as a 0, and a second
// hip be merged under the last record's name.
Expected<void, ReadError> LikeTheFirst(const RecordReader& r, const RecordValues& first,
                                       const RecordValues& v, int k) {
  const auto refuse = [&](ReadErrorCode code, int record, const char* item, const std::string& what) {
    return Unexpected(ReadError{code, r.WhereIn(record, item) + ": " + what + "."});
  };
  if (v.stemCement != first.stemCement) {
    const int without = v.stemCement ? 1 : k;
    return refuse(ReadErrorCode::MixedFormats, without, "the stem/cement line",
                  "the record has no stem/cement value while record " + std::to_string(k + 1 - without) +
                      " has one; a data file is of one format");
  }
  const auto sideOf = [](const std::string& side) {
    return QuotedField(side) + (IsRight(side) ? " (right)" : " (left)");
  };
  if (IsRight(v.side) != IsRight(first.side)) {
    return refuse(ReadErrorCode::TwoHips, k, "the side",
                  sideOf(v.side) + " differs from record 1's " + sideOf(first.side) +
                      "; a data file holds the radiographs of one hip");
  }
  if (WithoutOuterBlanks(v.name[2]) != WithoutOuterBlanks(first.name[2])) {
    return refuse(ReadErrorCode::TwoHips, k, "the patient's code",
                  QuotedField(v.name[2]) + " differs from record 1's " + QuotedField(first.name[2]) +
                      "; a data file holds the radiographs of one hip");
  }
  return {};
}

// The values a record fills in, besides its date key and the scaled series.
constexpr std::array<Series MeasurementModel::*, 6> kRecordSeries = {
    &MeasurementModel::DateYear,
    &MeasurementModel::DateMonth,
    &MeasurementModel::DateDay,
    &MeasurementModel::MagnificationHeadRadius,
    &MeasurementModel::MagnificationStemLength,
    &MeasurementModel::BoneStemAngle};

void ExchangeSlots(MeasurementModel& m, int i, int j) {
  std::swap(m.DateKey[i], m.DateKey[j]);
  for (auto series : kRecordSeries) std::swap((m.*series)[i], (m.*series)[j]);
  for (auto series : kScaledSeries) std::swap((m.*series)[i], (m.*series)[j]);
}

// The slot as if no record had been read into it.
void ClearSlot(MeasurementModel& m, int k) {
  m.DateKey[k] = 0;
  for (auto series : kRecordSeries) (m.*series)[k] = 0;
  for (auto series : kScaledSeries) (m.*series)[k] = 0;
}

std::string IsoText(const std::chrono::year_month_day& date) {
  char text[16];
  std::snprintf(text, sizeof text, "%04d-%02u-%02u", static_cast<int>(date.year()),
                static_cast<unsigned>(date.month()), static_cast<unsigned>(date.day()));
  return text;
}

int DateKeyOf(const std::chrono::year_month_day& date) {
  return static_cast<int>(date.year()) * 10000 + static_cast<int>(static_cast<unsigned>(date.month())) * 100 +
         static_cast<int>(static_cast<unsigned>(date.day()));
}

void SortByDate(MeasurementModel& m) {
  const int n = m.RadiographCount;
  for (int i = 1; i <= n - 1; ++i) {
    for (int j = i + 1; j <= n; ++j) {
      if (m.DateKey[i] > m.DateKey[j]) ExchangeSlots(m, i, j);
    }
  }
}

void BuildTimeAxis(MeasurementModel& m) {
  const int n = m.RadiographCount;
  for (int k = 1; k <= n; ++k) {
    const int month = static_cast<int>(RoundHalfEven(m.DateMonth[k]));
    m.DayNumber[k] = m.DateYear[k] * 365 + static_cast<float>(kDaysBeforeMonth[month]) + m.DateDay[k];
    m.ElapsedDays[k] = m.DayNumber[k] - m.DayNumber[1];
  }
  // Radiographs of one day are set 0.1 day apart; for three or more of one
  // day each is set 0.1 after its predecessor, so that no two times are equal.
  for (int k = 2; k <= n; ++k) {
    if (m.ElapsedDays[k] <= m.ElapsedDays[k - 1]) {
      m.ElapsedDays[k] = static_cast<float>(static_cast<double>(m.ElapsedDays[k - 1]) + 0.1);
    }
  }
}

} // namespace

std::string DataFilePath(const std::string& folder, const std::string& fileName) {
  if (!folder.empty() && folder.back() == '/') return folder + fileName;
  return folder + "/" + fileName;
}

std::string NumFileNameFor(const std::string& dataFilePath) {
  const std::size_t keep = dataFilePath.size() >= 4 ? dataFilePath.size() - 4 : dataFilePath.size();
  return dataFilePath.substr(0, keep) + ".num";
}

double CutToHundredths(float value) { return std::floor(static_cast<double>(value) * 100.0) / 100.0; }

ReadResult ParseDataText(std::string_view text, const std::string& path, const Cutoff& cutoff) {
  if (text.find('\0') != std::string_view::npos) {
    return Unexpected(
        ReadError{ReadErrorCode::NotText,
                  ShownFileName(path) + ": this is not a measurement data file (it holds binary data)."});
  }
  MeasurementModel m;
  m.NumFileName = NumFileNameFor(path);
  float sumHead = 0, sumStem = 0;
  RecordValues first, last;

  FieldStream in(text);
  RecordReader reader(in, path);
  const int lastKey = cutoff ? DateKeyOf(*cutoff) : std::numeric_limits<int>::max();
  // Records are numbered as the file holds them; slots only for those kept.
  for (int record = 1; !in.AtEndOfData(); ++record) {
    if (record > kMaxRadiographs) {
      return Unexpected(ReadError{ReadErrorCode::TooManyRecords, std::string(kOverflowText)});
    }
    const int k = m.RadiographCount + 1;
    m.RadiographCount = static_cast<std::int16_t>(k);
    reader.Start(record);
    RecordValues values;
    if (!ReadRecord(reader, m, k, values) || !ReadStemCementAndComparability(reader, m, k, values) ||
        !reader.RecordEnds()) {
      return Unexpected(reader.error());
    }
    if (record == 1) {
      first = values;
    } else if (auto alike = LikeTheFirst(reader, first, values, record); !alike) {
      return Unexpected(alike.error());
    }
    if (m.DateKey[k] > lastKey) {
      ClearSlot(m, k);
      m.RadiographCount = static_cast<std::int16_t>(k - 1);
      ++m.RecordsAfterCutoff;
      continue;
    }
    sumHead += m.MagnificationHeadRadius[k];
    sumStem += m.MagnificationStemLength[k];
    last = std::move(values);
  }
  const int n = m.RadiographCount;
  if (n == 0 && m.RecordsAfterCutoff > 0) {
    return Unexpected(ReadError{ReadErrorCode::AllAfterCutoff,
                                reader.File() +
                                    ": every radiograph of the file is dated after the cut-off, " +
                                    IsoText(*cutoff) + ", so the hip has none yet."});
  }
  if (n == 0) {
    return Unexpected(ReadError{ReadErrorCode::NoRecord, reader.File() + ": the file holds no record."});
  }
  if (!std::isfinite(sumHead) || !std::isfinite(sumStem)) {
    return Unexpected(ReadError{ReadErrorCode::BadMagnification,
                                reader.File() + ": the magnification values are too large to be averaged."});
  }

  SortByDate(m);
  BuildTimeAxis(m);
  // A line end inside a quoted name must not break the lines it is shown in.
  m.PatientCode = WithoutControlCharacters(last.name[0] + " " + last.name[1] + " " + last.name[2]);
  m.ProsthesisSide = IsRight(last.side) ? "right" : "left";
  m.ObservationMonths = static_cast<float>(RoundHalfEven(MonthsForDays(m.ElapsedDays[n])));
  const float meanHead = static_cast<float>(static_cast<double>(sumHead) / n);
  const float meanStem = static_cast<float>(static_cast<double>(sumStem) / n);
  m.MeanHeadRadiusMagnification = meanHead;
  m.MeanHeadRadiusFactor = static_cast<float>(1.0 / meanHead);
  m.MeanStemLengthFactor = static_cast<float>(1.0 / meanStem);
  return m;
}

ReadResult ReadDataFile(const std::string& path, const Cutoff& cutoff, const BytesRead& bytesRead) {
  const WholeFile file = ReadWholeFile(path, kMaxFileBytes);
  const std::string shown = ShownFileName(path);
  switch (file.problem) {
  case WholeFile::Problem::None:
    break;
  case WholeFile::Problem::Missing:
  case WholeFile::Problem::CannotRead:
    return Unexpected(ReadError{ReadErrorCode::CannotOpen,
                                shown + ": the file cannot be opened (" + ErrorText(file.error) + ")."});
  case WholeFile::Problem::NotRegular:
    return Unexpected(
        ReadError{ReadErrorCode::CannotOpen,
                  shown + ": not a regular file (a folder, a pipe or a device) but a data file."});
  case WholeFile::Problem::TooLarge:
    return Unexpected(ReadError{ReadErrorCode::NotText,
                                shown + ": the file is far too large for a measurement data file."});
  case WholeFile::Problem::NoEnd:
    return Unexpected(ReadError{ReadErrorCode::CannotOpen,
                                shown + ": the file does not come to an end when read (a kernel interface?), "
                                        "so it is no data file."});
  }
  if (bytesRead) bytesRead(file.text);
  return ParseDataText(file.text, path, cutoff);
}

} // namespace sinkview
