#include "graphics/stem_sketch.h"

#include <cstdint>

#include "base/whole_file.h"
#include "model/field_stream.h"

namespace sinkview {

namespace {

// Far more than a sketch needs; a larger file is not a sketch file, and it
// would be read on every paint.
constexpr std::size_t kMaxSketchBytes = 1 << 20;

// The segment memory's start value; sketch files use other numbers.
constexpr float kNoSegment = 999;

// Half the side of a point's square.
constexpr double kPointHalfSide = 25;

// The whole file as text, or a reason why not.
bool ReadSketchText(const std::string& path, std::string& text, std::string& problem) {
  WholeFile file = ReadWholeFile(path, kMaxSketchBytes);
  switch (file.problem) {
  case WholeFile::Problem::None:
    text = std::move(file.text);
    return true;
  case WholeFile::Problem::Missing:
    problem = "missing";
    break;
  case WholeFile::Problem::CannotRead:
  case WholeFile::Problem::NotRegular:
  case WholeFile::Problem::NoEnd:
    problem = "cannot be read";
    break;
  case WholeFile::Problem::TooLarge:
    problem = "too large";
    break;
  }
  return false;
}

// Draws the polylines of a file: a record continues the polyline of the
// record before it when both carry the same segment number.
void DrawPolylines(const std::vector<SketchRecord>& records, Surface& pic) {
  float segment = kNoSegment;
  double px = 0, py = 0;
  for (const SketchRecord& r : records) {
    if (r.segment == segment) pic.Line(px, py, r.x, r.y);
    px = r.x;
    py = r.y;
    segment = r.segment;
  }
}

} // namespace

SketchFileNames SketchFilesForSide(const std::string& side) {
  if (side == "left") return {"clskonli.sys", "clslinli.sys", "clspktli.sys"};
  return {"clskonre.sys", "clslinre.sys", "clspktre.sys"};
}

SketchFileContents ReadSketchFile(const std::string& path, std::size_t maxRecords) {
  SketchFileContents contents;
  std::string text;
  if (!ReadSketchText(path, text, contents.problem)) return contents;
  FieldStream stream(text);
  while (contents.records.size() < maxRecords && !stream.AtEndOfData()) {
    float fields[3];
    for (float& field : fields) {
      const std::optional<std::string_view> token = stream.ReadNumberToken();
      const std::optional<float> value = token ? ParseNumber(*token) : std::nullopt;
      if (!value) {
        const std::string record = std::to_string(contents.records.size() + 1);
        contents.problem =
            token ? "record " + record + " is not a number" : "record " + record + " incomplete";
        return contents;
      }
      field = *value;
    }
    contents.records.push_back({fields[0], fields[1], fields[2]});
  }
  return contents;
}

void DrawStemSketch(const std::string& side, const std::string& programDirectory, Surface& pic) {
  pic.Scale(kSketchLeft, kSketchTop, kSketchRight, kSketchBottom);
  pic.Cls();
  const SketchFileNames names = SketchFilesForSide(side);
  std::vector<std::string> problems;
  const auto read = [&](const std::string& name, std::size_t maxRecords) {
    SketchFileContents contents = ReadSketchFile(programDirectory + name, maxRecords);
    if (!contents.problem.empty()) problems.push_back(name + ": " + contents.problem);
    return contents.records;
  };

  DrawPolylines(read(names.outline, SIZE_MAX), pic);
  DrawPolylines(read(names.lines, SIZE_MAX), pic);

  const std::size_t problemsBefore = problems.size();
  const std::vector<SketchRecord> points = read(names.points, kSketchPoints);
  if (problems.size() == problemsBefore && points.size() < kSketchPoints) {
    problems.push_back(names.points + ": only " + std::to_string(points.size()) + " of " +
                       std::to_string(kSketchPoints) + " points");
  }
  for (const SketchRecord& p : points) {
    pic.Line(p.x - kPointHalfSide, p.y - kPointHalfSide, p.x + kPointHalfSide, p.y + kPointHalfSide, {},
             true);
  }

  for (const std::string& problem : problems) {
    pic.PrintText(problem);
    pic.EndLine();
  }
}

} // namespace sinkview
