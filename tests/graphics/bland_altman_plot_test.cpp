#include <clocale>

#include "graphics/bland_altman_plot.h"
#include "graphics_test_helpers.h"

namespace sinkview {
namespace {

using namespace sinkview::testing;

// Three pairs with the bias 0.1 and the limits -0.88 and 1.08, drawn under
// a locale with a decimal comma: every number keeps its point.
TEST(BlandAltmanPlot, DrawsEachPairTheBiasAndTheLimitsWithTheirValues) {
  const char* old = std::setlocale(LC_NUMERIC, "de_DE.UTF-8");
  BlandAltmanPanel panel{"Subsidence", {-0.8, -1.5, -2.2}, {-0.4, 0.1, 0.6}, 0.1, -0.88, 1.08};
  RecordingSurface s;
  DrawBlandAltmanPanel(panel, s);
  if (old) std::setlocale(LC_NUMERIC, "C");

  EXPECT_GE(s.FontSize(), 7) << "texts of at least 7 pt";
  const auto boxes = Where(s, [](const Segment& seg) { return seg.box; });
  ASSERT_EQ(boxes.size(), 3u) << "one mark per pair";
  EXPECT_DOUBLE_EQ((boxes[1].x1 + boxes[1].x2) / 2, -1.5);
  EXPECT_DOUBLE_EQ((boxes[1].y1 + boxes[1].y2) / 2, 0.1);
  for (const double level : {0.1, -0.88, 1.08}) {
    const auto at = Where(s, [&](const Segment& seg) {
      return seg.colour == kAgreementColour && seg.y1 == level && seg.y2 == level;
    });
    EXPECT_FALSE(at.empty()) << level;
  }
  for (const std::string wanted : {"Bias 0.1", "+1.96 SD 1.08", "\u22121.96 SD -0.88", kBlandAltmanXTitle,
                                   kBlandAltmanYTitle, "Subsidence (n = 3 pairs)"})
    EXPECT_TRUE(HasText(s, wanted)) << wanted;
}

} // namespace
} // namespace sinkview
