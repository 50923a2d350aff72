#include "graphics/graf_window.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QLabel>
#include <QPointer>
#include <QPushButton>
#include <cstring>
#include <map>

#include "graphics/graf_layout.h"
#include "graphics_test_helpers.h"
#include "ui/design_units.h"

using namespace sinkview;
using sinkview::testing::LoadExample;

namespace {

template <typename T = QWidget> T* Child(QWidget& window, std::string_view name) {
  T* child = window.findChild<T*>(QString::fromUtf8(name.data(), static_cast<qsizetype>(name.size())));
  EXPECT_NE(child, nullptr) << name;
  return child;
}

QString Text(QWidget& window, const char* label) { return Child<QLabel>(window, label)->text(); }

// A shown graphics window over a prepared model.
struct Shown {
  explicit Shown(MeasurementModel& m, std::string folder = SINKVIEW_BUILD_PROGRAM_DIR)
      : window(new GrafWindow(m, kMainEdition, std::move(folder))) {
    window->show();
    QApplication::processEvents();
  }
  ~Shown() { delete window.data(); }
  QPointer<GrafWindow> window;
};

// The sixteen length series bit for bit.
bool SameLengths(const MeasurementModel& a, const MeasurementModel& b) {
  for (auto series : kScaledSeries) {
    if (std::memcmp((a.*series).data(), (b.*series).data(), sizeof(Series)) != 0) return false;
  }
  return true;
}

void ExpectAtDesignPlaces(GrafWindow& window, double ratioX, double ratioY) {
  for (const GrafControl& c : kGrafControls) {
    QWidget* control = Child(window, c.name);
    const DesignRect r = ResizedRect(c, ratioX, ratioY);
    if (c.resize == OnResize::Rectangle) {
      EXPECT_EQ(control->geometry(), TwipsRect(r.left, r.top, r.width, r.height)) << c.name;
    } else {
      EXPECT_EQ(control->pos(), TwipsRect(r.left, r.top, 0, 0).topLeft()) << c.name;
    }
  }
}

// Every test here needs the application object first.
class GrafWindowTest : public ::testing::Test {
protected:
};

} // namespace

TEST_F(GrafWindowTest, ShownAtDesignSizeWithTheDesignLayout) {
  MeasurementModel m = LoadExample("bauer_helene_left.vok");
  PrepareSeries(m);
  Shown shown(m);
  GrafWindow& w = *shown.window;
  EXPECT_EQ(w.size(), QSize(TwipsToPixels(8856), TwipsToPixels(6552)));
  EXPECT_EQ(w.windowTitle(), "ORVA / VOK - GRAPHICS 2008");
  ExpectAtDesignPlaces(w, 1, 1);
  EXPECT_EQ(Child(w, "Picture1")->geometry(), TwipsRect(3120, 720, 2652, 5292));
  EXPECT_EQ(Child<QPushButton>(w, "Command1")->text(), "<< FILE MENUE ");
  EXPECT_EQ(Child<QPushButton>(w, "Command2")->text(), "PRINT GRAPHICS");
  EXPECT_EQ(Text(w, "Label1"), "X-Ray / Reference System");
  EXPECT_EQ(Text(w, "Label6"), QString::fromStdString(HeaderText(m)));
  EXPECT_EQ(Text(w, "Label6").count('\n'), 1);
}

