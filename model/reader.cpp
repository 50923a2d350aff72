#include "model/reader.h"

#include <cmath>
#include <utility>

#include "model/field_stream.h"
#include "model/numtext.h"
#include "model/whole_file.h"

namespace sinkview {

namespace {

// A data file holds at most 30 short records; anything this large is not one.
constexpr std::size_t kMaxFileBytes = 64 * 1024 * 1024;

inline constexpr std::string_view kStemCementText = "subsidence stem/cement interface";

struct RecordValues {
  std::string name[3];
  std::string side;
  std::string date;
};

class RecordReader {
public:
  RecordReader(FieldStream& in, const std::string& path) : in_(in), path_(path) {}

  void Start(int record) { record_ = record; }

  bool Line(const char* item) {
    if (in_.SkipLine()) return true;
    return EndInside(item);
  }
  bool Text(const char* item, std::string& out) {
    auto value = in_.ReadTextField();
    if (!value) return EndInside(item);
    out = std::move(*value);
    return true;
  }
  bool Label(const char* item) {
    std::string ignored;
    return Text(item, ignored);
  }
  bool Number(const char* item, float& out) {
    auto token = in_.ReadNumberToken();
    if (!token) return EndInside(item);
    auto value = ParseNumber(*token);
    if (!value) {
      const std::string shown = token->size() > 40 ? token->substr(0, 40) + "..." : *token;
      return Fail(ReadErrorCode::NotANumber, Where(item) + ": \"" + shown + "\" is not a number.");
    }
    out = *value;
    return true;
  }
  bool Fail(ReadErrorCode code, std::string message) {
    error_ = {code, std::move(message)};
    return false;
  }
  std::string Where(const char* item) const {
    return path_ + ": record " + std::to_string(record_) + ", " + item;
  }
  const ReadError& error() const { return error_; }

private:
  bool EndInside(const char* item) {
    return Fail(ReadErrorCode::EndInsideRecord,
                path_ + ": the file ends inside record " + std::to_string(record_) + " (at " + item + ").");
  }

