#include "tools/study_window/study_window.h"

#include <QCheckBox>
#include <QCloseEvent>
#include <QComboBox>
#include <QDoubleSpinBox>
#include <QFile>
#include <QFileDialog>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QListWidget>
#include <QMessageBox>
#include <QPainter>
#include <QProgressBar>
#include <QPushButton>
#include <QSignalBlocker>
#include <QSortFilterProxyModel>
#include <QStandardPaths>
#include <QTabWidget>
#include <QTableView>
#include <QTableWidget>
#include <QVBoxLayout>
#include <QtConcurrent/QtConcurrentRun>
#include <filesystem>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include "base/numtext.h"
#include "base/reader_text.h"
#include "protocol/calendar_date.h"
#include "report/report_pages.h"
#include "report/study_graphics.h"
#include "study/long_csv.h"
#include "study/reading_text.h"
#include "study/study_csv.h"
#include "studyrun/study_outputs.h"
#include "studyrun/study_protocol.h"
#include "studyrun/study_run.h"
#include "tools/study_window/drawing_view.h"
#include "tools/study_window/fill_table.h"
#include "tools/study_window/methods_tab.h"
#include "tools/study_window/model_tab.h"
#include "tools/study_window/precision_tab.h"
#include "tools/study_window/summary_model.h"
#include "tools/study_window/survival_tab.h"

