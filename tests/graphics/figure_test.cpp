#include "graphics/figure.h"

#include <filesystem>
#include <fstream>
#include <unistd.h>

#include "../support/file_contents.h"
#include "graphics_test_helpers.h"

using namespace sinkview;
namespace fs = std::filesystem;
using sinkview::testing::FileContents;

// A figure that cannot be made must not replace an older one, nor say it was written.
TEST(Figure, AFigureThatCannotBeMadeKeepsTheOlderFileAndSaysWhy) {
  const fs::path folder = fs::temp_directory_path() / ("sinkview_figure_" + std::to_string(::getpid()));
  fs::create_directories(folder);
  MeasurementModel m = sinkview::testing::LoadExample("bauer_helene_left.vok", true);
  const fs::path png = folder / "g.png";
  ASSERT_EQ(WriteFigure(Figure::Graphics, png, QSize(64, 48), m, SINKVIEW_BUILD_PROGRAM_DIR), "");
  const std::string older = FileContents(png);
  EXPECT_EQ(older.substr(1, 3), "PNG");
  // Far more pixels than any memory holds.
  const std::string message = WriteFigure(Figure::Graphics, png, QSize(400000, 400000), m, "");
  EXPECT_NE(message.find(png.string()), std::string::npos) << message;
  EXPECT_NE(message.find("does not fit in memory"), std::string::npos) << message;
  EXPECT_EQ(FileContents(png), older);
  EXPECT_EQ(std::distance(fs::directory_iterator(folder), fs::directory_iterator()), 1)
      << "no temporary file";
  fs::remove_all(folder);
}
