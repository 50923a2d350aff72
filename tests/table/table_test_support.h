#pragma once

#include <QImage>
#include <QPushButton>
#include <QWidget>
#include <algorithm>
#include <fstream>
#include <string>

#include "../model/record_text.h"

namespace sinkview::testing {

// A data file of `count` radiographs a month apart, all comparable.
inline void WriteLongSeries(const std::string& path, int count) {
  std::ofstream file(path, std::ios::binary);
  for (int k = 0; k < count; ++k) {
    RecordText record;
    const int month = k % 12 + 1;
    record.date = std::to_string(2000 + k / 12) + (month < 10 ? "0" : "") + std::to_string(month) + "01";
    file << record.Text();
  }
}

// Dark pixels below the buttons' top that are not on a button: table text
// run under the buttons.
inline int TextBelowTheButtons(QWidget* window) {
  const QImage image = window->grab().toImage();
  const auto buttons = window->findChildren<QPushButton*>();
  int top = window->height();
  for (const QPushButton* button : buttons) top = std::min(top, button->y());
  int dark = 0;
  for (int y = top; y < image.height(); ++y) {
    for (int x = 0; x < image.width(); ++x) {
      const bool onButton = std::any_of(buttons.begin(), buttons.end(),
                                        [&](const QPushButton* b) { return b->geometry().contains(x, y); });
      dark += !onButton && qGray(image.pixel(x, y)) < 128;
    }
  }
  return dark;
}

} // namespace sinkview::testing
