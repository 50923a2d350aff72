#include "model/comparability.h"

#include <cmath>

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

} // namespace

void ComputeCorrectedSeries(MeasurementModel& m, ComparabilityWork& w, const Series& x, Series& y) {
  const int n = m.RadiographCount;
  const Series& t = m.ElapsedDays;
  const float limit = m.ComparabilityLimit;

  // Pairs.
  for (int i = 1; i <= n - 1; ++i) {
    for (int j = i + 1; j <= n; ++j) {
      const float dt = t[j] - t[i];
      if (dt > m.TimeLimitDays) continue;
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
        w.PairRate[i][j] = static_cast<float>(static_cast<double>(x[j] - x[i]) * w.PairWeight[i][j] / dt);
      }
    }
  }

  for (int i = 1; i <= n; ++i) w.Comparable[i][i] = 1;
  for (int i = 2; i <= n; ++i) {
    for (int j = 1; j <= i - 1; ++j) w.Comparable[i][j] = w.Comparable[j][i];
  }

  // Isolated radiographs.
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

  // Disconnections: no comparable pair spans the interval after i.
  for (int i = 1; i <= n; ++i) {
    float count = 0;
    ForPairsSpanning(i, n, [&](int k, int l) { count += w.Comparable[k][l]; });
    w.SpanSum[i] = count;
    if (count == 0) m.DisconnectionFlag[i] = 1;
  }

  // Weighted sums.
  w.SpanSum.fill(0);
  for (int i = 1; i <= n; ++i) {
    ForPairsSpanning(i, n, [&](int k, int l) {
      w.RateSum[i] += w.PairRate[k][l];
      w.SpanSum[i] += w.PairWeight[k][l];
    });
  }

  // Corrected course.
  if (n >= 1) y[1] = x[1];
  for (int i = 2; i <= n; ++i) {
    if (m.DisconnectionFlag[i - 1] == 1) {
      y[i] = y[i - 1];
    } else {
      y[i] = static_cast<float>(y[i - 1] +
                                static_cast<double>(t[i] - t[i - 1]) * w.RateSum[i - 1] / w.SpanSum[i - 1]);
    }
  }
}

} // namespace sinkview
