#include "graphics/graf_window.h"

#include <QApplication>
#include <QLabel>
#include <QPointer>
#include <QPushButton>
#include <map>
#include <memory>

#include "../support/child_widget.h"
#include "app/edition.h"
#include "graphics/graf_layout.h"
#include "graphics_test_helpers.h"
#include "ui/design_units.h"

using namespace sinkview;
using sinkview::testing::Child;
using sinkview::testing::PreparedExample;

namespace {

// A shown graphics window over a prepared series.
std::unique_ptr<GrafWindow> Shown(const PreparedSeries& prepared) {
  auto window = std::make_unique<GrafWindow>(prepared, kMainEdition.Caption(), SINKVIEW_BUILD_PROGRAM_DIR);
  window->show();
  QApplication::processEvents();
  return window;
}

} // namespace

// Boxes and buttons scale with the window, labels 1 to 5 only move, the
// header and the stem/cement labels (6 to 10) stay where they were designed.
TEST(GrafWindow, LayoutIsTheDesignAndDoublesWithTheWindowButNotTheTextSize) {
  const auto w = Shown(PreparedExample("bauer_helene_left.vok"));
  std::map<std::string_view, QSize> textSize;
  for (const double ratio : {1.0, 2.0}) {
    if (ratio == 2) w->resize(w->size() * 2);
    QApplication::processEvents();
    for (const GrafControl& c : kGrafControls) {
      QWidget* control = Child(w.get(), c.name);
      const int label = c.name.starts_with("Label") ? std::stoi(std::string(c.name.substr(5))) : 0;
      const double k = label >= 6 ? 1 : ratio;
      const QRect design = TwipsRect(k * c.rect.left, k * c.rect.top, k * c.rect.width, k * c.rect.height);
      if (ratio == 1) textSize[c.name] = control->size();
      EXPECT_EQ(control->geometry(), label ? QRect(design.topLeft(), textSize[c.name]) : design)
          << c.name << " at " << ratio;
    }
  }
}

TEST(GrafWindow, TitlesAndStemCementLabelsBySide) {
  const char* titles[] = {"medial distances", "subsidence total", "lateral distances", "bone/stem angle"};
  const struct {
    const char* file;
    const char* side; // empty: as read
    bool right, leftStemCement, rightStemCement;
  } cases[] = {{"bauer_helene_left.vok", "", false, true, false},
               {"mueller_otto_right.vok", "", true, false, false},
               {"bauer_helene_left.vok", "right", true, false, true}};
  for (const auto& c : cases) {
    PreparedSeries p = PreparedExample(c.file);
    if (*c.side) p.model.ProsthesisSide = c.side;
    const auto w = Shown(p);
    const std::string which = std::string(c.file) + " " + c.side;
    for (int i = 0; i < 4; ++i)
      EXPECT_EQ(Child<QLabel>(w.get(), "Label" + std::to_string(i + 2))->text(),
                titles[(i + 2 * c.right) % 4])
          << which;
    std::vector<bool> visible;
    for (const char* label : {"Label7", "Label9", "Label8", "Label10"})
      visible.push_back(Child(w.get(), label)->isVisible());
    EXPECT_EQ(visible,
              (std::vector<bool>{c.leftStemCement, c.leftStemCement, c.rightStemCement, c.rightStemCement}))
        << which;
  }
}

// Leaving the window, by the button or through the frame, returns once and
// drops the window with its prepared series.
TEST(GrafWindow, LeavingByTheButtonOrTheFrameReturnsOnceAndDropsTheWindow) {
  const PreparedSeries prepared = PreparedExample("schmid_anna_left_breaks.vok");
  int returns = 0;
  for (int visit = 1; visit <= 2; ++visit) {
    QPointer<GrafWindow> graf = new GrafWindow(prepared, kMainEdition.Caption(), SINKVIEW_BUILD_PROGRAM_DIR);
    QObject::connect(graf, &GrafWindow::returnedToMain, [&] { ++returns; });
    graf->show();
    graf->grab();
    visit == 1 ? Child<QPushButton>(graf, "Command1")->click() : void(graf->close());
    QApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    EXPECT_TRUE(graf.isNull()) << "visit " << visit;
    EXPECT_EQ(returns, visit);
  }
}
