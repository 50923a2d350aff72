#include <gtest/gtest.h>

#include "hardcopy/hardcopy_image.h"

namespace sinkview {
namespace {

TEST(GreyLevel, DropsTheRemainderOfTheChannelMean) {
  RgbImage picture(4, 1);
  picture.pixels = {{255, 0, 0}, {255, 255, 255}, {1, 1, 2}, {254, 255, 255}};
  EXPECT_EQ(ToGrey(picture).pixels, (std::vector<std::uint8_t>{85, 255, 1, 254}));
}

TEST(QuarterTurn, LaysTheTopEdgeAlongTheLeftWithTheLeftEndAtTheBottom) {
  GreyImage source(3, 2); // 1 2 3 / 4 5 6
  source.pixels = {1, 2, 3, 4, 5, 6};
  const GreyImage turned = QuarterTurnCounterClockwise(source);
  ASSERT_EQ(turned.width, 2);
  EXPECT_EQ(turned.pixels, (std::vector<std::uint8_t>{3, 6, 2, 5, 1, 4}));
  // Counted bottom row first: (column j, row i) goes to row j, column H - 1 - i.
  for (int i = 0; i < 2; ++i)
    for (int j = 0; j < 3; ++j)
      EXPECT_EQ(turned.at(1 - i, RowFromBottom(j, 3)), source.at(j, RowFromBottom(i, 2)));
}

TEST(TurnsOnPage, OnlyALandscapePictureOnAPortraitPage) {
  const PageArea portrait = AreaInsideMargins(2480, 3508), landscape = AreaInsideMargins(3508, 2480);
  EXPECT_TRUE(TurnsOnPage(portrait, 401, 400));
  EXPECT_FALSE(TurnsOnPage(portrait, 400, 400));
  EXPECT_FALSE(TurnsOnPage(portrait, 300, 400));
  EXPECT_FALSE(TurnsOnPage(landscape, 400, 300));
}

TEST(AreaInsideMargins, IsATwentiethOfThePaperRoundedHalfToEven) {
  struct Case {
    int paperWidth, paperHeight, marginX, marginY, width, height;
  };
  for (const Case& c : {Case{2480, 3508, 124, 175, 2232, 3158},      // A4, 300 dpi: 175.4 down
                        Case{2550, 3300, 128, 165, 2294, 2970},      // Letter: 127.5 to the even 128
                        Case{2450, 70, 122, 4, 2206, 62},            // 122.5 to 122, 3.5 to 4
                        Case{9917, 14033, 496, 702, 8925, 12629}}) { // A4, 1200 dpi
    const PageArea area = AreaInsideMargins(c.paperWidth, c.paperHeight);
    EXPECT_EQ((std::vector{area.marginX, area.marginY, area.width, area.height}),
              (std::vector{c.marginX, c.marginY, c.width, c.height}))
        << c.paperWidth << "x" << c.paperHeight;
  }
}

TEST(FitIntoArea, FillsOneSideAndRoundsTheOtherHalfToEven) {
  struct Case {
    int areaWidth, areaHeight, width, height, printedWidth, printedHeight;
  };
  for (const Case& c : {Case{2294, 2970, 400, 300, 2294, 1720}, // 1720.5 to 1720
                        Case{2294, 2970, 100, 300, 990, 2970},  // wider area: the height fills it
                        Case{3, 100, 2, 1, 3, 2},               // 1.5 to 2
                        Case{200, 100, 2, 1, 200, 100}}) {      // same proportions
    const auto size = FitIntoArea(PageArea{0, 0, c.areaWidth, c.areaHeight}, c.width, c.height);
    ASSERT_TRUE(size);
    EXPECT_EQ(size->width, c.printedWidth) << c.width << "x" << c.height;
    EXPECT_EQ(size->height, c.printedHeight) << c.width << "x" << c.height;
  }
  EXPECT_FALSE(FitIntoArea(PageArea{0, 0, 100000, 100000}, 30000, 10)) << "product beyond 32 bits";
  EXPECT_FALSE(FitIntoArea(PageArea{0, 0, 100, 100}, 0, 10));
}

TEST(LayOutHardcopy, TurnsALandscapeSnapshotOnPortraitPaperAndPlacesItAtTheMargins) {
  const auto page = LayOutHardcopy(RgbImage(300, 200), 2480, 3508);
  ASSERT_TRUE(page);
  EXPECT_EQ(page->picture.width, 200);
  EXPECT_EQ((std::vector{page->x, page->y, page->width, page->height}), (std::vector{124, 175, 2105, 3158}));
  EXPECT_EQ(LayOutHardcopy(RgbImage(300, 200), 3508, 2480)->picture.width, 300);
}

} // namespace
} // namespace sinkview
