#include <gtest/gtest.h>

#include <array>

#include "hardcopy/hardcopy_image.h"
#include "hardcopy/pdf_name.h"
#include "ui/surface.h" // the snapshot and the drawings share one colour type

using namespace sinkview;

TEST(GreyLevel, DropsTheRemainderOfTheChannelMean) {
  RgbImage picture(4, 1);
  picture.pixels = {{255, 0, 0}, {255, 255, 255}, {1, 1, 2}, {254, 255, 255}};
  EXPECT_EQ(ToGrey(picture).pixels, (std::vector<std::uint8_t>{85, 255, 1, 254}));
}

TEST(QuarterTurn, LaysTheTopEdgeAlongTheLeftWithTheLeftEndAtTheBottom) {
  GreyImage source(3, 2); // top row 1 2 3, bottom row 4 5 6
  source.pixels = {1, 2, 3, 4, 5, 6};
  const GreyImage turned = QuarterTurnCounterClockwise(source);
  EXPECT_EQ(std::pair(turned.width, turned.pixels), std::pair(2, decltype(turned.pixels){3, 6, 2, 5, 1, 4}));
}

TEST(AreaInsideMargins, IsATwentiethOfThePaperRoundedHalfToEven) {
  // paper width, height -> margin x, y, area width, height
  for (const auto& [paper, area] : std::vector<std::pair<std::array<int, 2>, std::array<int, 4>>>{
           {{2550, 3300}, {128, 165, 2294, 2970}}, // Letter: 127.5 to the even 128
           {{2450, 70}, {122, 4, 2206, 62}}}) {    // 122.5 to 122, 3.5 to 4
    const PageArea got = AreaInsideMargins(paper[0], paper[1]);
    EXPECT_EQ((std::array{got.marginX, got.marginY, got.width, got.height}), area) << paper[0];
  }
}

TEST(FitIntoArea, FillsOneSideAndRoundsTheOtherHalfToEven) {
  // area width, height, picture width, height -> printed width, height
  for (const auto& [in, printed] : std::vector<std::pair<std::array<int, 4>, std::array<int, 2>>>{
           {{2294, 2970, 400, 300}, {2294, 1720}}, // 1720.5 to 1720
           {{2294, 2970, 100, 300}, {990, 2970}},  // the height fills it
           {{3, 100, 2, 1}, {3, 2}}}) {            // 1.5 to 2
    const PrintedSize size = FitIntoArea(PageArea{0, 0, in[0], in[1]}, in[2], in[3]).value_or(PrintedSize{});
    EXPECT_EQ((std::array{size.width, size.height}), printed) << in[2] << "x" << in[3];
  }
  EXPECT_FALSE(FitIntoArea(PageArea{0, 0, 100000, 100000}, 30000, 10)) << "product beyond 32 bits";
  EXPECT_FALSE(FitIntoArea(PageArea{0, 0, 100, 100}, 0, 10));
}

TEST(LayOutHardcopy, TurnsOnlyALandscapePictureOnPortraitPaperAndPlacesItAtTheMargins) {
  // picture width, height, paper width, height -> first stored pixel, x, y, width, height; the
  // picture's top left corner is white, so the first stored pixel is black once turned
  for (const auto& [in, page] : std::vector<std::pair<std::array<int, 4>, std::array<int, 5>>>{
           {{300, 200, 2480, 3508}, {0, 124, 175, 2105, 3158}},
           {{400, 400, 2480, 3508}, {255, 124, 175, 2232, 2232}},    // square: never turned
           {{300, 200, 3508, 2480}, {255, 175, 124, 3158, 2105}}}) { // landscape paper: never
    RgbImage picture(in[0], in[1]);
    picture.pixels[0] = {255, 255, 255};
    const auto got = LayOutHardcopy(picture, in[2], in[3]);
    ASSERT_TRUE(got);
    EXPECT_EQ((std::array<int, 5>{got->picture.pixels[0], got->x, got->y, got->width, got->height}), page)
        << in[0] << "x" << in[1];
  }
}

TEST(HardcopyPdfName, PatientAndWindowWithWhatAFileNameCannotHoldReplaced) {
  for (const auto& [patient, window, expected] : std::initializer_list<std::array<const char*, 3>>{
           {"Bauer Helene HB-1948", "graphics", "Bauer Helene HB-1948 - graphics.pdf"},
           {"Doe/Jane: JD*1?", "table", "Doe-Jane- JD-1- - table.pdf"},
           {"  ../Doe . ", "table", "Doe - table.pdf"},
           {"\t", "graphics", "Hardcopy - graphics.pdf"}})
    EXPECT_EQ(HardcopyPdfName(patient, window), expected) << patient;
}
