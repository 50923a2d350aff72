#include "figures/figure.h"

#include <gtest/gtest.h>

#include "../graphics/graphics_test_helpers.h"
#include "../support/failure_text.h"
#include "../support/file_contents.h"
#include "../support/temp_folder.h"
#include "ui/design_units.h"

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

// The slash and the red "stem-cement" follow the subsidence title of their
// side at every size, at the design's distance from it; the window's other
// labels move with the size.
TEST(GraphicsFigure, StemCementLegendStaysBesideTheSubsidenceTitleAtEverySize) {
  const QSize design = GraphicsDesignSize();
  for (const double ratio : {1.0, 0.75, 1.5, 2.0, 3.0}) {
    const QSize size(qRound(design.width() * ratio), qRound(design.height() * ratio * 0.8));
    for (const auto& [legend, title, dx] : {std::tuple{"Label9", "Label3", 1440},
                                            {"Label7", "Label3", 1560},
                                            {"Label10", "Label5", 1440},
                                            {"Label8", "Label5", 1560}}) {
      const QPoint at = FigureLabelPosition(legend, size), titleAt = FigureLabelPosition(title, size);
      EXPECT_EQ(at.y(), titleAt.y()) << legend << " at " << ratio;
      EXPECT_NEAR(at.x() - titleAt.x(), TwipsToPixels(dx), 1) << legend << " at " << ratio;
    }
  }
  EXPECT_EQ(FigureLabelPosition("Label3", design * 2), TwipsRect(240, 7440, 0, 0).topLeft());
}
