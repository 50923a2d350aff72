#include "graphics/figure.h"

#include <gtest/gtest.h>

#include "ui/design_units.h"

using namespace sinkview;

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
