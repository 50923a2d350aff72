#pragma once

#include <string>
#include <vector>

#include "ui/surface.h"

namespace sinkview {

// The three sketch files of one side, by file name.
struct SketchFileNames {
  std::string outline, lines, points;
};

// "left" (exactly) gives the left-side files, every other side the right.
SketchFileNames SketchFilesForSide(const std::string& side);

// The area the sketch is drawn in, in sketch units (y grows upwards).
inline constexpr double kSketchLeft = -1400, kSketchRight = 1400;
inline constexpr double kSketchTop = 2600, kSketchBottom = -2900;
// The points file is read for exactly this many points.
inline constexpr int kSketchPoints = 15;

// One record of a sketch file: a vertex (or point) and its segment number.
struct SketchRecord {
  float x, y, segment;
};

// What could be read from a sketch file: the records up to the first that
// could not be read, and why reading stopped early ("" when it did not).
struct SketchFileContents {
  std::vector<SketchRecord> records;
  std::string problem;
};

// Reads up to maxRecords records of three numbers each (fields separated by
// commas or line ends). The file is closed before it returns.
SketchFileContents ReadSketchFile(const std::string& path, std::size_t maxRecords);

// Draws the reference-system sketch of the side from its three sketch files
// in programDirectory (a folder path ending in a separator), read anew on
// every call: the outline and lines files as polylines (consecutive records
// with the same segment number are joined), the first 15 records of the
// points file as 50 x 50 squares. A file that is missing, unreadable, short
// or holds something else than numbers leaves out what it could not give and
// is named, with the reason, in the box itself.
void DrawStemSketch(const std::string& side, const std::string& programDirectory, Surface& pic);

} // namespace sinkview
