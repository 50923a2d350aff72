#pragma once

#include <cstdint>

namespace sinkview {

// The choices of the main window. Each keeps the code the program has always
// stored for it.
enum class Reference : std::int16_t { HeadCenter = 0, StemShoulder = 1 };
enum class Trochanter : std::int16_t { Major = 0, Minor = 1 };
enum class MagnificationBasis : std::int16_t { HeadRadius = 0, StemLength = 1 };
enum class FactorChoice : std::int16_t { EachRadiograph = 0, Mean = 1 };
enum class RawData : std::int16_t { Hidden = 0, Shown = 1 };

// The time limit is typed in months and compared in days: the product is
// taken in double and rounded once to the model's float, the same in the
// window and in the command-line programs.
constexpr float TimeLimitDaysForMonths(double months) { return static_cast<float>(months * 365 / 12); }
// Days as months, unrounded, in double: every month count shown or written.
constexpr double MonthsForDays(double days) { return days * 12.0 / 365.0; }

// What the settings fields show when the program starts.
inline constexpr double kStartTimeLimitMonths = 60;
inline constexpr float kStartZoomRange = 3;

// The user's settings, with the values the program starts with. The main
// window and the command-line programs each fill one and hand it to the
// reader, which gives it to the model it reads.
struct Settings {
  float TimeLimitDays = TimeLimitDaysForMonths(kStartTimeLimitMonths);
  float ZoomRange = kStartZoomRange;
  Reference ReferencePoint = Reference::StemShoulder;
  Trochanter TrochanterChoice = Trochanter::Major;
  MagnificationBasis MagnificationSource = MagnificationBasis::HeadRadius;
  FactorChoice UseMeanMagnification = FactorChoice::EachRadiograph;
  RawData ShowRawData = RawData::Hidden;
  std::int16_t ComparabilityLimit = 3;
  friend bool operator==(const Settings&, const Settings&) = default;
};

} // namespace sinkview
