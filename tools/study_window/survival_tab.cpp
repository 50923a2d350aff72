#include "tools/study_window/survival_tab.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QTableWidget>
#include <QVBoxLayout>
#include <QtConcurrent/QtConcurrentRun>

#include "report/survival_reading.h"
#include "studyrun/study_run.h"
#include "tools/study_window/fill_table.h"

namespace sinkview {

namespace {

QString Lines(const std::vector<std::string>& lines) {
  QStringList joined;
  for (const std::string& line : lines) joined << QString::fromStdString(line);
  return joined.join('\n');
}

} // namespace

SurvivalTab::SurvivalTab(QWidget* parent) : QWidget(parent) {
  auto* layout = new QVBoxLayout(this);
  auto* top = new QHBoxLayout;
  status_ = new QLabel("No study is shown.", this);
  status_->setObjectName("survivalStatus");
  status_->setWordWrap(true);
  cancelButton_ = new QPushButton("Cancel the estimates", this);
  cancelButton_->hide();
  top->addWidget(status_, 1);
  top->addWidget(cancelButton_);
  layout->addLayout(top);
  table_ = NewReadOnlyTable("survival", this);
  layout->addWidget(table_, 1);
  connect(cancelButton_, &QPushButton::clicked, this, [this] {
    CancelRunning();
    status_->setText("The survival estimates were cancelled.");
  });
  connect(&watcher_, &QFutureWatcher<Outcome>::finished, this, &SurvivalTab::Finished);
}

SurvivalTab::~SurvivalTab() { CancelRunning(); }

void SurvivalTab::CancelRunning() {
  estimating_.reset(); // whatever it gives is dropped
  cancelButton_->hide();
  if (!Estimating()) return;
  cancel_ = true;
  watcher_.waitForFinished(); // R is killed within a tenth of a second
}

void SurvivalTab::Clear() {
  CancelRunning();
  estimates_.reset();
  status_->setText("No study is shown.");
  FillTable(*table_, {}, {});
}

void SurvivalTab::Estimate(std::shared_ptr<const StudyResult> study) {
  Clear();
  cancel_ = false;
  estimating_ = study;
  status_->setText("Estimating revision survival with R...");
  cancelButton_->show();
  watcher_.setFuture(QtConcurrent::run([study = std::move(study), cancel = &cancel_] {
    Outcome outcome{study, nullptr, {}};
    auto made = EstimateStudySurvival(
        true, *study, cancel, [&told = outcome.told](const std::string& line) { told.push_back(line); });
    if (made) outcome.estimates = std::make_shared<const SurvivalEstimates>(std::move(*made));
    return outcome;
  }));
}

void SurvivalTab::Finished() {
  if (!watcher_.isFinished()) return;
  const Outcome outcome = watcher_.result();
  if (!estimating_ || outcome.study != estimating_) return;
  estimating_.reset();
  cancelButton_->hide();
  Show(outcome);
  emit EstimateEnded();
}

void SurvivalTab::Show(const Outcome& outcome) {
  if (!outcome.estimates) {
    // Without R at all the Model tab says what to install.
    status_->setText(outcome.told.empty()
                         ? "R is not there: the survival estimates are not made (the Model tab says what "
                           "to install); survival.R is saved with the study for a later run."
                         : Lines(outcome.told));
    return;
  }
  const auto reading = SurvivalReadingOf(*outcome.estimates);
  if (!reading) {
    status_->setText(QString::fromStdString(reading.error().message));
    return;
  }
  estimates_ = outcome.estimates;
  std::vector<std::string> notes = reading->notes;
  notes.insert(notes.end(), outcome.told.begin(), outcome.told.end());
  status_->setText(Lines(notes));
  QStringList headers;
  for (const std::string& header : reading->headers) headers << QString::fromStdString(header);
  std::vector<QStringList> rows;
  for (const auto& row : reading->rows) {
    QStringList cells;
    for (const std::string& cell : row) cells << QString::fromStdString(cell);
    rows.push_back(cells);
  }
  FillTable(*table_, headers, rows);
}

} // namespace sinkview
