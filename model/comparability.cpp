#include "model/comparability.h"

#include <cassert>
#include <cmath>
#include <vector>

namespace sinkview {

namespace {

// Visits every pair (k, l) that spans the interval after radiograph i, in the
// order the sums are formed: first (i, j) for j > i, then (k, l) for k < i < l.
template <typename Visit> void ForPairsSpanning(int i, int n, Visit visit) {
  for (int j = i + 1; j <= n; ++j) visit(i, j);
  for (int k = 1; k <= i - 1; ++k) {
    for (int l = i + 1; l <= n; ++l) visit(k, l);
  }
}

// One float per series, so the series of a preparation are summed side by
// side; each lane is an ordinary float sum in its own order.
using Lanes = std::array<float, kMaxSeriesAtOnce>;

void Add(Lanes& sum, const Lanes& term) {
  for (std::size_t s = 0; s < kMaxSeriesAtOnce; ++s) sum[s] += term[s];
}

} // namespace

void AnalysePairs(MeasurementModel& m, const Settings& settings, ComparabilityWork& w) {
  const int n = m.RadiographCount;
  const Series& t = m.ElapsedDays;
  const float limit = settings.ComparabilityLimit;

  for (int i = 1; i <= n - 1; ++i) {
    for (int j = i + 1; j <= n; ++j) {
      const float dt = t[j] - t[i];
      if (dt > settings.TimeLimitDays) continue;
      const float d1 = std::fabs(m.ComparabilityMeasure1[i] - m.ComparabilityMeasure1[j]);
      const float d2 = std::fabs(m.ComparabilityMeasure2[i] - m.ComparabilityMeasure2[j]);
      const float d3 = std::fabs(m.ComparabilityMeasure3[i] - m.ComparabilityMeasure3[j]);
      float d = d1 > d2 ? d1 : d2;
      if (d3 > d) d = d3;
      // Radiographs of one time cannot give a rate; the reader keeps times
      // strictly increasing, this only guards the division.
      if (d <= limit && dt > 0) {
        w.PairWeight[i][j] = limit - d + 1;
        w.Comparable[i][j] = 1;
      }
    }
  }

  for (int i = 1; i <= n; ++i) w.Comparable[i][i] = 1;
  for (int i = 2; i <= n; ++i) {
    for (int j = 1; j <= i - 1; ++j) w.Comparable[i][j] = w.Comparable[j][i];
  }

  // Isolated radiographs: comparable only with themselves.
  for (int i = 1; i <= n; ++i) {
    w.FirstComparable[i] = static_cast<std::int16_t>(n);
    w.LastComparable[i] = 1;
    for (int j = 1; j <= n; ++j) {
      if (w.Comparable[i][j] == 1 && j < w.FirstComparable[i])
        w.FirstComparable[i] = static_cast<std::int16_t>(j);
    }
    for (int j = n; j >= 1; --j) {
      if (w.Comparable[i][j] == 1 && j > w.LastComparable[i])
        w.LastComparable[i] = static_cast<std::int16_t>(j);
    }
    if (w.FirstComparable[i] == w.LastComparable[i]) m.IsolatedFlag[i] = 1;
  }

  // Disconnections: no comparable pair spans the interval after i; then the
  // summed weights of the pairs that do.
  for (int i = 1; i <= n; ++i) {
    int count = 0;
    float weights = 0;
    ForPairsSpanning(i, n, [&](int k, int l) {
      count += w.Comparable[k][l];
      weights += w.PairWeight[k][l];
    });
    if (count == 0) m.DisconnectionFlag[i] = 1;
    w.SpanSum[i] = weights;
  }
}

void CorrectSeries(const MeasurementModel& m, const ComparabilityWork& w,
                   std::span<const Series* const> series, std::span<Series* const> corrected) {
  assert(series.size() == corrected.size() && series.size() <= kMaxSeriesAtOnce);
  const int n = m.RadiographCount;
  const Series& t = m.ElapsedDays;
  const std::size_t count = series.size();

  // The weighted rate of change of every comparable pair (0 for the others).
  std::vector<Lanes> PairRate(static_cast<std::size_t>(kSlots * kSlots), Lanes{});
  for (int i = 1; i <= n - 1; ++i) {
    for (int j = i + 1; j <= n; ++j) {
      if (w.Comparable[i][j] != 1) continue;
      const double dt = t[j] - t[i];
      Lanes& rate = PairRate[static_cast<std::size_t>(i * kSlots + j)];
      for (std::size_t s = 0; s < count; ++s) {
        const Series& x = *series[s];
        rate[s] = static_cast<float>(static_cast<double>(x[j] - x[i]) * w.PairWeight[i][j] / dt);
      }
    }
  }

  // Corrected course, interval by interval.
  for (std::size_t s = 0; s < count; ++s) {
    if (n >= 1) (*corrected[s])[1] = (*series[s])[1];
  }
  for (int i = 1; i <= n - 1; ++i) {
    if (m.DisconnectionFlag[i] == 1) {
      // The course stays level across a break.
      for (std::size_t s = 0; s < count; ++s) (*corrected[s])[i + 1] = (*corrected[s])[i];
      continue;
    }
    Lanes RateSum{};
    ForPairsSpanning(i, n,
                     [&](int k, int l) { Add(RateSum, PairRate[static_cast<std::size_t>(k * kSlots + l)]); });
    const double dt = t[i + 1] - t[i];
    for (std::size_t s = 0; s < count; ++s) {
      Series& y = *corrected[s];
      y[i + 1] = static_cast<float>(y[i] + dt * RateSum[s] / w.SpanSum[i]);
    }
  }
}

void ComputeCorrectedSeries(MeasurementModel& m, const Settings& settings, ComparabilityWork& work,
                            const Series& series, Series& corrected) {
  AnalysePairs(m, settings, work);
  const Series* in[] = {&series};
  Series* out[] = {&corrected};
  CorrectSeries(m, work, in, out);
}

} // namespace sinkview