  FieldStream& in_;
  const std::string& path_;
  int record_ = 0;
  ReadError error_;
};

bool AllDigits(const std::string& s) {
  for (char c : s) {
    if (c < '0' || c > '9') return false;
  }
  return true;
}

int DaysInMonth(int month) {
  static constexpr int days[13] = {0, 31, 29, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
  return days[month];
}

bool ReadDate(RecordReader& r, const std::string& text, MeasurementModel& m, int k) {
  std::string date = text;
  while (!date.empty() && date.front() == ' ') date.erase(date.begin());
  if (date.size() == 6) date = "19" + date;
  if (date.size() != 8 || !AllDigits(date)) {
    return r.Fail(ReadErrorCode::BadDate, r.Where("the date") + ": \"" + text.substr(0, 40) +
                                              "\" is not a date of the form yyyymmdd or yymmdd.");
  }
  const int year = std::stoi(date.substr(0, 4));
  const int month = std::stoi(date.substr(4, 2));
  const int day = std::stoi(date.substr(6, 2));
  if (month < 1 || month > 12) {
    return r.Fail(ReadErrorCode::BadDate,
                  r.Where("the date") + ": the month of \"" + text + "\" is not between 1 and 12.");
  }
  if (day < 1 || day > DaysInMonth(month)) {
    return r.Fail(ReadErrorCode::BadDate,
                  r.Where("the date") + ": the day of \"" + text + "\" does not exist in that month.");
  }
  m.DateKey[k] = std::stoi(date);
  m.DateYear[k] = static_cast<float>(year);
  m.DateMonth[k] = static_cast<float>(month);
  m.DateDay[k] = static_cast<float>(day);
  return true;
}

bool ReadMagnification(RecordReader& r, const char* item, float& out) {
  if (!r.Number(item, out)) return false;
  if (!(out > 0)) {
    return r.Fail(ReadErrorCode::BadMagnification,
                  r.Where(item) + ": a magnification must be greater than 0, not " + LabelText(out) + ".");
  }
  return true;
}

bool ReadRecord(RecordReader& r, MeasurementModel& m, int k, RecordValues& v) {
  float unused = 0;
  return r.Line("the heading line") && r.Text("the patient's name", v.name[0]) &&
         r.Text("the patient's first name", v.name[1]) && r.Text("the patient's code", v.name[2]) &&
         r.Label("the date line") && r.Text("the date", v.date) && ReadDate(r, v.date, m, k) &&
         r.Label("the side line") && r.Text("the side", v.side) &&
         r.Label("the label of the head-radius magnification") &&
         ReadMagnification(r, "the magnification by head radius", m.MagnificationHeadRadius[k]) &&
         r.Label("the label of the stem-length magnification") &&
         ReadMagnification(r, "the magnification by stem length", m.MagnificationStemLength[k]) &&
         r.Line("the comment line") && r.Label("the medial line") &&
         r.Number("the first medial number", unused) && r.Number("medial distance 1", m.MedialDistance1[k]) &&
         r.Number("medial distance 2", m.MedialDistance2[k]) &&
         r.Number("medial distance 3", m.MedialDistance3[k]) &&
         r.Number("medial distance 4", m.MedialDistance4[k]) && r.Label("the lateral line") &&
         r.Number("the first lateral number", unused) &&
         r.Number("lateral distance 5", m.LateralDistance5[k]) &&
         r.Number("lateral distance 6", m.LateralDistance6[k]) &&
         r.Number("lateral distance 7", m.LateralDistance7[k]) &&
         r.Number("lateral distance 8", m.LateralDistance8[k]) && r.Label("the angle line") &&
         r.Number("the bone/stem angle", m.BoneStemAngle[k]) && r.Label("the subsidence label") &&
         r.Number("the subsidence head center - minor trochanter", m.HeadMinorDistance[k]) &&
         r.Number("the subsidence head center - major trochanter", m.HeadMajorDistance[k]) &&
         r.Number("the subsidence stem shoulder - minor trochanter", m.ShoulderMinorDistance[k]) &&
         r.Number("the subsidence stem shoulder - major trochanter", m.ShoulderMajorDistance[k]);
}

bool ReadStemCementAndComparability(RecordReader& r, MeasurementModel& m, int k) {
  std::string text;
  if (!r.Text("the stem/cement line", text)) return false;
  if (text == kStemCementText) {
    if (!r.Number("the stem/cement subsidence", m.StemCementDistance[k])) return false;
    m.HasStemCementData = 1;
  } else {
    // A record without the value holds 0, not a value of an earlier file.
    m.StemCementDistance[k] = 0;
  }
  return r.Label("the control-length line") && r.Number("control length 1", m.ComparabilityMeasure1[k]) &&
         r.Number("control length 2", m.ComparabilityMeasure2[k]) &&
         r.Label("the label of control length 3") && r.Number("control length 3", m.ComparabilityMeasure3[k]);
}

void ExchangeSlots(MeasurementModel& m, int i, int j) {
  std::swap(m.DateKey[i], m.DateKey[j]);
  for (auto series : {&MeasurementModel::DateYear, &MeasurementModel::DateMonth, &MeasurementModel::DateDay,
                      &MeasurementModel::MagnificationHeadRadius, &MeasurementModel::MagnificationStemLength,
                      &MeasurementModel::BoneStemAngle}) {
    std::swap((m.*series)[i], (m.*series)[j]);
  }
  for (auto series : kScaledSeries) std::swap((m.*series)[i], (m.*series)[j]);
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

ReadOutcome ParseDataText(std::string_view text, const std::string& path, MeasurementModel& m) {
  ReadOutcome outcome;
  if (text.find('\0') != std::string_view::npos) {
    outcome.error = {ReadErrorCode::NotText,
                     path + ": this is not a measurement data file (it holds binary data)."};
    return outcome;
  }
  m.NumFileName = NumFileNameFor(path);
  m.HasStemCementData = 0;
  m.RadiographCount = 0;
  float sumHead = 0, sumStem = 0;
  RecordValues last;

  FieldStream in(text);
  RecordReader reader(in, path);
  while (!in.AtEndOfData()) {
    const int k = m.RadiographCount + 1;
    if (k > kMaxRadiographs) {
      outcome.error = {ReadErrorCode::TooManyRecords, std::string(kOverflowText)};
      return outcome;
    }
    m.RadiographCount = static_cast<std::int16_t>(k);
    reader.Start(k);
    RecordValues values;
    if (!ReadRecord(reader, m, k, values) || !ReadStemCementAndComparability(reader, m, k)) {
      outcome.error = reader.error();
      return outcome;
    }
    sumHead += m.MagnificationHeadRadius[k];
    sumStem += m.MagnificationStemLength[k];
    last = std::move(values);
  }
  const int n = m.RadiographCount;
  if (n == 0) {
    outcome.error = {ReadErrorCode::NoRecord, path + ": the file holds no record."};
    return outcome;
  }
  if (!std::isfinite(sumHead) || !std::isfinite(sumStem)) {
    outcome.error = {ReadErrorCode::BadMagnification,
                     path + ": the magnification values are too large to be averaged."};
    return outcome;
  }

  SortByDate(m);
  BuildTimeAxis(m);
  m.PatientCode = last.name[0] + " " + last.name[1] + " " + last.name[2];
  m.ProsthesisSide = (last.side == "r" || last.side == "R") ? "right" : "left";
  m.ObservationMonths =
      static_cast<float>(RoundHalfEven(static_cast<double>(m.ElapsedDays[n]) * 12.0 / 365.0));
  const float meanHead = static_cast<float>(static_cast<double>(sumHead) / n);
  const float meanStem = static_cast<float>(static_cast<double>(sumStem) / n);
  m.MeanMagnificationHeadRadius = static_cast<float>(1.0 / meanHead);
  m.MeanMagnificationStemLength = static_cast<float>(1.0 / meanStem);
  outcome.MeanHeadRadiusMagnification = meanHead;
  return outcome;
}

ReadOutcome ReadDataFile(const std::string& path, MeasurementModel& m) {
  const WholeFile file = ReadWholeFile(path, kMaxFileBytes);
  ReadOutcome outcome;
  switch (file.problem) {
  case WholeFile::Problem::None:
    return ParseDataText(file.text, path, m);
  case WholeFile::Problem::Missing:
  case WholeFile::Problem::CannotRead:
    outcome.error = {ReadErrorCode::CannotOpen, path + ": the file cannot be opened."};
    break;
  case WholeFile::Problem::TooLarge:
    outcome.error = {ReadErrorCode::NotText,
                     path + ": the file is far too large for a measurement data file."};
    break;
  }
  return outcome;
}

} // namespace sinkview