TEST_F(GrafWindowTest, DoubleSizeDoublesBoxesAndLabelPositionsButNotTextOrTheFixedLabels) {
  MeasurementModel m = LoadExample("bauer_helene_left.vok");
  PrepareSeries(m);
  Shown shown(m);
  GrafWindow& w = *shown.window;
  std::map<std::string_view, QRect> before;
  for (const GrafControl& c : kGrafControls) before[c.name] = Child(w, c.name)->geometry();
  w.resize(w.size() * 2);
  QApplication::processEvents();
  ExpectAtDesignPlaces(w, 2, 2);
  for (const GrafControl& c : kGrafControls) {
    const QRect now = Child(w, c.name)->geometry(), was = before[c.name];
    switch (c.resize) {
    case OnResize::Rectangle: // twice the rectangle, up to the rounding to whole pixels
      EXPECT_LE(std::abs(now.left() - 2 * was.left()), 1) << c.name;
      EXPECT_LE(std::abs(now.width() - 2 * was.width()), 1) << c.name;
      EXPECT_LE(std::abs(now.height() - 2 * was.height()), 1) << c.name;
      break;
    case OnResize::Position:
      EXPECT_EQ(now.size(), was.size()) << c.name << ": the text keeps its size";
      EXPECT_LE(std::abs(now.top() - 2 * was.top()), 1) << c.name;
      break;
    case OnResize::None:
      EXPECT_EQ(now, was) << c.name;
      break;
    }
  }
  w.resize(w.size() / 2);
  QApplication::processEvents();
  ExpectAtDesignPlaces(w, 1, 1);
}

TEST_F(GrafWindowTest, TitlesAndStemCementLabelsBySide) {
  const struct {
    const char* file;
    const char* titles[4];
    bool leftStemCement, rightStemCement;
  } cases[] = {
      {"bauer_helene_left.vok",
       {"medial distances", "subsidence total", "lateral distances", "bone/stem angle"},
       true,
       false},
      {"mueller_otto_right.vok",
       {"lateral distances", "bone/stem angle", "medial distances", "subsidence total"},
       false,
       false},
  };
  for (const auto& c : cases) {
    MeasurementModel m = LoadExample(c.file);
    PrepareSeries(m);
    Shown shown(m);
    GrafWindow& w = *shown.window;
    for (int i = 0; i < 4; ++i) {
      EXPECT_EQ(Text(w, ("Label" + std::to_string(i + 2)).c_str()), c.titles[i]) << c.file;
    }
    EXPECT_EQ(Child(w, "Label7")->isVisible(), c.leftStemCement) << c.file;
    EXPECT_EQ(Child(w, "Label9")->isVisible(), c.leftStemCement) << c.file;
    EXPECT_EQ(Child(w, "Label8")->isVisible(), c.rightStemCement) << c.file;
    EXPECT_EQ(Child(w, "Label10")->isVisible(), c.rightStemCement) << c.file;
    EXPECT_EQ(Text(w, "Label7"), "stem-cement");
    EXPECT_EQ(Text(w, "Label9"), "/");
    EXPECT_EQ(Child(w, "Label7")->palette().color(QPalette::WindowText), QColor(255, 0, 0));
  }
}

TEST_F(GrafWindowTest, RightReplacementWithStemCementShowsTheRightHandLabels) {
  MeasurementModel m = LoadExample("bauer_helene_left.vok");
  m.ProsthesisSide = "right";
  PrepareSeries(m);
  Shown shown(m);
  EXPECT_FALSE(Child(*shown.window, "Label7")->isVisible());
  EXPECT_TRUE(Child(*shown.window, "Label8")->isVisible());
  EXPECT_TRUE(Child(*shown.window, "Label10")->isVisible());
}

TEST_F(GrafWindowTest, EveryResizeRedrawsAllFiveBoxesInTheOrderOfTheirNumbers) {
  MeasurementModel m = LoadExample("schmid_anna_left_breaks.vok");
  PrepareSeries(m);
  Shown shown(m);
  struct PaintLog : QObject {
    std::vector<QString> painted;
    bool eventFilter(QObject* watched, QEvent* event) override {
      if (event->type() == QEvent::Paint) painted.push_back(watched->objectName());
      return false;
    }
  } log;
  for (int i = 1; i <= 5; ++i) Child(*shown.window, "Picture" + std::to_string(i))->installEventFilter(&log);
  for (const QSize size : {QSize(900, 700), QSize(300, 200), QSize(1200, 437)}) {
    log.painted.clear();
    shown.window->resize(size);
    QApplication::processEvents();
    EXPECT_EQ(log.painted, (std::vector<QString>{"Picture1", "Picture2", "Picture3", "Picture4", "Picture5"}))
        << size.width() << " x " << size.height();
  }
}

