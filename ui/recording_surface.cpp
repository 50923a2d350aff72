#include "ui/recording_surface.h"

namespace sinkview {

void RecordingSurface::Scale(double x1, double y1, double x2, double y2) {
  scales.push_back({x1, y1, x2, y2});
}

void RecordingSurface::Cls() {
  ++clsCount;
  segments.clear();
  texts.clear();
  placedTexts.clear();
  areas.clear();
  line_ = 0;
  column_ = 1;
}

void RecordingSurface::Line(double x1, double y1, double x2, double y2, std::optional<Rgb> colour, bool box) {
  segments.push_back({x1, y1, x2, y2, colour, box, drawWidth_});
}

void RecordingSurface::Tab(int column) {
  if (column < 1) column = 1;
  if (column_ > column) EndLine();
  column_ = column;
}

void RecordingSurface::PrintText(std::string_view text) {
  if (!texts.empty() && texts.back().line == line_ &&
      texts.back().column + static_cast<int>(texts.back().text.size()) == column_) {
    texts.back().text.append(text); // items joined by ";" form one run
  } else {
    texts.push_back({line_, column_, std::string(text)});
  }
  column_ += static_cast<int>(text.size());
}

void RecordingSurface::EndLine() {
  ++line_;
  column_ = 1;
}

void RecordingSurface::TextAt(double x, double y, std::string_view text, Anchor anchor) {
  placedTexts.push_back({x, y, std::string(text), anchor, fontSize_});
}

void RecordingSurface::Fill(const std::vector<Point>& corners, Rgb colour) {
  areas.push_back({corners, colour});
}

std::string RecordingSurface::LineText(int line) const {
  std::string result;
  for (const Text& t : texts) {
    if (t.line != line) continue;
    const std::size_t at = static_cast<std::size_t>(t.column - 1);
    if (result.size() < at) result.resize(at, ' ');
    result.replace(at, t.text.size(), t.text);
  }
  return result;
}

} // namespace sinkview
