#include "study/long_rows.h"

#include <array>

#include "study/csv_text.h"

namespace sinkview {

namespace {

struct LongColumn {
  std::string_view name;
  Series MeasurementModel::*series;
};

// The fourteen corrected series, then the four subsidence series as
// measured (corrected for magnification only).
constexpr std::array<LongColumn, 18> kLongColumns = {{
    {"medial_1_mm", &MeasurementModel::CorrectedMedial1},
    {"medial_2_mm", &MeasurementModel::CorrectedMedial2},
    {"medial_3_mm", &MeasurementModel::CorrectedMedial3},
    {"medial_4_mm", &MeasurementModel::CorrectedMedial4},
    {"lateral_5_mm", &MeasurementModel::CorrectedLateral5},
    {"lateral_6_mm", &MeasurementModel::CorrectedLateral6},
    {"lateral_7_mm", &MeasurementModel::CorrectedLateral7},
    {"lateral_8_mm", &MeasurementModel::CorrectedLateral8},
    {"angle_deg", &MeasurementModel::CorrectedAngle},
    {"head_minor_mm", &MeasurementModel::CorrectedHeadMinor},
    {"head_major_mm", &MeasurementModel::CorrectedHeadMajor},
    {"shoulder_minor_mm", &MeasurementModel::CorrectedShoulderMinor},
    {"shoulder_major_mm", &MeasurementModel::CorrectedShoulderMajor},
    {"stem_cement_mm", &MeasurementModel::CorrectedStemCement},
    {"raw_head_minor_mm", &MeasurementModel::HeadMinorDistance},
    {"raw_head_major_mm", &MeasurementModel::HeadMajorDistance},
    {"raw_shoulder_minor_mm", &MeasurementModel::ShoulderMinorDistance},
    {"raw_shoulder_major_mm", &MeasurementModel::ShoulderMajorDistance},
}};

constexpr bool IsStemCement(const LongColumn& column) {
  return column.series == &MeasurementModel::CorrectedStemCement;
}

std::string Header() {
  std::string header = "file,patient,radiograph,date,elapsed_days,months,disconnection_flag,isolated_flag";
  for (const LongColumn& column : kLongColumns) (header += ',') += column.name;
  return header += kCsvLineEnd;
}

const std::string kHeaderText = Header();

} // namespace

const std::string_view kLongHeader = kHeaderText;

double MonthsSinceFirstUnrounded(const MeasurementModel& m, int i) { return MonthsForDays(m.ElapsedDays[i]); }

std::string LongRowPrefix(const std::string& file, const std::string& patient) {
  std::string prefix;
  AppendCsvField(prefix, file);
  prefix += ',';
  AppendCsvField(prefix, patient);
  return prefix += ',';
}

std::string LongRows(const PreparedSeries& prepared, std::string_view prefix) {
  const MeasurementModel& m = prepared.model;
  std::string rows;
  rows.reserve(static_cast<std::size_t>(m.RadiographCount) * (200 + prefix.size()));
  for (int i = 1; i <= m.RadiographCount; ++i) {
    rows += prefix;
    rows += std::to_string(i);
    rows += ',';
    rows += IsoDate(static_cast<int>(m.DateYear[i]), static_cast<int>(m.DateMonth[i]),
                    static_cast<int>(m.DateDay[i]));
    rows += ',';
    AppendCsvNumber(rows, m.ElapsedDays[i]);
    rows += ',';
    AppendCsvNumber(rows, MonthsSinceFirstUnrounded(m, i));
    rows += ',';
    rows += std::to_string(m.DisconnectionFlag[i]);
    rows += ',';
    rows += std::to_string(m.IsolatedFlag[i]);
    for (const LongColumn& column : kLongColumns) {
      rows += ',';
      // The older format has no stem/cement values: empty, not 0.
      if (!IsStemCement(column) || m.HasStemCementData) AppendCsvNumber(rows, (m.*column.series)[i]);
    }
    rows += kCsvLineEnd;
  }
  return rows;
}

} // namespace sinkview
