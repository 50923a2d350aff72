#include "figures/figure.h"

#include <QPainter>
#include <gtest/gtest.h>

#include "../graphics/graphics_test_helpers.h"
#include "../support/failure_text.h"
#include "../support/file_contents.h"
#include "../support/temp_folder.h"
#include "table/export_file.h"
#include "table/table_text.h"
#include "ui/painter_surface.h"
#include "ui/recording_surface.h"

using namespace sinkview;
using sinkview::testing::MessageOf;
namespace fs = std::filesystem;
using sinkview::testing::FileContents;

// A figure that cannot be made must not replace an older one, nor say it was written.
TEST(Figure, AFigureThatCannotBeMadeKeepsTheOlderFileAndSaysWhy) {
  const sinkview::testing::TempFolder folder;
  const PreparedSeries m = sinkview::testing::PreparedExample("bauer_helene_left.vok");
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
// The study report draws a patient's graphics and then the table from one
// prepared series: the table must stay the table window's. Small distances
// would show a re-base in place: lifted by 3 mm they lose their last bits.
TEST(Figure, TheTableDrawnAfterTheGraphicsIsTheTableWindows) {
  const auto tableText = [](const PreparedSeries& p) {
    RecordingSurface surface;
    RenderTable(p, surface);
    std::string text;
    for (int n = 0; n <= TableLineCount(p.model); ++n) text += surface.LineText(n) + "\n";
    return text + ExportText(p);
  };
  const auto p = LoadPreparedFile(SINKVIEW_TEST_DATA "/small_distances.vok", {});
  ASSERT_TRUE(p) << p.error().message;
  const std::string window = tableText(*p);
  QImage image(GraphicsDesignSize(), QImage::Format_RGB32);
  QPainter painter(&image);
  DrawGraphicsFigure(painter, image.size(), *p, SINKVIEW_BUILD_PROGRAM_DIR);
  EXPECT_EQ(tableText(*p), window);
}

// A line shows at most a thousand characters of a text, never half of a
// character outside the Basic Multilingual Plane.
TEST(Figure, ATextIsCutWhereNoLineCouldShowMore) {
  const QString shortText(1000, 'a');
  EXPECT_EQ(AsOneLineShowsIt(shortText), shortText);
  EXPECT_EQ(AsOneLineShowsIt(QString(1 << 20, 'n')), QString(1000, 'n'));
  const QString pair = QString::fromUtf8("\xF0\x9F\x98\x80"); // two UTF-16 units
  EXPECT_EQ(AsOneLineShowsIt(QString(999, 'a') + pair + "b"), QString(999, 'a'));
  EXPECT_EQ(AsOneLineShowsIt(QString(998, 'a') + pair + "b"), QString(998, 'a') + pair);
}
