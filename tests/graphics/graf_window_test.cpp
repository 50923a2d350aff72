#include "graphics/graf_window.h"

#include <QApplication>
#include <QLabel>
#include <QPointer>
#include <QPushButton>
#include <cstring>
#include <map>
#include <memory>

#include "../support/child_widget.h"
#include "app/edition.h"
#include "graphics/graf_layout.h"
#include "graphics_test_helpers.h"
#include "ui/design_units.h"

using namespace sinkview;
using sinkview::testing::Child;
using sinkview::testing::LoadExample;

namespace {

// A shown graphics window over the model, prepared.
std::unique_ptr<GrafWindow> Shown(MeasurementModel& m) {
  auto prepared = PreparedSeries::Prepare(m, "shown.vok");
  EXPECT_TRUE(prepared);
  auto window =
      std::make_unique<GrafWindow>(std::move(*prepared), kMainEdition.Caption(), SINKVIEW_BUILD_PROGRAM_DIR);
  window->show();
  QApplication::processEvents();
  return window;
}

// The sixteen length series bit for bit.
bool SameLengths(const MeasurementModel& a, const MeasurementModel& b) {
  return std::all_of(kScaledSeries.begin(), kScaledSeries.end(), [&](auto series) {
    return std::memcmp((a.*series).data(), (b.*series).data(), sizeof(Series)) == 0;
  });
}

} // namespace

// Boxes and buttons scale with the window, labels 1 to 5 only move, the
// header and the stem/cement labels (6 to 10) stay where they were designed.
TEST(GrafWindow, LayoutIsTheDesignAndDoublesWithTheWindowButNotTheTextSize) {
  MeasurementModel m = LoadExample("bauer_helene_left.vok", true);
  const auto w = Shown(m);
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
    MeasurementModel m = LoadExample(c.file);
    if (*c.side) m.ProsthesisSide = c.side;
    const auto w = Shown(m);
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

// Painting re-bases the distance series; leaving the window, by the button or
// through the frame, gives back the lengths as read.
TEST(GrafWindow, LeavingRestoresTheLengthsBitForBitAndReturnsOnce) {
  for (const char* file : {"bauer_helene_left.vok", "schmid_anna_left_breaks.vok"}) {
    MeasurementModel m = LoadExample(file);
    const MeasurementModel read = m;
    int returns = 0;
    for (int visit = 1; visit <= 20; ++visit) {
      auto prepared = PreparedSeries::Prepare(m, file);
      ASSERT_TRUE(prepared);
      QPointer<GrafWindow> graf =
          new GrafWindow(std::move(*prepared), kMainEdition.Caption(), SINKVIEW_BUILD_PROGRAM_DIR);
      QObject::connect(graf, &GrafWindow::returnedToMain, [&] { ++returns; });
      graf->show();
      graf->resize(graf->size() * 1.5);
      graf->grab();
      SCOPED_TRACE(std::string(file) + ", visit " + std::to_string(visit));
      ASSERT_FALSE(SameLengths(m, read)) << "the lengths are corrected while the window is shown";
      visit % 2 ? Child<QPushButton>(graf, "Command1")->click() : void(graf->close());
      QApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
      EXPECT_TRUE(graf.isNull());
      EXPECT_EQ(returns, visit);
      ASSERT_TRUE(SameLengths(m, read));
    }
  }
}
