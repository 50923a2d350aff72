#include "tools/study_window/model_tab.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QTableWidget>
#include <QVBoxLayout>
#include <QtConcurrent/QtConcurrentRun>
#include <algorithm>

#include "base/numtext.h"
#include "report/analysis_text.h"
#include "study/reading_text.h"
#include "tools/study_window/fill_table.h"

namespace sinkview {

namespace {

QString Text(const std::string& text) { return QString::fromStdString(text); }

// All hips first, then the complete cases, each in R's order.
std::vector<const ModelEstimate*> OfKind(const ModelResults& results, std::string_view kind) {
  std::vector<const ModelEstimate*> rows;
  for (const ModelEstimate& e : results.estimates)
    if (e.kind == kind) rows.push_back(&e);
  std::stable_sort(rows.begin(), rows.end(),
                   [](const ModelEstimate* a, const ModelEstimate* b) { return a->analysis < b->analysis; });
  return rows;
}

QString AnalysisText(const std::string& analysis) {
  return analysis == "complete_cases" ? "complete cases" : analysis == "all" ? "all hips" : Text(analysis);
}
QString SeriesText(const std::string& series) {
  for (const CohortSeries known : {CohortSeries::Subsidence, CohortSeries::StemCement})
    if (series == SeriesName(known)) return QString::fromUtf8(SeriesLabel(known));
  return Text(series);
}

} // namespace

ModelTab::ModelTab(QWidget* parent) : QWidget(parent) {
  auto* layout = new QVBoxLayout(this);
  auto* top = new QHBoxLayout;
  status_ = new QLabel("No study is shown.", this);
  status_->setObjectName("modelStatus");
  status_->setWordWrap(true);
  cancelButton_ = new QPushButton("Cancel the fit", this);
  cancelButton_->hide();
  top->addWidget(status_, 1);
  top->addWidget(cancelButton_);
  layout->addLayout(top);
  means_ = NewReadOnlyTable("modelMeans", this);
  differences_ = NewReadOnlyTable("modelDifferences", this);
  fits_ = NewReadOnlyTable("modelFits", this);
  for (auto [title, table] : {std::pair{"Model-based means", means_},
                              {"Differences from the reference group", differences_},
                              {"Fits", fits_}}) {
    layout->addWidget(new QLabel(title, this));
    layout->addWidget(table, table == fits_ ? 0 : 1);
  }
  connect(cancelButton_, &QPushButton::clicked, this, [this] {
    CancelRunning();
    status_->setText("The fit was cancelled.");
  });
  connect(&watcher_, &QFutureWatcher<Outcome>::finished, this, &ModelTab::Finished);
}

ModelTab::~ModelTab() { CancelRunning(); }

void ModelTab::CancelRunning() {
  fitting_.reset(); // whatever it gives is dropped
  cancelButton_->hide();
  if (!Fitting()) return;
  cancel_ = true;
  watcher_.waitForFinished(); // R is killed within a tenth of a second
}

void ModelTab::Clear() {
  CancelRunning();
  model_.reset();
  failure_.clear();
  status_->setText("No study is shown.");
  for (QTableWidget* table : {means_, differences_, fits_}) FillTable(*table, {}, {});
}

void ModelTab::Fit(std::shared_ptr<const StudyResult> study) {
  Clear();
  cancel_ = false;
  fitting_ = study;
  status_->setText("Fitting the model with R...");
  cancelButton_->show();
  watcher_.setFuture(QtConcurrent::run([study = std::move(study), cancel = &cancel_] {
    Outcome outcome{study, nullptr, {}};
    auto fitted = FitModelInScratch(*study, cancel);
    if (fitted) {
      outcome.model = std::make_shared<const FittedModel>(std::move(*fitted));
    } else {
      outcome.failure = fitted.error().failure.message;
    }
    return outcome;
  }));
}

void ModelTab::Finished() {
  if (!watcher_.isFinished()) return;
  const Outcome outcome = watcher_.result();
  // A fit cancelled, or of a study no longer shown, is dropped.
  if (!fitting_ || outcome.study != fitting_) return;
  fitting_.reset();
  cancelButton_->hide();
  if (outcome.model) {
    model_ = outcome.model;
    Show(model_->results);
  } else {
    failure_ = outcome.failure;
    status_->setText(Text(outcome.failure));
  }
  emit FitEnded();
}

void ModelTab::Show(const ModelResults& results) {
  QString status =
      "Fitted by R (nlme, REML; emmeans). Differences are each group's from the reference group.";
  // The structure of the main fit; each fit's own in the table of fits.
  if (const ModelFit* main = FitOf(results, "all", "subsidence"))
    status += "\nModel: " + Text(ModelStructureText(*main)) + ".";
  for (const std::string& note : results.notes) status += "\n" + Text(note);
  status_->setText(status);
  const QString mean = Text(WithUnit("Mean", "mm")), difference = Text(WithUnit("Difference", "mm")),
                interval = Text(WithUnit("95 % CI", "mm"));

  std::vector<QStringList> rows;
  for (const ModelEstimate* e : OfKind(results, "mean"))
    rows.push_back({AnalysisText(e->analysis), SeriesText(e->series), Text(e->group), Text(e->visit),
                    Text(MmText(e->estimateMm)), Text(MmIntervalText(e->ci95LowMm, e->ci95HighMm))});
  FillTable(*means_, {"Analysis", "Series", "Group", "Visit", mean, interval}, rows);

  rows.clear();
  for (const ModelEstimate* e : OfKind(results, "difference"))
    rows.push_back({AnalysisText(e->analysis), SeriesText(e->series), Text(e->group), Text(e->referenceGroup),
                    Text(e->visit), Text(MmText(e->estimateMm)),
                    Text(MmIntervalText(e->ci95LowMm, e->ci95HighMm)), Text(PValueText(e->pValue))});
  FillTable(*differences_, {"Analysis", "Series", "Group", "Reference", "Visit", difference, interval, "p"},
            rows);

  rows.clear();
  for (const ModelFit& fit : results.fits)
    rows.push_back(
        {AnalysisText(fit.analysis), SeriesText(fit.series), Text(ModelStructureText(fit)),
         QString::number(fit.hips), QString::number(fit.observations), Text(MmText(fit.sdInterceptMm)),
         Text(MmText(fit.sdResidualMm)),
         fit.remlLogLikelihood ? Text(FixedText(*fit.remlLogLikelihood, 2, kFileDecimalPoint)) : QString()});
  FillTable(*fits_,
            {"Analysis", "Series", "Structure", "Hips", "Observations",
             Text(WithUnit("SD between hips", "mm")), Text(WithUnit("SD residual", "mm")),
             "REML log-likelihood"},
            rows);
}

} // namespace sinkview
