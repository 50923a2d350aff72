#pragma once

#include <QApplication>
#include <QPainter>
#include <QWidget>

namespace sinkview {

// One application object for every test of the process.
inline void EnsureApplication() {
  static int argc = 1;
  static char name[] = "hardcopy_tests";
  static char* argv[] = {name, nullptr};
  if (!QApplication::instance()) new QApplication(argc, argv);
}

// A landscape window whose printed orientation can be read back: a black
// band along its top edge, a light block at its left end and mid grey
// elsewhere. No pixel is white, so the picture's extent on the page shows.
class MarkedWindow : public QWidget {
public:
  static constexpr int kWidth = 400;
  static constexpr int kHeight = 200;
  static constexpr int kBand = 40;  // black rows at the top
  static constexpr int kBlock = 80; // light columns at the left, below the band

  MarkedWindow() {
    setWindowTitle(QStringLiteral("Hardcopy test"));
    resize(kWidth, kHeight);
  }

protected:
  void paintEvent(QPaintEvent*) override {
    QPainter painter(this);
    painter.fillRect(rect(), QColor(0, 0, 255));                               // grey 85
    painter.fillRect(0, 0, width(), kBand, Qt::black);                         // grey 0
    painter.fillRect(0, kBand, kBlock, height() - kBand, QColor(0, 255, 255)); // grey 170
  }
};

} // namespace sinkview
