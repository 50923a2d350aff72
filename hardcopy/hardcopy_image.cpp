#include "hardcopy/hardcopy_image.h"

#include <limits>

#include "base/numtext.h"

namespace sinkview {

std::uint8_t GreyLevel(Rgb pixel) {
  return static_cast<std::uint8_t>((pixel.blue + pixel.green + pixel.red) / 3);
}

GreyImage ToGrey(const RgbImage& picture) {
  GreyImage grey(picture.width, picture.height);
  for (std::size_t k = 0; k < picture.pixels.size(); ++k) grey.pixels[k] = GreyLevel(picture.pixels[k]);
  return grey;
}

GreyImage QuarterTurnCounterClockwise(const GreyImage& picture) {
  const int w = picture.width;
  const int h = picture.height;
  GreyImage turned(h, w);
  // Bottom-first rows: (column j, row i) -> (column h - 1 - i, row j). With
  // rows counted from the top both row numbers flip, which leaves: top row r
  // becomes column r, column j becomes row w - 1 - j.
  for (int r = 0; r < h; ++r)
    for (int j = 0; j < w; ++j) turned.at(r, RowFromBottom(j, w)) = picture.at(j, r);
  return turned;
}

PageArea AreaInsideMargins(int paperWidth, int paperHeight) {
  PageArea area;
  area.marginX = static_cast<int>(RoundHalfEven(paperWidth / 20.0));
  area.marginY = static_cast<int>(RoundHalfEven(paperHeight / 20.0));
  area.width = paperWidth - 2 * area.marginX;
  area.height = paperHeight - 2 * area.marginY;
  return area;
}

bool TurnsOnPage(const PageArea& area, int pictureWidth, int pictureHeight) {
  return area.width < area.height && pictureWidth > pictureHeight;
}

namespace {

// A product of two device sizes as the printer arithmetic has it: 32 bits.
std::optional<std::int32_t> Product32(int a, int b) {
  const std::int64_t product = static_cast<std::int64_t>(a) * b;
  if (product < std::numeric_limits<std::int32_t>::min() ||
      product > std::numeric_limits<std::int32_t>::max())
    return std::nullopt;
  return static_cast<std::int32_t>(product);
}

} // namespace

std::optional<PrintedSize> FitIntoArea(const PageArea& area, int pictureWidth, int pictureHeight) {
  if (pictureWidth <= 0 || pictureHeight <= 0 || area.width <= 0 || area.height <= 0) return std::nullopt;
  const auto areaTimesHeight = Product32(area.width, pictureHeight);
  const auto areaTimesWidth = Product32(area.height, pictureWidth);
  if (!areaTimesHeight || !areaTimesWidth) return std::nullopt;
  PrintedSize size;
  if (*areaTimesHeight > *areaTimesWidth) {
    // The area is relatively wider than the picture: the height fills it.
    size.height = area.height;
    size.width = static_cast<int>(RoundHalfEven(static_cast<double>(*areaTimesWidth) / pictureHeight));
  } else {
    size.width = area.width;
    size.height = static_cast<int>(RoundHalfEven(static_cast<double>(*areaTimesHeight) / pictureWidth));
  }
  return size;
}

std::optional<HardcopyPage> LayOutHardcopy(const RgbImage& snapshot, int paperWidth, int paperHeight) {
  if (snapshot.width <= 0 || snapshot.height <= 0) return std::nullopt;
  const PageArea area = AreaInsideMargins(paperWidth, paperHeight);
  GreyImage grey = ToGrey(snapshot);
  if (TurnsOnPage(area, grey.width, grey.height)) grey = QuarterTurnCounterClockwise(grey);
  const auto size = FitIntoArea(area, grey.width, grey.height);
  if (!size) return std::nullopt;
  return HardcopyPage{std::move(grey), area.marginX, area.marginY, size->width, size->height};
}

} // namespace sinkview