namespace sinkview {

namespace {
std::string Local(const QString& path) { return path.toLocal8Bit().toStdString(); }

// Starts the viewer on a data file given by its bytes: QProcess takes its
// arguments as text and would change a name that is not valid UTF-8. A
// shell starts the viewer in the background and ends at once, so the viewer
// runs on its own.
bool StartViewer(const QString& program, const std::string& path) {
  const QString found = QStandardPaths::findExecutable(program);
  if (found.isEmpty()) return false;
  const std::string executable = QFile::encodeName(found).toStdString();
  const char* const argv[] = {"sh", "-c", "\"$0\" \"$1\" &", executable.c_str(), path.c_str(), nullptr};
  pid_t shell = 0;
  if (posix_spawn(&shell, "/bin/sh", nullptr, nullptr, const_cast<char* const*>(argv), environ) != 0)
    return false;
  int status = 0;
  return waitpid(shell, &status, 0) == shell && WIFEXITED(status) && WEXITSTATUS(status) == 0;
}

} // namespace

StudyWindow::StudyWindow(QString viewerProgram, QWidget* parent)
    : QMainWindow(parent), viewerProgram_(std::move(viewerProgram)) {
  setWindowTitle("Sinkview Study");
  auto* central = new QWidget(this);
  auto* layout = new QVBoxLayout(central);

  auto* top = new QHBoxLayout;
  auto* choose = new QPushButton("Choose folder...", central);
  folderLabel_ = new QLabel("No folder chosen", central);
  subFolders_ = new QCheckBox("Sub-folders", central);
  threshold_ = new QDoubleSpinBox(central);
  threshold_->setObjectName("threshold");
  threshold_->setRange(0, 100);
  threshold_->setDecimals(2);
  threshold_->setSingleStep(0.1);
  threshold_->setValue(kStartThresholdMm);
  threshold_->setSuffix(" mm");
  auto* again = new QPushButton("Read again", central);
  top->addWidget(choose);
  top->addWidget(folderLabel_, 1);
  top->addWidget(subFolders_);
  thresholdLabel_ = new QLabel(central);
  thresholdLabel_->setObjectName("thresholdLabel");
  ShowPrimaryVisit(std::string(kDefaultPrimaryVisit));
  top->addWidget(thresholdLabel_);
  top->addWidget(threshold_);
  top->addWidget(again);
  layout->addLayout(top);

  auto* status = new QHBoxLayout;
  counts_ = new QLabel(central);
  counts_->setObjectName("counts");
  progress_ = new QProgressBar(central);
  cancelButton_ = new QPushButton("Cancel", central);
  progress_->hide();
  cancelButton_->hide();
  status->addWidget(counts_, 1);
  status->addWidget(progress_);
  status->addWidget(cancelButton_);
  layout->addLayout(status);

  auto* studyRow = new QHBoxLayout;
  title_ = new QLabel(central);
  title_->setObjectName("title");
  title_->setWordWrap(true);
  groupFilter_ = new QComboBox(central);
  groupFilter_->setObjectName("groupFilter");
  groupFilter_->addItem("All groups");
  studyRow->addWidget(title_, 1);
  studyRow->addWidget(new QLabel("Group:", central));
  studyRow->addWidget(groupFilter_);
  layout->addLayout(studyRow);

  auto* tabs = new QTabWidget(central);
  summary_ = new SummaryModel(this);
  sorted_ = new QSortFilterProxyModel(this);
  sorted_->setSourceModel(summary_);
  sorted_->setSortRole(SummaryModel::SortRole);
  sorted_->setFilterKeyColumn(SummaryModel::GroupColumn);
  table_ = new QTableView(tabs);
  table_->setObjectName("patients");
  table_->setModel(sorted_);
  table_->setSortingEnabled(true);
  table_->setSelectionBehavior(QAbstractItemView::SelectRows);
  table_->setEditTriggers(QAbstractItemView::NoEditTriggers);
  table_->horizontalHeader()->setSectionResizeMode(QHeaderView::ResizeToContents);
  table_->setToolTip("Double-click a patient to open the data file in Sinkview");
  tabs->addTab(table_, "Patients");
  rejected_ = new QListWidget(tabs);
  rejected_->setObjectName("rejected");
  tabs->addTab(rejected_, "Rejected files");
  statistics_ = NewReadOnlyTable("statistics", tabs);
  tabs->addTab(statistics_, "Statistics");
  flow_ = NewReadOnlyTable("flow", tabs);
  tabs->addTab(flow_, "Flow");
  figure_ = new DrawingView(tabs);
  tabs->addTab(figure_, "Cohort figure");
  modelTab_ = new ModelTab(tabs);
  tabs->addTab(modelTab_, "Model");
  survivalTab_ = new SurvivalTab(tabs);
  tabs->addTab(survivalTab_, "Survival");
  precision_ = new PrecisionTab(tabs);
  tabs->addTab(precision_, "Precision");
  tabs->addTab(new MethodsTab(*this, tabs), "Methods and results");
  layout->addWidget(tabs, 1);

  auto* buttons = new QHBoxLayout;
  saveStudy_ = new QPushButton("Save study...", central);
  saveFigure_ = new QPushButton("Save figure...", central);
  saveWorkbook_ = new QPushButton("Save workbook...", central);
  buttons->addStretch(1);
  for (QPushButton* b : {saveStudy_, saveFigure_, saveWorkbook_}) {
    b->setEnabled(false);
    buttons->addWidget(b);
  }
  layout->addLayout(buttons);
  setCentralWidget(central);
  resize(1100, 650);

  connect(choose, &QPushButton::clicked, this, &StudyWindow::ChooseFolder);
  const auto readAgain = [this] {
    if (!folder_.isEmpty()) Read(folder_);
  };
  connect(again, &QPushButton::clicked, this, readAgain);
  // A changed setting applies at once: the sub-folders by reading again,
  // the threshold by flagging the patients anew.
  connect(subFolders_, &QCheckBox::toggled, this, readAgain);
  connect(threshold_, &QDoubleSpinBox::valueChanged, this, &StudyWindow::FlagByThreshold);
  connect(cancelButton_, &QPushButton::clicked, this, &StudyWindow::Cancel);
  // The first entry shows every group; the others match a group's name whole.
  connect(groupFilter_, &QComboBox::currentIndexChanged, this, [this](int index) {
    sorted_->setFilterFixedString(index <= 0 ? QString() : groupFilter_->itemText(index));
  });
  connect(&watcher_, &QFutureWatcher<StudyResult>::finished, this, &StudyWindow::Shown);
  connect(&saving_, &QFutureWatcher<SaveOutcome>::finished, this, &StudyWindow::SaveEnded);
  connect(table_, &QTableView::doubleClicked, this, &StudyWindow::OpenPatient);
  connect(saveStudy_, &QPushButton::clicked, this, &StudyWindow::SaveStudy);
  connect(saveFigure_, &QPushButton::clicked, this, &StudyWindow::SaveFigure);
  connect(saveWorkbook_, &QPushButton::clicked, this, &StudyWindow::SaveWorkbook);
}

StudyWindow::~StudyWindow() {
  cancel_ = true;
  watcher_.waitForFinished();
  saving_.waitForFinished();
}

void StudyWindow::closeEvent(QCloseEvent* event) {
  Cancel();
  saving_.waitForFinished(); // the model and the estimates it saves go next
  modelTab_->Clear();
  survivalTab_->Clear();
  QMainWindow::closeEvent(event);
}

bool StudyWindow::ApplyFolderProtocol(const QString& folder) {
  StudyCommand command;
  command.folders = {Local(folder)};
  command.options.recursive = subFolders_->isChecked();
  // The protocol's threshold, unless the field was changed for this folder.
  command.options.thresholdMm = threshold_->value();
  command.thresholdGiven = thresholdChosen_;
  // Without a cut-off in the protocol, the day of the reading, as on the command line.
  if (auto applied = ApplyProtocol(command, Today()); !applied) {
    title_->setText(QString::fromStdString(applied.error().message));
    counts_->setText("Nothing is read: the study's protocol has a problem.");
    return false;
  }
  readProtocolFile_ = ProtocolFileOf(command);
  readOn_ = Today();
  readWith_ = std::move(command.options);
  readNotes_ = std::move(command.notes);
  readWith_.keepPrepared = true; // the report can be saved at any time
  title_->setText(QString::fromStdString(readWith_.protocol.title));
  ShowPrimaryVisit(readWith_.protocol.primaryVisit);
  const QSignalBlocker quiet(threshold_); // the study shown is flagged anew once read
  threshold_->setValue(readWith_.thresholdMm);
  // A threshold finer than the field shows is applied as the protocol has it, and said.
  if (threshold_->value() != readWith_.thresholdMm)
    thresholdLabel_->setText(thresholdLabel_->text().chopped(1) + " (" +
                             QString::fromStdString(CsvNumber(readWith_.thresholdMm)) + " mm applied):");
  return true;
}

void StudyWindow::ShowPrimaryVisit(const std::string& visit) {
  thresholdLabel_->setText("Threshold at " + QString::fromStdString(visit) + ":");
}

void StudyWindow::ChooseFolder() {
  const QString folder = QFileDialog::getExistingDirectory(this, "Study folder", folder_);
  if (!folder.isEmpty()) Read(folder);
}

void StudyWindow::Read(const QString& folder) {
  saving_.waitForFinished(); // it saves the model and the estimates cleared here
  if (Reading()) {
    cancel_ = true;
    watcher_.waitForFinished();
  }
  // Another folder starts from its own protocol's threshold.
  if (folder != folder_) thresholdChosen_ = false;
  folder_ = folder;
  folderLabel_->setText(folder);
  cancel_ = false;
  // Until the new study is shown, nothing could be saved but a mix of both.
  for (QPushButton* b : {saveStudy_, saveFigure_, saveWorkbook_}) b->setEnabled(false);
  modelTab_->Clear();
  survivalTab_->Clear();
  if (!ApplyFolderProtocol(folder)) return;
  progress_->setRange(0, 0); // until the files are counted
  progress_->show();
  cancelButton_->show();
  counts_->setText("Reading...");
  // The progress is called on the worker; the bar is set on this thread.
  const auto progress = [this](std::size_t done, std::size_t total) {
    QMetaObject::invokeMethod(
        progress_,
        [bar = progress_, done, total] {
          bar->setRange(0, static_cast<int>(total));
          bar->setValue(static_cast<int>(done));
        },
        Qt::QueuedConnection);
  };
  readingLongCsv_ = std::make_shared<LongCsvSpool>();
  watcher_.setFuture(QtConcurrent::run(
      [folders = std::vector<std::string>{Local(folder)}, options = readWith_, progress, cancel = &cancel_,
       spool = readingLongCsv_] { return RunStudy(folders, options, progress, cancel, spool->Sink()); }));
}

void StudyWindow::Shown() {
  progress_->hide();
  cancelButton_->hide();
  StudyResult read = watcher_.result();
  shownWith_ = readWith_;
  // The threshold may have changed while the folder was read.
  FlagShown(read, thresholdChosen_ ? threshold_->value() : readWith_.thresholdMm);
  auto study = std::make_shared<const StudyResult>(std::move(read));
  shownProtocolFile_ = readProtocolFile_;
  shownOn_ = readOn_;
  longCsv_ = std::move(readingLongCsv_);
  ShowFlags(study);
  table_->sortByColumn(-1, Qt::AscendingOrder); // in the order found until the user sorts

  rejected_->clear();
  for (const std::string& note : readNotes_) rejected_->addItem(QString::fromStdString(note));
  for (const RejectedFile& r : study->rejected)
    rejected_->addItem(QString::fromStdString(r.file) + ": " + QString::fromStdString(r.reason));

  ShowGroups(*study);
  ShowStatistics(*study);
  ShowFlow(*study);
  precision_->Show(*study);
  for (QPushButton* b : {saveStudy_, saveFigure_, saveWorkbook_}) b->setEnabled(true);
  modelTab_->Fit(study);
  survivalTab_->Estimate(study);
  emit StudyShown();
}

void StudyWindow::ShowGroups(const StudyResult& study) {
  const QString chosen = groupFilter_->currentText();
  groupFilter_->clear();
  groupFilter_->addItem("All groups");
  for (const std::string& group : study.groups) groupFilter_->addItem(QString::fromStdString(group));
  // A group still in the study stays chosen when it is read again.
  groupFilter_->setCurrentIndex(std::max(0, groupFilter_->findText(chosen)));
}

void StudyWindow::ShowStatistics(const StudyResult& study) {
  std::vector<QStringList> rows;
  for (const CohortRow& row : study.cohort)
    rows.push_back({QString::fromUtf8(SeriesLabel(row.series)), QString::fromStdString(row.group),
                    QString::fromStdString(row.visit),
                    QString::fromStdString(LabelText(row.followUpMonths, kFileDecimalPoint)),
                    QString::number(row.n), Mm(row.mean), Mm(row.sd), Mm(row.median), Mm(row.min),
                    Mm(row.max), TableText(MmIntervalText(row.ci95Low, row.ci95High))});
  FillTable(*statistics_,
            {"Series", "Group", "Visit", "Follow-up (months)", "n", "Mean (mm)", "SD (mm)", "Median (mm)",
             "Min (mm)", "Max (mm)", "95 % CI (mm)"},
            rows);
}

void StudyWindow::ShowFlow(const StudyResult& study) {
  QStringList headers = {"Group", "Visit", "Hips"};
  for (int status = 0; status < kVisitStatusCount; ++status)
    headers << QString::fromUtf8(StatusName(static_cast<VisitStatus>(status))).replace('_', ' ');
  const QString days = "Days " + QString::fromUtf8(StudyClockText(study.patients)) + ", ";
  for (const char* statistic : {"mean", "SD", "min", "max"}) headers << days + statistic;
  std::vector<QStringList> rows;
  for (const FlowRow& row : study.flow) {
    QStringList cells = {QString::fromStdString(row.group), QString::fromStdString(row.visit),
                         QString::number(row.hips)};
    for (const int count : row.counts) cells << QString::number(count);
    for (const auto& days : {row.days.mean, row.days.sd, row.days.min, row.days.max})
      cells << TableText(DaysText(days));
    rows.push_back(cells);
  }
  FillTable(*flow_, headers, rows);
}

void StudyWindow::FlagByThreshold(double thresholdMm) {
  thresholdChosen_ = true;
  ShowPrimaryVisit(readWith_.protocol.primaryVisit); // without the protocol's finer threshold
  if (!study_) return;                               // a study being read is flagged when it is shown
  auto flagged = std::make_shared<StudyResult>(*study_);
  FlagShown(*flagged, thresholdMm);
  ShowFlags(std::move(flagged));
}

void StudyWindow::FlagShown(StudyResult& study, double thresholdMm) {
  FlagOverThreshold(study, thresholdMm);
  // What is saved records the threshold the study is flagged by.
  shownWith_.thresholdMm = thresholdMm;
  shownWith_.protocol.thresholdMm = thresholdMm;
}

void StudyWindow::ShowFlags(std::shared_ptr<const StudyResult> study) {
  study_ = study;
  summary_->SetStudy(study);
  figure_->Show([study](QPainter& painter, const QRectF& area) { DrawCohortFigure(painter, area, *study); });
  const auto flagged = std::count_if(study->patients.begin(), study->patients.end(),
                                     [](const PatientSummary& p) { return p.overThreshold.value_or(false); });
  counts_->setText(PatientsAndHips(study->patients) + " read, " +
                   TableText(CountText(study->rejected.size(), "file") + " rejected, " +
                             CountText(static_cast<std::size_t>(flagged), "hip") + " over the threshold") +
                   (AfterCutoffText(*study).empty() ? "" : TableText("; " + AfterCutoffText(*study))) +
                   (study->cancelled ? "; cancelled, the study is incomplete" : ""));
}

void StudyWindow::OpenPatient(const QModelIndex& index) {
  if (!index.isValid()) return;
  const PatientSummary& patient = summary_->Patient(sorted_->mapToSource(index).row());
  if (!StartViewer(viewerProgram_, patient.path))
    QMessageBox::warning(this, "Sinkview Study", "Sinkview cannot be started (" + viewerProgram_ + ").");
}

void StudyWindow::Report(const Expected<void, Failure>& done, const QString& saying) {
  if (!done) {
    QMessageBox::warning(this, "Sinkview Study", QString::fromStdString(done.error().message));
  } else {
    counts_->setText(saying);
  }
}

void StudyWindow::Report(const Expected<std::vector<std::string>, Failure>& done, const QString& saying) {
  if (!done) return Report(Expected<void, Failure>(Unexpected(done.error())), saying);
  QString notes;
  for (const std::string& note : *done) notes += " " + QString::fromStdString(note);
  counts_->setText(saying + notes);
}

namespace {

// The window's name and version in the workbook.
const std::string kWindowProgram = std::string("sinkview-study-window ") + SINKVIEW_VERSION;
constexpr std::string_view kFigureName = "cohort.png", kReportName = "study-report.pdf",
                           kWorkbookName = "study.xlsx", kBlandAltmanName = "bland-altman.png";

} // namespace

StudyOutputsRequest StudyWindow::RequestOfShown(const std::string& folder) const {
  StudyOutputsRequest request;
  request.outputDir = folder;
  request.protocolFile = shownProtocolFile_;
  // Made already: saving runs R no second time.
  request.model = modelTab_->Model();
  request.modelNotFitted = modelTab_->WhyNotFitted();
  request.survival = survivalTab_->Estimates();
  request.program = kWindowProgram;
  request.runDate = shownOn_;
  request.stop = &cancel_;
  return request;
}

// The job holds the study, its long.csv and what it is saved with: the
// window may flag it anew or read another while the job runs. The model
// and the estimates stay, since reading waits for a save to end.
StudyWindow::SaveJob StudyWindow::StudySetSave(const std::string& folder) const {
  StudyOutputsRequest request = RequestOfShown(folder);
  return [request, folder, study = study_, longCsv = longCsv_, options = shownWith_]() mutable -> Saved {
    if (!study || !longCsv) return Unexpected(Failure{"No study is shown."});
    const auto out = OutputFolder::Open(folder);
    if (!out) return Unexpected(out.error());
    const auto in = [&](std::string_view name) { return OutputFile(*out, name); };
    request.figureFile = in(kFigureName);
    request.reportFile = in(kReportName);
    request.workbookFile = in(kWorkbookName);
    if (study->repeat) request.blandAltmanFile = in(kBlandAltmanName);
    std::vector<std::string> notes;
    const auto committed = CommitStudySet(longCsv->CopyInto(*out), request, *study, options, *out,
                                          [&notes](const std::string& line) { notes.push_back(line); });
    if (!committed) return Unexpected(committed.error());
    return notes;
  };
}

StudyWindow::SaveJob StudyWindow::WorkbookSave(const std::string& path) const {
  const StudyOutputsRequest request = RequestOfShown(std::filesystem::path(path).parent_path().native());
  return [request, path, study = study_, longCsv = longCsv_, options = shownWith_]() -> Saved {
    if (!study || !longCsv) return Unexpected(Failure{"No study is shown."});
    const auto out = OutputFolder::Containing(path);
    if (!out) return Unexpected(out.error());
    const OutputFile target(*out, std::filesystem::path(path).filename().native());
    return CommitWorkbookAlone(longCsv->CopyInto(*out), request, *study, options, *out, target);
  };
}

StudyWindow::Saved StudyWindow::WriteStudySet(const std::string& folder) const {
  return StudySetSave(folder)();
}

StudyWindow::Saved StudyWindow::WriteWorkbookAlone(const std::string& path) const {
  return WorkbookSave(path)();
}

QString StudyWindow::WithoutModelText() const {
  return QString(modelTab_->Fitting() ? " The model was still being fitted and is not among them." : "") +
         (survivalTab_->Estimating() ? " The survival estimates were still being made and are not among them."
                                     : "");
}

void StudyWindow::SaveInBackground(SaveJob save, const QString& saying) {
  cancel_ = false;
  for (QPushButton* b : {saveStudy_, saveFigure_, saveWorkbook_}) b->setEnabled(false);
  progress_->setRange(0, 0);
  progress_->show();
  cancelButton_->show();
  counts_->setText("Saving...");
  savingSays_ = saying + WithoutModelText();
  saving_.setFuture(QtConcurrent::run([save = std::move(save)] {
    // QFuture keeps its results by copy: the outcome as plain values.
    const Saved saved = save();
    return saved ? SaveOutcome{{}, *saved} : SaveOutcome{saved.error().message, {}};
  }));
}

void StudyWindow::SaveEnded() {
  progress_->hide();
  cancelButton_->hide();
  for (QPushButton* b : {saveStudy_, saveFigure_, saveWorkbook_}) b->setEnabled(study_ != nullptr);
  const SaveOutcome outcome = saving_.result();
  if (!outcome.failure.empty())
    return Report(Expected<void, Failure>(Unexpected(Failure{outcome.failure})), savingSays_);
  Report(Saved(outcome.notes), savingSays_);
}

void StudyWindow::SaveStudy() {
  const QString folder = QFileDialog::getExistingDirectory(this, "Folder for the study's files", folder_);
  if (folder.isEmpty()) return;
  SaveInBackground(StudySetSave(Local(folder)), "The study's files are saved in " + folder + ".");
}

void StudyWindow::SaveFigure() {
  const QString file = QFileDialog::getSaveFileName(this, "Save the cohort figure", folder_ + "/cohort.png",
                                                    "Figures (*.png *.tif *.tiff *.svg *.pdf)");
  if (file.isEmpty() || !study_) return;
  Report(WriteCohortFigure(Local(file), *study_), "The cohort figure is saved as " + file + ".");
}

void StudyWindow::SaveWorkbook() {
  const QString file =
      QFileDialog::getSaveFileName(this, "Save the workbook", folder_ + "/study.xlsx", "Workbooks (*.xlsx)");
  if (file.isEmpty()) return;
  SaveInBackground(WorkbookSave(Local(file)), "The workbook is saved as " + file + ".");
}

} // namespace sinkview
