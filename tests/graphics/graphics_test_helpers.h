#pragma once

#include <algorithm>

#include <gtest/gtest.h>

#include "model/model.h"
#include "ui/recording_surface.h"

#include "../support/example_file.h"

namespace sinkview::testing {

// A model with radiographs at the given days since the first.
inline MeasurementModel ModelAtDays(std::initializer_list<float> days) {
  MeasurementModel m;
  m.RadiographCount = static_cast<std::int16_t>(days.size());
  std::copy(days.begin(), days.end(), &m.ElapsedDays[1]);
  return m;
}

// A series with the given values in slots 1, 2, ...
inline Series SeriesOf(std::initializer_list<float> values) {
  Series s{};
  std::copy(values.begin(), values.end(), &s[1]);
  return s;
}

using Segment = RecordingSurface::Segment;

template <typename Keep> std::vector<Segment> Where(const RecordingSurface& s, Keep keep) {
  std::vector<Segment> kept;
  std::copy_if(s.segments.begin(), s.segments.end(), std::back_inserter(kept), keep);
  return kept;
}

// The curves are the only segments two pixels wide.
inline std::vector<Segment> CurveSegments(const RecordingSurface& s) {
  return Where(s, [](const Segment& g) { return g.width == 2; });
}

// The values of the horizontal grid lines: colour 8 (red 8 of 255, not a
// palette index) across the whole width.
inline std::vector<double> GridLines(const RecordingSurface& s, double lastDay) {
  std::vector<double> ys;
  for (const Segment& g : s.segments)
    if (g.colour == Rgb{8, 0, 0} && g.x1 == 0 && g.x2 == lastDay && g.y1 == g.y2) ys.push_back(g.y1);
  return ys;
}

// Whether a text placed on the surface reads `text` exactly.
inline bool HasText(const RecordingSurface& s, const std::string& text) {
  return std::any_of(s.placedTexts.begin(), s.placedTexts.end(),
                     [&](const RecordingSurface::PlacedText& t) { return t.text == text; });
}

} // namespace sinkview::testing

namespace sinkview {

// Found by argument lookup, so containers of segments compare and print.
inline bool operator==(const RecordingSurface::Segment& a, const RecordingSurface::Segment& b) {
  return a.x1 == b.x1 && a.y1 == b.y1 && a.x2 == b.x2 && a.y2 == b.y2 && a.colour == b.colour &&
         a.box == b.box && a.width == b.width;
}

inline void PrintTo(const RecordingSurface::Segment& g, std::ostream* out) {
  *out << "(" << g.x1 << ", " << g.y1 << ")-(" << g.x2 << ", " << g.y2 << ") w" << g.width
       << (g.box ? " box" : "") << (g.colour ? " red " + std::to_string(g.colour->red) : "");
}

} // namespace sinkview
