#pragma once

#include <QFutureWatcher>
#include <QWidget>
#include <atomic>
#include <memory>
#include <string>

#include "study/study.h"
#include "survival/survival_step.h"

class QLabel;
class QPushButton;
class QTableWidget;

namespace sinkview {

// Revision survival of the study shown, estimated by R off the interface
// thread beside the model's fit: per group and time the hips at risk, the
// revisions and deaths so far, the cumulative incidence of revision beside
// one minus Kaplan-Meier, and what they assume; or why there are none.
class SurvivalTab : public QWidget {
  Q_OBJECT
public:
  explicit SurvivalTab(QWidget* parent = nullptr);
  ~SurvivalTab() override;

  // Estimates the survival of `study`, now shown; an estimate under way is
  // cancelled and dropped.
  void Estimate(std::shared_ptr<const StudyResult> study);
  // Cancels an estimate under way and shows none.
  void Clear();
  bool Estimating() const { return watcher_.isRunning(); }
  // R's files for the study shown; nullptr while there are none.
  const SurvivalEstimates* Estimates() const { return estimates_.get(); }

signals:
  // An estimate has ended: its table or why there is none is shown.
  void EstimateEnded();

private:
  struct Outcome {
    std::shared_ptr<const StudyResult> study;
    std::shared_ptr<const SurvivalEstimates> estimates;
    std::vector<std::string> told; // R's notes, or why it made none
  };

  void CancelRunning();
  void Finished();
  void Show(const Outcome& outcome);

  std::atomic<bool> cancel_ = false;
  QFutureWatcher<Outcome> watcher_;
  std::shared_ptr<const StudyResult> estimating_; // the study shown, whose estimate is awaited
  std::shared_ptr<const SurvivalEstimates> estimates_;

  QLabel* status_;
  QPushButton* cancelButton_;
  QTableWidget* table_;
};

} // namespace sinkview
