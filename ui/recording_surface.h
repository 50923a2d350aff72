#pragma once

#include <string>
#include <vector>

#include "ui/surface.h"

namespace sinkview {

// A surface that remembers what was drawn on it, for tests and for checks
// that a box holds a drawing.
class RecordingSurface : public Surface {
public:
  struct Segment {
    double x1, y1, x2, y2;
    std::optional<Rgb> colour; // empty: the ForeColor
    bool box;
    int width;
  };
  struct Text {
    int line;   // 0-based line since the last Cls
    int column; // 1-based character column of its first character
    std::string text;
  };
  struct ScaleCall {
    double x1, y1, x2, y2;
  };
  struct PlacedText {
    double x, y;
    std::string text;
    Anchor anchor;
    double points = 0; // the font size it was placed in
  };
  struct Area {
    std::vector<Point> corners;
    Rgb colour;
  };

  void Scale(double x1, double y1, double x2, double y2) override;
  void Cls() override;
  void Line(double x1, double y1, double x2, double y2, std::optional<Rgb> colour = {},
            bool box = false) override;
  void SetDrawWidth(int pixels) override { drawWidth_ = pixels; }
  int DrawWidth() const override { return drawWidth_; }
  void SetFontSize(double points) override { fontSize_ = points; }
  double FontSize() const override { return fontSize_; }
  void Tab(int column) override;
  void PrintText(std::string_view text) override;
  void EndLine() override;
  void TextAt(double x, double y, std::string_view text, Anchor anchor) override;
  void Fill(const std::vector<Point>& corners, Rgb colour) override;

  // Everything since the last Cls (segments drawn before it are gone).
  std::vector<Segment> segments;
  std::vector<Text> texts;
  std::vector<ScaleCall> scales;
  std::vector<PlacedText> placedTexts;
  std::vector<Area> areas;
  int clsCount = 0;

  // The text of line n as printed, blanks filling the tab gaps.
  std::string LineText(int line) const;

private:
  int drawWidth_ = 1;
  double fontSize_ = 7.8;
  int line_ = 0;
  int column_ = 1;
};

} // namespace sinkview
