// The per-patient figure with scales on the exporter's command line.
#include <gtest/gtest.h>

#include <cstdint>
#include <iterator>
#include <sstream>

#include "../support/run_shell.h"
#include "../support/temp_folder.h"
#include "tools/export/export_options.h"

using namespace sinkview;
namespace fs = std::filesystem;

// The wrong ones are among export_usage_errors.txt.
TEST(FigureAxesOptions, ScalesAndAWidthOnPaperGoWithTheGraphicsOnly) {
  for (const char* arguments :
       {"--graphics g.png --axes a.vok", "--graphics g.png --axes --figure-width 85 a.vok",
        "--graphics g.pdf --axes --figure-width=170 --table t.png a.vok",
        "--graphics g.png --axes --size 800x600 a.vok"}) {
    std::istringstream words(arguments);
    const auto command = ParseExportArguments({std::istream_iterator<std::string>(words), {}});
    EXPECT_TRUE(command) << arguments << ": " << command.error().message;
  }
  const auto read = ParseExportArguments({"--graphics", "g.png", "--axes", "--figure-width", "170", "a.vok"});
  ASSERT_TRUE(read);
  EXPECT_TRUE(read->options.axes);
  EXPECT_EQ(read->options.figureWidthMm, 170);
  for (const char* option : {"--axes", "--figure-width=MM"})
    EXPECT_NE(ExportHelp().find(option), std::string::npos) << option;
}

#ifdef SINKVIEW_DRAWS_FIGURES
namespace {

std::uint32_t BigEndian(const std::string& bytes, std::size_t at) {
  std::uint32_t value = 0;
  for (std::size_t i = 0; i < 4; ++i) value = value << 8 | static_cast<unsigned char>(bytes.at(at + i));
  return value;
}

} // namespace

// 85 mm at 300 dpi are 1004 pixels; the PNG says its resolution, so it
// prints 85 mm wide.
TEST(FigureAxesOptions, AWidthOnPaperIsDrawnAtThreeHundredDotsPerInch) {
  const sinkview::testing::TempFolder folder;
  const fs::path png = folder.path / "g.png";
  std::string out, err;
  ASSERT_EQ(
      sinkview::testing::RunShell(
          "LC_ALL=C '" SINKVIEW_EXPORT_EXE "' --axes --figure-width 85 --graphics " +
              sinkview::testing::Quoted(png) +
              sinkview::testing::Quoted(fs::path(SINKVIEW_SOURCE_DIR) / "examples" / "bauer_helene_left.vok"),
          folder.path, out, err),
      0)
      << err;
  const std::string bytes = sinkview::testing::FileContents(png);
  ASSERT_EQ(bytes.substr(12, 4), "IHDR");
  EXPECT_EQ(BigEndian(bytes, 16), 1004u);
  const std::size_t physical = bytes.find("pHYs");
  ASSERT_NE(physical, std::string::npos);
  // Pixels per metre, then the unit (1: metres).
  EXPECT_EQ(BigEndian(bytes, physical + 4), 11811u);
  EXPECT_EQ(BigEndian(bytes, physical + 8), 11811u);
  EXPECT_EQ(bytes.at(physical + 12), 1);
}
#endif