TEST_F(GrafWindowTest, FileMenuRestoresTheLengthsReadBitForBitAfterManyVisits) {
  for (const char* file :
       {"bauer_helene_left.vok", "mueller_otto_right.vok", "schmid_anna_left_breaks.vok"}) {
    MeasurementModel m = LoadExample(file);
    const MeasurementModel read = m;
    QWidget main;
    int returns = 0;
    for (int visit = 1; visit <= 25; ++visit) {
      PrepareSeries(m);
      auto* graf = new GrafWindow(m, kMainEdition, SINKVIEW_BUILD_PROGRAM_DIR);
      QPointer<GrafWindow> alive(graf);
      QObject::connect(graf, &GrafWindow::returnedToMain, &main, [&] {
        ++returns;
        main.show();
      });
      main.hide();
      graf->show();
      graf->resize(graf->size() * 1.5);
      graf->grab(); // paints every box, which re-bases the distance series
      ASSERT_FALSE(SameLengths(m, read)) << file << ": the lengths are corrected while the window is shown";
      Child<QPushButton>(*graf, "Command1")->click();
      QApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
      EXPECT_TRUE(alive.isNull()) << file << ": the window is gone";
      EXPECT_TRUE(main.isVisible()) << file;
      EXPECT_EQ(returns, visit) << file;
      ASSERT_TRUE(SameLengths(m, read)) << file << ", visit " << visit;
    }
    EXPECT_EQ(m.BoneStemAngle, read.BoneStemAngle) << file;
  }
}

TEST_F(GrafWindowTest, ClosingThroughTheFrameReturnsLikeTheFileMenu) {
  MeasurementModel m = LoadExample("bauer_helene_left.vok");
  const MeasurementModel read = m;
  PrepareSeries(m);
  auto* graf = new GrafWindow(m, kMainEdition, SINKVIEW_BUILD_PROGRAM_DIR);
  QPointer<GrafWindow> alive(graf);
  int returns = 0;
  QObject::connect(graf, &GrafWindow::returnedToMain, [&] { ++returns; });
  graf->show();
  QApplication::processEvents();
  EXPECT_TRUE(graf->close());
  QApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
  EXPECT_TRUE(alive.isNull());
  EXPECT_EQ(returns, 1);
  EXPECT_TRUE(SameLengths(m, read));
}

TEST_F(GrafWindowTest, DegenerateSeriesAndAMissingSketchFolderStillPaint) {
  MeasurementModel m = LoadExample("schmid_anna_left_breaks.vok");
  PrepareSeries(m);
  m.ZoomRange = 0;
  m.ShowRawData = 1;
  m.CorrectedShoulderMajor.fill(4);
  m.CorrectedAngle[2] = 1e30f;
  m.CorrectedMedial4[3] = -3e38f;
  {
    Shown shown(m, "/nonexistent folder/");
    EXPECT_FALSE(shown.window->grab().isNull());
  }
  m.RadiographCount = 1;
  Shown single(m);
  for (const QSize size : {QSize(200, 100), QSize(1, 1)}) {
    single.window->resize(size);
    single.window->grab();
  }
}

TEST_F(GrafWindowTest, FocusGoesFromTheButtonsToTheFivePictureBoxes) {
  MeasurementModel m = LoadExample("bauer_helene_left.vok");
  PrepareSeries(m);
  Shown shown(m);
  std::vector<QString> order;
  QWidget* w = Child(*shown.window, "Command1");
  for (int step = 0; step < 7; ++step) {
    order.push_back(w->objectName());
    do w = w->nextInFocusChain();
    while (w->focusPolicy() == Qt::NoFocus);
  }
  EXPECT_EQ(order, (std::vector<QString>{"Command1", "Command2", "Picture1", "Picture2", "Picture3",
                                         "Picture4", "Picture5"}));
}
