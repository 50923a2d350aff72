#include "study/long_rows.h"

#include <array>

#include "study/csv_text.h"

namespace sinkview {

namespace {

struct LongSeries {
  std::string_view name, unit; // the column's name after "course_" and "measured_"
  Series MeasurementModel::*course;
  Series MeasurementModel::*measured;
};

// The fourteen series, each as the corrected course and as measured
// (corrected for magnification only).
constexpr std::array<LongSeries, 14> kLongSeries = {{
    {"medial_1_mm", "mm", &MeasurementModel::CorrectedMedial1, &MeasurementModel::MedialDistance1},
    {"medial_2_mm", "mm", &MeasurementModel::CorrectedMedial2, &MeasurementModel::MedialDistance2},
    {"medial_3_mm", "mm", &MeasurementModel::CorrectedMedial3, &MeasurementModel::MedialDistance3},
    {"medial_4_mm", "mm", &MeasurementModel::CorrectedMedial4, &MeasurementModel::MedialDistance4},
    {"lateral_5_mm", "mm", &MeasurementModel::CorrectedLateral5, &MeasurementModel::LateralDistance5},
    {"lateral_6_mm", "mm", &MeasurementModel::CorrectedLateral6, &MeasurementModel::LateralDistance6},
    {"lateral_7_mm", "mm", &MeasurementModel::CorrectedLateral7, &MeasurementModel::LateralDistance7},
    {"lateral_8_mm", "mm", &MeasurementModel::CorrectedLateral8, &MeasurementModel::LateralDistance8},
    {"angle_deg", "degrees", &MeasurementModel::CorrectedAngle, &MeasurementModel::BoneStemAngle},
    {"head_minor_mm", "mm", &MeasurementModel::CorrectedHeadMinor, &MeasurementModel::HeadMinorDistance},
    {"head_major_mm", "mm", &MeasurementModel::CorrectedHeadMajor, &MeasurementModel::HeadMajorDistance},
    {"shoulder_minor_mm", "mm", &MeasurementModel::CorrectedShoulderMinor,
     &MeasurementModel::ShoulderMinorDistance},
    {"shoulder_major_mm", "mm", &MeasurementModel::CorrectedShoulderMajor,
     &MeasurementModel::ShoulderMajorDistance},
    {"stem_cement_mm", "mm", &MeasurementModel::CorrectedStemCement, &MeasurementModel::StemCementDistance},
}};

constexpr bool IsStemCement(const LongSeries& series) {
  return series.course == &MeasurementModel::CorrectedStemCement;
}

// The column names, kept for the life of the program: the columns refer to
// them.
struct SeriesNames {
  std::array<std::string, 14> course, measured;
  SeriesNames() {
    for (std::size_t s = 0; s < kLongSeries.size(); ++s) {
      course[s] = "course_" + std::string(kLongSeries[s].name);
      measured[s] = "measured_" + std::string(kLongSeries[s].name);
    }
  }
};
const SeriesNames kSeriesNames;

void Append(std::string& rows, double value) {
  rows += ',';
  AppendCsvNumber(rows, value);
}

} // namespace

std::vector<CsvColumn> LongColumns() {
  std::vector<CsvColumn> columns = {
      {"file", "",
       "data file relative to the study folder; pseudonymised: patient and side (L or R), and a number "
       "from a second hip of that side on (P017-L2)"},
      {"patient", "", "patient identifier of the patients file, else the data file's identification"},
      {"group", "", "group of the protocol (all: a study of one group)"},
      {"radiograph", "", "number of the radiograph in date order"},
      {"date", "date (yyyy-mm-dd)", "date of the radiograph"},
      {"days", "days", "study time: since surgery, else since the first radiograph"},
      {"elapsed_days", "days", "the windows' time axis: days since the first radiograph"},
      {"months", "months", "the windows' time axis: elapsed_days x 12 / 365"},
      {"segment", "", "piece of the course: 1 up to the first break, one more after each"},
      {"disconnection_flag", "", "1: the course is broken after this radiograph"},
      {"isolated_flag", "", "1: comparable with no other radiograph (its course value is interpolated)"},
  };
  for (std::size_t s = 0; s < kLongSeries.size(); ++s)
    columns.push_back({kSeriesNames.course[s], kLongSeries[s].unit,
                       "corrected course: comparable with the first radiograph, level across a break, "
                       "interpolated at an isolated radiograph"});
  for (std::size_t s = 0; s < kLongSeries.size(); ++s)
    columns.push_back({kSeriesNames.measured[s], kLongSeries[s].unit,
                       "as measured on the radiograph, corrected for magnification only"});
  return columns;
}

std::string LongRowPrefix(const std::string& file, const std::string& patient, const std::string& group) {
  std::string prefix;
  for (const std::string* field : {&file, &patient, &group}) {
    AppendCsvField(prefix, *field);
    prefix += ',';
  }
  return prefix;
}

double MonthsSinceFirstUnrounded(const MeasurementModel& m, int i) { return MonthsForDays(m.ElapsedDays[i]); }

std::string LongRows(const PreparedSeries& prepared, std::string_view prefix,
                     const std::vector<int>& studyDays, const std::vector<int>& segments) {
  const MeasurementModel& m = prepared.model;
  std::string rows;
  rows.reserve(static_cast<std::size_t>(m.RadiographCount) * (400 + prefix.size()));
  for (int i = 1; i <= m.RadiographCount; ++i) {
    const auto at = static_cast<std::size_t>(i - 1);
    rows += prefix;
    rows += std::to_string(i);
    rows += ',';
    rows += IsoDate(static_cast<int>(m.DateYear[i]), static_cast<int>(m.DateMonth[i]),
                    static_cast<int>(m.DateDay[i]));
    Append(rows, studyDays[at]);
    Append(rows, m.ElapsedDays[i]);
    Append(rows, MonthsSinceFirstUnrounded(m, i));
    for (int value :
         {segments[at], static_cast<int>(m.DisconnectionFlag[i]), static_cast<int>(m.IsolatedFlag[i])}) {
      rows += ',';
      rows += std::to_string(value);
    }
    for (auto member : {&LongSeries::course, &LongSeries::measured}) {
      for (const LongSeries& series : kLongSeries) {
        rows += ',';
        // The older format has no stem/cement values: empty, not 0.
        if (!IsStemCement(series) || m.HasStemCementData) AppendCsvNumber(rows, (m.*(series.*member))[i]);
      }
    }
    rows += kCsvLineEnd;
  }
  return rows;
}

} // namespace sinkview
