#include "graphics/plotting.h"

#include <algorithm>
#include <cmath>
#include <limits>

#include "base/numtext.h"

namespace sinkview {

namespace {

// The y range a diagram shows, whichever way up it is.
struct Band {
  double low, high;
  Band(double a, double b) : low(std::min(a, b)), high(std::max(a, b)) {}
};

// Calls draw(y) for y = from, from + step, from + 2 step, ... up to the last
// value that does not pass `to`, as a counted loop with a step would. Values
// outside the diagram's band are skipped: they would be clipped away anyway,
// and a start value far outside the band (a bad file) would otherwise make
// the loop run nearly forever. Each value is from + k step, formed in double.
template <typename Draw> void StepLoop(double from, double to, double step, Band band, Draw draw) {
  if (!std::isfinite(from) || !std::isfinite(to)) return;
  if (step > 0 ? to < from : to > from) return;
  // So large a start that a step does not change it: no two values differ.
  if (from + step == from) return;
  // Both the loop's values and the band: the stretch in which y can be drawn.
  const double low = std::max(std::min(from, to), band.low);
  const double high = std::min(std::max(from, to), band.high);
  if (low > high) return;
  const double k1 = (low - from) / step, k2 = (high - from) / step;
  // One index more on either side absorbs the rounding of the division; the
  // exact tests below decide.
  const double first = std::max(0.0, std::ceil(std::min(k1, k2)) - 1);
  const double last = std::floor(std::max(k1, k2)) + 1;
  for (double k = first; k <= last; ++k) {
    const double y = from + k * step;
    if (step > 0 ? y > to : y < to) break;
    if (y >= band.low && y <= band.high) draw(y);
  }
}

// More months than any two dates span (years 0 to 9999): a cap that only a
// time axis no data file can give ever reaches.
constexpr double kMaxMonthTicks = 12 * 10000;

// The month ticks on the bottom edge: one per whole month since the first
// radiograph (the count floored), capped.
long long MonthTickCount(double t1, double tn) {
  const double months = IntFloor((tn - t1) / kDaysPerMonth);
  if (!(months >= 1)) return 0;
  return static_cast<long long>(std::min(months, kMaxMonthTicks));
}

// Month ticks on the bottom edge, those at whole years longer.
void MonthTicks(double t1, double tn, double lo, double hi, double yearDivisor, double monthDivisor,
                std::optional<Rgb> colour, Surface& pic) {
  const long long count = MonthTickCount(t1, tn);
  for (long long month = 1; month <= count; ++month) {
    const double x = t1 + static_cast<double>(month) * kDaysPerMonth;
    const double divisor = month % 12 == 0 ? yearDivisor : monthDivisor;
    const double tick = std::fabs(hi - lo) / divisor;
    pic.Line(x, lo, x, lo + tick, colour);
  }
}

// A vertical line at every radiograph.
void RadiographLines(const MeasurementModel& m, double lo, double hi, Surface& pic) {
  for (int i = 1; i <= RadiographsDrawn(m); ++i)
    pic.Line(m.ElapsedDays[i], lo, m.ElapsedDays[i], hi, kGridColour);
}

// The polyline through the series in the foreground colour; with breaks,
// no segment from radiograph i to i+1 where DisconnectionFlag(i) is 1.
void Curve(const MeasurementModel& m, const Series& v, bool breaks, Surface& pic) {
  const Series& t = m.ElapsedDays;
  for (int i = 1; i < RadiographsDrawn(m); ++i) {
    if (breaks && m.DisconnectionFlag[i] == 1) continue;
    pic.Line(t[i], v[i], t[i + 1], v[i + 1]);
  }
}

// The x where the right-edge ticks start.
double RightTickStart(double t1, double tn) { return t1 + (tn - t1) * 610 / 620; }

} // namespace

std::vector<int> YearTickMonths(const DiagramScale& scale) {
  std::vector<int> months;
  const long long count = MonthTickCount(scale.t1, scale.tn);
  for (long long month = 12; month <= count; month += 12) months.push_back(static_cast<int>(month));
  return months;
}

int RadiographsDrawn(const MeasurementModel& m) {
  return std::clamp<int>(m.RadiographCount, 0, kMaxRadiographs);
}

std::int16_t AxisLimit(double value) {
  if (const auto converted = CInt(value)) return *converted;
  if (std::isnan(value)) return 0;
  return value < 0 ? std::numeric_limits<std::int16_t>::min() : std::numeric_limits<std::int16_t>::max();
}

DiagramScale PlotSeries(const MeasurementModel& m, const Series& v, float zoomRange, Surface& pic) {
  const int n = RadiographsDrawn(m);
  float min = 1000, max = -999;
  for (int i = 1; i <= n; ++i) {
    if (v[i] < min) min = v[i];
    if (v[i] > max) max = v[i];
  }
  const double lo = AxisLimit(static_cast<double>(min) - zoomRange);
  const double hi = AxisLimit(static_cast<double>(max) + zoomRange);
  const double t1 = m.ElapsedDays[1], tn = m.ElapsedDays[n];
  pic.Scale(t1, hi, tn, lo);
  pic.Cls();

  const Band band(lo, hi);
  const double v1 = v[1];
  DiagramScale scale{t1, tn, lo, hi, {}};
  // The grid runs through v(1) + k, not through whole units.
  const auto gridLine = [&](double y) { scale.grid.push_back(y); };
  StepLoop(v1, hi, 1, band, gridLine);
  StepLoop(v1 - 1, lo, -1, band, gridLine);
  for (const double y : scale.grid) pic.Line(0, y, tn, y, kGridColour);
  const double xr = RightTickStart(t1, tn);
  const auto edgeTick = [&](double y) { pic.Line(xr, y, tn, y, kGridColour); };
  StepLoop(v1, hi, 0.5, band, edgeTick);
  StepLoop(v1, lo, -0.5, band, edgeTick); // the tick at v(1) is drawn a second time
  RadiographLines(m, lo, hi, pic);
  MonthTicks(t1, tn, lo, hi, 20, 50, std::nullopt, pic);

  pic.SetDrawWidth(2);
  Curve(m, v, true, pic);
  pic.SetDrawWidth(1);
  return scale;
}

void OverlaySeries(const MeasurementModel& m, const Series& v, Surface& pic) { Curve(m, v, false, pic); }

DiagramScale PlotDistanceCurves(const MeasurementModel& m, const Series& curve1, const Series& curve2,
                                const Series& curve3, const Series& curve4, Surface& pic) {
  const int n = RadiographsDrawn(m);
  // Each curve is its change since radiograph 1, lifted by its base.
  const auto rebased = [n](const Series& c, double base) {
    Series r = c;
    for (int i = 2; i <= n; ++i)
      r[i] = static_cast<float>(static_cast<double>(c[i]) - static_cast<double>(c[1]) + base);
    r[1] = static_cast<float>(base);
    return r;
  };
  const Series c1 = rebased(curve1, kStackedZeros[0]), c2 = rebased(curve2, kStackedZeros[1]),
               c3 = rebased(curve3, kStackedZeros[2]), c4 = rebased(curve4, kStackedZeros[3]);

  float min = 100000, max = -99000;
  for (int i = 1; i <= n; ++i) {
    if (c4[i] < min) min = c4[i];
    if (c1[i] > max) max = c1[i];
  }
  const double lo = AxisLimit(static_cast<double>(min) - 1);
  const double hi = AxisLimit(static_cast<double>(max) + 1);
  const double t1 = m.ElapsedDays[1], tn = m.ElapsedDays[n];
  pic.Scale(t1, hi, tn, lo);
  pic.Cls();

  const Band band(lo, hi);
  DiagramScale scale{t1, tn, lo, hi, {}};
  StepLoop(lo, hi, 1, band, [&](double y) { scale.grid.push_back(y); });
  for (const double y : scale.grid) pic.Line(0, y, tn, y, kGridColour);
  const double xr = RightTickStart(t1, tn);
  StepLoop(lo + 0.5, hi, 1, band, [&](double y) { pic.Line(xr, y, tn, y, kGridColour); });
  RadiographLines(m, lo, hi, pic);
  MonthTicks(t1, tn, lo, hi, 40, 100, kDistanceTickColour, pic);

  pic.SetDrawWidth(2);
  for (const Series* c : {&c1, &c2, &c3, &c4}) Curve(m, *c, true, pic);
  pic.SetDrawWidth(1);
  return scale;
}

} // namespace sinkview
