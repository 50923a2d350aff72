#pragma once

#include <cstdint>
#include <optional>
#include <vector>

#include "ui/rgb.h"

namespace sinkview {

// The pixel work of the hard copy, free of any platform so it can be checked
// on small pictures.
//
// Row convention: rows are stored top row first (row 0 is the top edge of the
// picture), as the window snapshot arrives. A printer bitmap counts rows
// bottom row first; RowFromBottom converts between the two.

struct RgbImage {
  int width = 0;
  int height = 0;
  std::vector<Rgb> pixels; // width * height, top row first

  RgbImage() = default;
  RgbImage(int w, int h) : width(w), height(h), pixels(static_cast<std::size_t>(w) * h) {}
  Rgb& at(int column, int row) { return pixels[static_cast<std::size_t>(row) * width + column]; }
  const Rgb& at(int column, int row) const { return pixels[static_cast<std::size_t>(row) * width + column]; }
};

struct GreyImage {
  int width = 0;
  int height = 0;
  std::vector<std::uint8_t> pixels; // width * height, top row first

  GreyImage() = default;
  GreyImage(int w, int h) : width(w), height(h), pixels(static_cast<std::size_t>(w) * h) {}
  std::uint8_t& at(int column, int row) { return pixels[static_cast<std::size_t>(row) * width + column]; }
  std::uint8_t at(int column, int row) const {
    return pixels[static_cast<std::size_t>(row) * width + column];
  }
};

// The same row counted from the other edge (top-first <-> bottom-first).
constexpr int RowFromBottom(int row, int height) { return height - 1 - row; }

// (blue + green + red) divided by 3, remainder dropped: (255, 0, 0) gives 85.
std::uint8_t GreyLevel(Rgb pixel);

GreyImage ToGrey(const RgbImage& picture);

// A quarter turn counter-clockwise: the picture's top edge comes to lie along
// the left edge, its left end at the bottom. Counted bottom row first, source
// pixel (column j, row i) goes to row j, column height - 1 - i.
GreyImage QuarterTurnCounterClockwise(const GreyImage& picture);

// Where the picture goes on the paper, in the printer's device units.
struct PageArea {
  int marginX = 0; // MX: one twentieth of the paper width, halves to even
  int marginY = 0; // MY
  int width = 0;   // AW = PW - 2 MX
  int height = 0;  // AH = PH - 2 MY
};

PageArea AreaInsideMargins(int paperWidth, int paperHeight);

// A landscape picture is turned on a portrait page; a square one never.
bool TurnsOnPage(const PageArea& area, int pictureWidth, int pictureHeight);

struct PrintedSize {
  int width = 0;  // DW
  int height = 0; // DH
};

// The largest size of the picture's proportions inside the area; the side
// that does not fill the area is rounded with halves to even. The products
// are 32-bit: empty when one of them would not fit, or for an empty picture.
std::optional<PrintedSize> FitIntoArea(const PageArea& area, int pictureWidth, int pictureHeight);

// Everything the printer needs: the grey picture (turned where it fits the
// page better) and the rectangle it is stretched into.
struct HardcopyPage {
  GreyImage picture;
  int x = 0;
  int y = 0;
  int width = 0;
  int height = 0;
};

// Empty for an empty picture or a paper it cannot be fitted onto.
std::optional<HardcopyPage> LayOutHardcopy(const RgbImage& snapshot, int paperWidth, int paperHeight);

} // namespace sinkview
