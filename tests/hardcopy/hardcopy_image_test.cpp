#include <gtest/gtest.h>

#include "hardcopy/hardcopy_image.h"

namespace sinkview {
namespace {

TEST(GreyLevel, IsTheSumOfTheChannelsDividedByThreeWithTheRemainderDropped) {
  struct Case {
    Rgb pixel;
    int grey;
  };
  const Case cases[] = {
      {{255, 0, 0}, 85}, {{0, 255, 0}, 85}, {{0, 0, 255}, 85},      {{255, 255, 255}, 255},
      {{1, 1, 2}, 1},    {{0, 0, 0}, 0},    {{254, 255, 255}, 254}, {{0, 1, 1}, 0},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(GreyLevel(c.pixel), c.grey)
        << int(c.pixel.red) << "," << int(c.pixel.green) << "," << int(c.pixel.blue);
  }
  RgbImage picture(2, 1);
  picture.at(0, 0) = {255, 0, 0};
  picture.at(1, 0) = {1, 1, 2};
  const GreyImage grey = ToGrey(picture);
  EXPECT_EQ(grey.pixels, (std::vector<std::uint8_t>{85, 1}));
}

GreyImage Numbered(int width, int height) {
  GreyImage picture(width, height);
  for (std::size_t k = 0; k < picture.pixels.size(); ++k)
    picture.pixels[k] = static_cast<std::uint8_t>(k + 1);
  return picture;
}

TEST(QuarterTurn, MovesEveryPixelAsCountedFromTheBottomRow) {
  const GreyImage source = Numbered(4, 3);
  const GreyImage turned = QuarterTurnCounterClockwise(source);
  ASSERT_EQ(turned.width, 3);
  ASSERT_EQ(turned.height, 4);
  // Source pixel (column j, row i), rows counted from the bottom, goes to
  // row j, column H - 1 - i.
  for (int i = 0; i < source.height; ++i)
    for (int j = 0; j < source.width; ++j)
      EXPECT_EQ(turned.at(source.height - 1 - i, RowFromBottom(j, turned.height)),
                source.at(j, RowFromBottom(i, source.height)))
          << "column " << j << ", row from bottom " << i;
}

TEST(QuarterTurn, LaysTheTopEdgeAlongTheLeftWithTheLeftEndAtTheBottom) {
  // 1 2 3        3 6
  // 4 5 6   ->   2 5
  //              1 4
  GreyImage source(3, 2);
  source.pixels = {1, 2, 3, 4, 5, 6};
  const GreyImage turned = QuarterTurnCounterClockwise(source);
  EXPECT_EQ(turned.width, 2);
  EXPECT_EQ(turned.height, 3);
  EXPECT_EQ(turned.pixels, (std::vector<std::uint8_t>{3, 6, 2, 5, 1, 4}));
}

TEST(TurnsOnPage, OnlyALandscapePictureOnAPortraitPage) {
  const PageArea portrait = AreaInsideMargins(2480, 3508);
  const PageArea landscape = AreaInsideMargins(3508, 2480);
  const PageArea square = AreaInsideMargins(3000, 3000);
  struct Case {
    const PageArea& area;
    int width;
    int height;
    bool turns;
  };
  const Case cases[] = {
      {portrait, 400, 300, true},  {portrait, 401, 400, true},   {portrait, 300, 400, false},
      {portrait, 400, 400, false}, {landscape, 400, 300, false}, {landscape, 300, 400, false},
      {square, 400, 300, false},
  };
  for (const Case& c : cases)
    EXPECT_EQ(TurnsOnPage(c.area, c.width, c.height), c.turns)
        << c.area.width << "x" << c.area.height << " page, " << c.width << "x" << c.height << " picture";
}

TEST(AreaInsideMargins, IsATwentiethOfThePaperRoundedHalfToEven) {
  struct Case {
    int paperWidth, paperHeight;
    int marginX, marginY, width, height;
  };
  const Case cases[] = {
      {4960, 7016, 248, 351, 4464, 6314}, // A4, 600 dpi: 350.8 rounds up
      {2480, 3508, 124, 175, 2232, 3158}, // A4, 300 dpi: 175.4 rounds down
      {2550, 3300, 128, 165, 2294, 2970}, // Letter, 300 dpi: 127.5 to the even 128
      {2450, 70, 122, 4, 2206, 62},       // 122.5 to the even 122, 3.5 to 4
      {30, 50, 2, 2, 26, 46},             // 1.5 and 2.5 both to 2
  };
  for (const Case& c : cases) {
    const PageArea area = AreaInsideMargins(c.paperWidth, c.paperHeight);
    EXPECT_EQ(area.marginX, c.marginX) << c.paperWidth;
    EXPECT_EQ(area.marginY, c.marginY) << c.paperHeight;
    EXPECT_EQ(area.width, c.width) << c.paperWidth;
    EXPECT_EQ(area.height, c.height) << c.paperHeight;
  }
}

TEST(FitIntoArea, FillsOneSideAndRoundsTheOtherHalfToEven) {
  struct Case {
    int areaWidth, areaHeight, width, height;
    int printedWidth, printedHeight;
  };
  const Case cases[] = {
      {2294, 2970, 400, 300, 2294, 1720}, // 1720.5 to the even 1720
      {2294, 2970, 100, 300, 990, 2970},  // relatively wider area: the height fills it
      {3, 100, 2, 1, 3, 2},               // 1.5 to 2
      {5, 100, 2, 1, 5, 2},               // 2.5 to 2
      {200, 100, 2, 1, 200, 100},         // same proportions: both fill
      {4464, 6314, 600, 1000, 3788, 6314},
  };
  for (const Case& c : cases) {
    const auto size = FitIntoArea(PageArea{0, 0, c.areaWidth, c.areaHeight}, c.width, c.height);
    ASSERT_TRUE(size) << c.width << "x" << c.height;
    EXPECT_EQ(size->width, c.printedWidth) << c.width << "x" << c.height;
    EXPECT_EQ(size->height, c.printedHeight) << c.width << "x" << c.height;
  }
}

TEST(FitIntoArea, RefusesProductsBeyond32BitsAndEmptyPictures) {
  EXPECT_FALSE(FitIntoArea(PageArea{0, 0, 100000, 100000}, 30000, 10));
  EXPECT_FALSE(FitIntoArea(PageArea{0, 0, 100, 100}, 0, 10));
  EXPECT_FALSE(FitIntoArea(PageArea{0, 0, 100, 100}, 10, 0));
  EXPECT_FALSE(FitIntoArea(PageArea{0, 0, 0, 100}, 10, 10));
}

TEST(LayOutHardcopy, TurnsALandscapeSnapshotOnPortraitPaperAndPlacesItAtTheMargins) {
  RgbImage snapshot(300, 200);
  snapshot.at(0, 0) = {255, 255, 255};
  const auto page = LayOutHardcopy(snapshot, 2480, 3508);
  ASSERT_TRUE(page);
  EXPECT_EQ(page->picture.width, 200);
  EXPECT_EQ(page->picture.height, 300);
  EXPECT_EQ(page->picture.at(0, 299), 255); // top left corner now at the bottom left
  EXPECT_EQ(page->x, 124);
  EXPECT_EQ(page->y, 175);
  EXPECT_EQ(page->width, 2105); // 3158 * 200 / 300 = 2105.33
  EXPECT_EQ(page->height, 3158);
}

TEST(LayOutHardcopy, KeepsTheSnapshotUprightOnLandscapePaper) {
  const auto page = LayOutHardcopy(RgbImage(300, 200), 3508, 2480);
  ASSERT_TRUE(page);
  EXPECT_EQ(page->picture.width, 300);
  EXPECT_EQ(page->x, 175);
  EXPECT_EQ(page->y, 124);
  EXPECT_EQ(page->width, 3158);
  EXPECT_EQ(page->height, 2105);
}

TEST(LayOutHardcopy, RefusesAnEmptySnapshot) { EXPECT_FALSE(LayOutHardcopy(RgbImage(), 2480, 3508)); }

} // namespace
} // namespace sinkview
