#pragma once

// The agreement of a repeat reading with the first, as Bland and Altman
// report it, and the pairing of one hip's two readings by date. Plain C++,
// no Qt.

#include <array>
#include <optional>
#include <string>
#include <vector>

#include "study/visits.h"

namespace sinkview {

enum class CohortSeries { Subsidence, StemCement };

// One radiograph read twice: its change from the first radiograph in each
// reading.
struct ReadingPair {
  std::string file;   // the hip, as summary.csv names it
  int radiograph = 0; // in the first reading, 1 the first
  CalendarDate date{};
  CohortSeries series = CohortSeries::Subsidence;
  double first = 0, second = 0;
};

// One row of precision.csv. With fewer than two pairs only the counts are
// filled in.
struct AgreementRow {
  CohortSeries series = CohortSeries::Subsidence;
  int pairs = 0, hips = 0;
  std::optional<double> bias, sd, detectionLimit;
  std::optional<std::array<double, 2>> biasCi95, limits, lowLimitCi95, highLimitCi95;
};

// bias = mean of the differences with its t interval; limits = bias +- 1.96
// sd, each with the approximate interval of Bland and Altman (1999),
// +- t(0.975, n - 1) sd sqrt(1/n + 1.96^2 / (2 (n - 1))); detection limit =
// 1.96 sd.
AgreementRow Agreement(CohortSeries series, const std::vector<double>& differences, int hips);

// The radiographs of two readings of one hip matched by date (two of one
// day in date order), as indices into each course.
struct DatePairing {
  std::vector<std::array<std::size_t, 2>> pairs;
  std::array<std::vector<std::size_t>, 2> unpaired; // of the first and of the second reading
};
DatePairing PairByDate(const std::vector<CalendarDate>& first, const std::vector<CalendarDate>& second);

// The pairs of one hip whose radiographs both readings measure as a change
// from their first radiograph, which must be of one day: subsidence, then
// the stem/cement interface where both readings have it.
std::vector<ReadingPair> ReadingPairs(const std::string& file, const HipCourse& first,
                                      const HipCourse& second, const DatePairing& pairing);

} // namespace sinkview
