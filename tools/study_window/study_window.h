#pragma once

#include <QFutureWatcher>
#include <QMainWindow>
#include <atomic>
#include <functional>
#include <memory>

#include "base/expected.h"
#include "base/failure.h"
#include "protocol/calendar_date.h"
#include "study/study.h"

class QCheckBox;
class QComboBox;
class QDoubleSpinBox;
class QLabel;
class QListWidget;
class QProgressBar;
class QPushButton;
class QSortFilterProxyModel;
class QTableView;
class QTableWidget;

namespace sinkview {

class DrawingView;
class LongCsvSpool;
class ModelTab;
class PrecisionTab;
struct StudyOutputsRequest;
class SummaryModel;
class SurvivalTab;

// The study window: a folder of data files read as a study, its patients in
// a sortable table, the rejected files, the statistics, the cohort figure,
// R's model and revision survival, and buttons to save all of the study's
// files as one set, the figure alone or the workbook alone. Reading, R's
// steps and saving run on worker threads; the window answers while they do.
class StudyWindow : public QMainWindow {
  Q_OBJECT
public:
  // `viewerProgram` is started with a data file to open a patient.
  explicit StudyWindow(QString viewerProgram, QWidget* parent = nullptr);
  ~StudyWindow() override;

  // Reads `folder` as a study with the window's settings; a study being
  // read is cancelled first.
  void Read(const QString& folder);
  bool Reading() const { return watcher_.isRunning(); }
  void Cancel() { cancel_ = true; }

  const SummaryModel& Summary() const { return *summary_; }
  const StudyResult* Study() const { return study_.get(); }
  const ModelTab& Model() const { return *modelTab_; }
  const SurvivalTab& Survival() const { return *survivalTab_; }

  using Saved = Expected<std::vector<std::string>, Failure>;
  // What "Save study..." and "Save workbook..." write once the place is
  // chosen, here on the calling thread: the study shown's files as one set
  // in `folder`, or its workbook alone at `path`; the workbook's notes, if any.
  Saved WriteStudySet(const std::string& folder) const;
  Saved WriteWorkbookAlone(const std::string& path) const;

signals:
  // A study has been read (or cancelled) and is shown.
  void StudyShown();

protected:
  void closeEvent(QCloseEvent* event) override;

private:
  void ChooseFolder();
  void Shown();
  // Shows `study` in what its flags decide: the patients, the figure, the counts.
  void ShowFlags(std::shared_ptr<const StudyResult> study);
  void FlagByThreshold(double thresholdMm);
  // Flags `study` by `thresholdMm`, which what is saved then records.
  void FlagShown(StudyResult& study, double thresholdMm);
  void OpenPatient(const QModelIndex& index);
  void SaveStudy();
  void SaveFigure();
  void SaveWorkbook();
  // Said after a save made while R's model or estimates are still being made.
  QString WithoutModelText() const;
  // The outputs of the study shown in `folder`, the files of the folder alone.
  StudyOutputsRequest RequestOfShown(const std::string& folder) const;
  // A save of the study shown, to run on any thread.
  using SaveJob = std::function<Saved()>;
  SaveJob StudySetSave(const std::string& folder) const;
  SaveJob WorkbookSave(const std::string& path) const;
  // Runs `save` on a worker with the progress and cancel; `saying` once done.
  void SaveInBackground(SaveJob save, const QString& saying);
  void SaveEnded();

  void Report(const Expected<void, Failure>& done, const QString& saying);
  // The same, the workbook's notes after `saying`.
  void Report(const Expected<std::vector<std::string>, Failure>& done, const QString& saying);
  // The folder's protocol applied as the command line applies it; false
  // (with the problem shown) when it cannot be read.
  bool ApplyFolderProtocol(const QString& folder);
  // The threshold's label names the visit it applies at.
  void ShowPrimaryVisit(const std::string& visit);
  void ShowGroups(const StudyResult& study);
  void ShowFlow(const StudyResult& study);
  void ShowStatistics(const StudyResult& study);

  QString viewerProgram_;
  QString folder_;
  StudyOptions readWith_;
  std::vector<std::string> readNotes_; // what the protocol left out, listed with the rejected files
  // The protocol file the study follows (empty: none) and the day it is
  // read on, of the study being read and of the one shown.
  std::string readProtocolFile_, shownProtocolFile_;
  CalendarDate readOn_, shownOn_;
  // The study shown and what it was read with: all that is saved. Its
  // threshold is the one shown, applied at once.
  std::shared_ptr<const StudyResult> study_;
  StudyOptions shownWith_;
  // long.csv of the study shown, and of the one being read.
  std::shared_ptr<const LongCsvSpool> longCsv_;
  std::shared_ptr<LongCsvSpool> readingLongCsv_;
  std::atomic<bool> cancel_ = false;
  QFutureWatcher<StudyResult> watcher_;
  struct SaveOutcome {
    std::string failure; // empty: saved
    std::vector<std::string> notes;
  };
  QFutureWatcher<SaveOutcome> saving_;
  QString savingSays_;

  QLabel* folderLabel_;
  QLabel* title_;
  QComboBox* groupFilter_;
  QTableWidget* flow_;
  QCheckBox* subFolders_;
  QDoubleSpinBox* threshold_;
  bool thresholdChosen_ = false; // changed in the field since the folder was chosen
  QLabel* thresholdLabel_;       // names the protocol's primary visit
  QProgressBar* progress_;
  QPushButton* cancelButton_;
  QLabel* counts_;
  SummaryModel* summary_;
  QSortFilterProxyModel* sorted_;
  QTableView* table_;
  QListWidget* rejected_;
  QTableWidget* statistics_;
  DrawingView* figure_;
  ModelTab* modelTab_;
  SurvivalTab* survivalTab_;
  PrecisionTab* precision_;
  QPushButton *saveStudy_, *saveFigure_, *saveWorkbook_;
};

} // namespace sinkview
