#pragma once

#include <optional>
#include <string_view>
#include <vector>

#include "ui/rgb.h"

namespace sinkview {

// Light red of the 16-colour palette, the colour of the stem/cement curve.
inline constexpr Rgb kLightRed{255, 0, 0};

// The drawing operations of a window or picture box that the diagrams, the
// sketch and the table are drawn with.
class Surface {
public:
  virtual ~Surface() = default;

  // From now on x1 is the left edge, x2 the right, y1 the top and y2 the
  // bottom, in user units (y1 > y2 makes y grow upwards).
  virtual void Scale(double x1, double y1, double x2, double y2) = 0;
  // Clears to the background; the print position returns to the top left.
  virtual void Cls() = 0;
  // A segment (or with box the unfilled rectangle) in the current draw
  // width, in the given colour or else the ForeColor; clipped to the surface.
  virtual void Line(double x1, double y1, double x2, double y2, std::optional<Rgb> colour = {},
                    bool box = false) = 0;
  virtual void SetDrawWidth(int pixels) = 0;
  virtual int DrawWidth() const = 0;

  // Text: printed at the print position in the current font.
  virtual void SetFontSize(double points) = 0;
  virtual double FontSize() const = 0;
  // Moves the print position to character column n (1 is the left edge) of
  // the current line, or of the next line when the position is already past it.
  virtual void Tab(int column) = 0;
  virtual void PrintText(std::string_view text) = 0;
  // Ends the current line.
  virtual void EndLine() = 0;

  // Text placed in user units, for the labels of a plot: vertically centred
  // on y, and on x by `anchor`; in the ForeColor.
  enum class Anchor { Left, Centre, Right };
  virtual void TextAt(double x, double y, std::string_view text, Anchor anchor) = 0;
  // A filled polygon without outline, its corners in user units.
  struct Point {
    double x, y;
  };
  virtual void Fill(const std::vector<Point>& corners, Rgb colour) = 0;
};

} // namespace sinkview
