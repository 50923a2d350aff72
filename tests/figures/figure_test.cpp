#include "figures/figure.h"

#include <gtest/gtest.h>

#include "../graphics/graphics_test_helpers.h"
#include "../support/failure_text.h"
#include "../support/file_contents.h"
#include "../support/temp_folder.h"

using namespace sinkview;
using sinkview::testing::MessageOf;
namespace fs = std::filesystem;
using sinkview::testing::FileContents;

// A figure that cannot be made must not replace an older one, nor say it was written.
TEST(Figure, AFigureThatCannotBeMadeKeepsTheOlderFileAndSaysWhy) {
  const sinkview::testing::TempFolder folder;
  MeasurementModel m = sinkview::testing::LoadExample("bauer_helene_left.vok", true);
  const fs::path png = folder.path / "g.png";
  ASSERT_EQ(MessageOf(WriteFigure(Figure::Graphics, png, QSize(64, 48), m, SINKVIEW_BUILD_PROGRAM_DIR)), "");
  const std::string older = FileContents(png);
  EXPECT_EQ(older.substr(1, 3), "PNG");
  // Far more pixels than any memory holds.
  const std::string message = MessageOf(WriteFigure(Figure::Graphics, png, QSize(400000, 400000), m, ""));
  EXPECT_NE(message.find(png.string()), std::string::npos) << message;
  EXPECT_NE(message.find("does not fit in memory"), std::string::npos) << message;
  EXPECT_EQ(FileContents(png), older);
  EXPECT_EQ(folder.Names(), std::vector<std::string>{"g.png"}) << "no temporary file";
}
