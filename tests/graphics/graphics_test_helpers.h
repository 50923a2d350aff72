#pragma once

#include <algorithm>
#include <initializer_list>
#include <ostream>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "model/model.h"
#include "model/preparation.h"
#include "model/reader.h"
#include "ui/recording_surface.h"

namespace sinkview::testing {

// A sample file of examples/ as read.
inline MeasurementModel LoadExample(const char* name) {
  MeasurementModel m;
  const ReadOutcome out = ReadDataFile(std::string(SINKVIEW_SOURCE_DIR) + "/examples/" + name, m);
  EXPECT_TRUE(out.ok()) << out.error.message;
  return m;
}

// The same after "GRAPHICS" has prepared it.
inline MeasurementModel LoadPrepared(const char* name) {
  MeasurementModel m = LoadExample(name);
  PrepareSeries(m);
  return m;
}

// A model with radiographs at the given days since the first.
inline MeasurementModel ModelAtDays(std::initializer_list<float> days) {
  MeasurementModel m;
  m.RadiographCount = static_cast<std::int16_t>(days.size());
  int k = 1;
  for (float d : days) m.ElapsedDays[k++] = d;
  return m;
}

// A series with the given values in slots 1, 2, ...
inline Series SeriesOf(std::initializer_list<float> values) {
  Series s{};
  int k = 1;
  for (float v : values) s[k++] = v;
  return s;
}

using Segment = RecordingSurface::Segment;

template <typename Keep> std::vector<Segment> Where(const RecordingSurface& s, Keep keep) {
  std::vector<Segment> kept;
  std::copy_if(s.segments.begin(), s.segments.end(), std::back_inserter(kept), keep);
  return kept;
}

// The segments of the curves: two pixels wide.
inline std::vector<Segment> CurveSegments(const RecordingSurface& s) {
  return Where(s, [](const Segment& g) { return g.width == 2; });
}

// Thin segments in the given colour (empty: the ForeColor).
inline std::vector<Segment> ThinSegments(const RecordingSurface& s, std::optional<Rgb> colour) {
  return Where(s, [&](const Segment& g) { return g.width == 1 && g.colour == colour; });
}

} // namespace sinkview::testing

namespace sinkview {

// Found by argument lookup, so containers of segments compare and print.
inline bool operator==(const RecordingSurface::Segment& a, const RecordingSurface::Segment& b) {
  return a.x1 == b.x1 && a.y1 == b.y1 && a.x2 == b.x2 && a.y2 == b.y2 && a.colour == b.colour &&
         a.box == b.box && a.width == b.width;
}

inline void PrintTo(const RecordingSurface::Segment& g, std::ostream* out) {
  *out << "(" << g.x1 << ", " << g.y1 << ")-(" << g.x2 << ", " << g.y2 << ")";
  if (g.colour)
    *out << " rgb " << int(g.colour->red) << "," << int(g.colour->green) << "," << int(g.colour->blue);
  if (g.box) *out << " B";
  *out << " w" << g.width;
}

} // namespace sinkview
