#pragma once

#include <QWidget>

#include "study/study.h"

class QLabel;
class QTableWidget;

namespace sinkview {

class DrawingView;

// The study window's Precision tab: the agreement of the repeat readings
// with the first, their Bland-Altman plot at the tab's size, and each
// group's hips by migration pattern with the rule they are told by.
// Without repeat readings it says so; the patterns stay where the protocol
// gives a detection limit.
class PrecisionTab : public QWidget {
public:
  explicit PrecisionTab(QWidget* parent = nullptr);
  void Show(const StudyResult& study);

private:
  QLabel* none_;
  QTableWidget* agreement_;
  DrawingView* plot_;
  QLabel* rule_;
  QTableWidget* patterns_;
};

} // namespace sinkview
