#pragma once

#include <QFutureWatcher>
#include <QWidget>
#include <atomic>
#include <memory>
#include <optional>
#include <string>

#include "rrunner/scratch_model.h"
#include "study/study.h"

class QLabel;
class QPushButton;
class QTableWidget;

namespace sinkview {

// The study's mixed model, fitted by R off the interface thread once a
// study is shown: the model-based means of each group at each visit, each
// group's difference from the reference group, and the fits, for all hips
// and for the complete cases; or the one line saying why there is none.
class ModelTab : public QWidget {
  Q_OBJECT
public:
  explicit ModelTab(QWidget* parent = nullptr);
  ~ModelTab() override;

  // Fits the model of `study`, now shown; a fit under way is cancelled and
  // its result dropped.
  void Fit(std::shared_ptr<const StudyResult> study);
  // Cancels a fit under way and shows no model.
  void Clear();
  bool Fitting() const { return watcher_.isRunning(); }
  // The model of the study shown; nullptr while there is none.
  const FittedModel* Model() const { return model_.get(); }
  // Why the last fit gave no model; empty while fitting or with a model.
  const std::string& WhyNotFitted() const { return failure_; }

signals:
  // A fit has ended: its model or why there is none is shown.
  void FitEnded();

private:
  // What a fit on the worker thread gives back, with the study it fitted.
  struct Outcome {
    std::shared_ptr<const StudyResult> study;
    std::shared_ptr<const FittedModel> model;
    std::string failure;
  };

  void CancelRunning();
  void Finished();
  void Show(const ModelResults& results);

  std::atomic<bool> cancel_ = false;
  QFutureWatcher<Outcome> watcher_;
  std::shared_ptr<const StudyResult> fitting_; // the study shown, whose fit is awaited
  std::shared_ptr<const FittedModel> model_;
  std::string failure_;

  QLabel* status_;
  QPushButton* cancelButton_;
  QTableWidget *means_, *differences_, *fits_;
};

} // namespace sinkview
