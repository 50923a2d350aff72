#pragma once

#include <array>
#include <cstdint>
#include <string>

namespace sinkview {

// Every per-radiograph quantity is an array of 32 slots; radiograph k of a
// series of N (at most 30) lives in slot k, slot 0 is never used.
inline constexpr int kSlots = 32;
inline constexpr int kMaxRadiographs = 30;

using Series = std::array<float, kSlots>;
using Flags = std::array<std::int16_t, kSlots>;
using IntSlots = std::array<std::int32_t, kSlots>;

// The one measurement model of the program: the series of one patient's
// radiographs, the facts derived from them and the results of the
// comparability analysis. As read, the lengths are at image scale and the
// results empty; a PreparedSeries holds a copy with the lengths corrected
// for magnification and the results filled.
struct MeasurementModel {
  // Facts of the loaded file.
  std::int16_t RadiographCount = 0;
  std::string PatientCode;
  std::string ProsthesisSide;
  float ObservationMonths = 0;
  bool HasStemCementData = false; // the newer format, with stem/cement lines
  // The mean magnification by head radius, as the main window shows it.
  float MeanHeadRadiusMagnification = 0;
  // The mean factors 1 / magnification, for the correction by the mean.
  float MeanHeadRadiusFactor = 0;
  float MeanStemLengthFactor = 0;
  std::string NumFileName;
  // Records dated after a study's cut-off, left out as if not yet taken.
  int RecordsAfterCutoff = 0;

  // Per-radiograph values read from the file.
  IntSlots DateKey{};
  Series DateYear{}, DateMonth{}, DateDay{};
  Series MagnificationHeadRadius{}, MagnificationStemLength{};
  Series MedialDistance1{}, MedialDistance2{}, MedialDistance3{}, MedialDistance4{};
  Series LateralDistance5{}, LateralDistance6{}, LateralDistance7{}, LateralDistance8{};
  Series BoneStemAngle{};
  Series HeadMinorDistance{}, HeadMajorDistance{};
  Series ShoulderMinorDistance{}, ShoulderMajorDistance{};
  Series StemCementDistance{};
  Series ComparabilityMeasure1{}, ComparabilityMeasure2{}, ComparabilityMeasure3{};

  // Derived by the reader.
  Series DayNumber{};
  Series ElapsedDays{};

  // Results of the comparability analysis.
  Flags DisconnectionFlag{};
  Flags IsolatedFlag{};
  Series CorrectedMedial1{}, CorrectedMedial2{}, CorrectedMedial3{}, CorrectedMedial4{};
  Series CorrectedLateral5{}, CorrectedLateral6{}, CorrectedLateral7{}, CorrectedLateral8{};
  Series CorrectedAngle{};
  Series CorrectedHeadMinor{}, CorrectedHeadMajor{};
  Series CorrectedShoulderMinor{}, CorrectedShoulderMajor{};
  Series CorrectedStemCement{};
};

// The sixteen length series scaled for magnification, in scaling order.
inline constexpr std::array<Series MeasurementModel::*, 16> kScaledSeries = {
    &MeasurementModel::MedialDistance1,       &MeasurementModel::MedialDistance2,
    &MeasurementModel::MedialDistance3,       &MeasurementModel::MedialDistance4,
    &MeasurementModel::LateralDistance5,      &MeasurementModel::LateralDistance6,
    &MeasurementModel::LateralDistance7,      &MeasurementModel::LateralDistance8,
    &MeasurementModel::HeadMinorDistance,     &MeasurementModel::HeadMajorDistance,
    &MeasurementModel::ShoulderMinorDistance, &MeasurementModel::ShoulderMajorDistance,
    &MeasurementModel::StemCementDistance,    &MeasurementModel::ComparabilityMeasure1,
    &MeasurementModel::ComparabilityMeasure2, &MeasurementModel::ComparabilityMeasure3,
};

struct AnalysisRun {
  Series MeasurementModel::*measured;
  Series MeasurementModel::*corrected;
};

// The fourteen analysis runs, in call order.
inline constexpr std::array<AnalysisRun, 14> kAnalysisRuns = {{
    {&MeasurementModel::MedialDistance1, &MeasurementModel::CorrectedMedial1},
    {&MeasurementModel::MedialDistance2, &MeasurementModel::CorrectedMedial2},
    {&MeasurementModel::MedialDistance3, &MeasurementModel::CorrectedMedial3},
    {&MeasurementModel::MedialDistance4, &MeasurementModel::CorrectedMedial4},
    {&MeasurementModel::LateralDistance5, &MeasurementModel::CorrectedLateral5},
    {&MeasurementModel::LateralDistance6, &MeasurementModel::CorrectedLateral6},
    {&MeasurementModel::LateralDistance7, &MeasurementModel::CorrectedLateral7},
    {&MeasurementModel::LateralDistance8, &MeasurementModel::CorrectedLateral8},
    {&MeasurementModel::BoneStemAngle, &MeasurementModel::CorrectedAngle},
    {&MeasurementModel::HeadMinorDistance, &MeasurementModel::CorrectedHeadMinor},
    {&MeasurementModel::HeadMajorDistance, &MeasurementModel::CorrectedHeadMajor},
    {&MeasurementModel::ShoulderMinorDistance, &MeasurementModel::CorrectedShoulderMinor},
    {&MeasurementModel::ShoulderMajorDistance, &MeasurementModel::CorrectedShoulderMajor},
    {&MeasurementModel::StemCementDistance, &MeasurementModel::CorrectedStemCement},
}};

} // namespace sinkview
