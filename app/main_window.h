#pragma once

#include <QWidget>
#include <functional>
#include <optional>
#include <string>

#include "app/edition.h"
#include "app/main_session.h"
#include "model/model.h"
#include "model/prepared_series.h"
#include "paths/program_paths.h"

class QCheckBox;
class QComboBox;
class QGroupBox;
class QLabel;
class QLineEdit;
class QListWidget;
class QListWidgetItem;
class QPushButton;
class QRadioButton;

namespace sinkview {

// How the main window tells the user something; tests replace it so that no
// message box waits for a click.
struct UserMessage {
  bool warning = true;
  QString title, text, detail;
};
using MessageSink = std::function<void(const UserMessage&)>;

// The main window: file selection, general settings and the facts of the
// loaded series. Its session owns the program's one measurement model and
// makes the decisions; the window keeps the widgets.
class MainWindow : public QWidget {
  Q_OBJECT
public:
  MainWindow(const Edition& edition, ProgramPaths paths, QWidget* parent = nullptr);

  const MeasurementModel& model() const { return session_.model(); }
  const Settings& settings() const { return session_.settings(); }
  void setMessageSink(MessageSink sink) { showMessage_ = std::move(sink); }

  // The folder whose files are listed.
  QString currentFolder() const { return folder_; }
  void setCurrentFolder(const QString& folder);

  // Handlers, named after their control and event.
  void Drive1_Change();
  void Dir1_Change();
  void File1_Click(const QByteArray& fileName);
  void Text1_Change();
  void Text2_Change();
  void Check1_Click();
  void Option9_Click();
  void Option10_Click();
  void Command1_Click();
  void Command2_Click();
  void Command4_Click();

  // Reads a data file (its name as the file system spells it) into the
  // model; false when the file was rejected and the series loaded before
  // stays. A rejected file of the listed folder is greyed with the reason.
  bool LoadDataFile(const QString& folder, const QByteArray& fileName);

  // Lists the folder of a data file, selects the file in File1 and loads it
  // as a click does (a file named on the command line, by its bytes).
  void openDataFile(const QByteArray& path);

protected:
  bool eventFilter(QObject* watched, QEvent* event) override;
  void mouseMoveEvent(QMouseEvent* event) override;

private:
  bool SettingsFieldsHold();
  std::optional<PreparedSeries> PreparedForWindow();
  void Form_Load();
  void buildControls();
  void fillDriveList();
  void fillFolderList();
  void fillFileList();
  void File1_SelectionMoved();
  void HighlightLoadedFile();
  QListWidgetItem* ListedFile(const QString& folder, const QByteArray& fileName) const;
  void HighlightControl(QWidget* control);
  void showFacts(const SeriesFacts& facts);
  UserMessage warning(const SessionMessage& message) const;
  void tell(const SessionMessage& message);
  void returnFromWindow();

  Edition edition_;
  ProgramPaths paths_;
  MainSession session_;
  MessageSink showMessage_;
  QString folder_;
  // The folder and name of the file whose series is loaded; empty before.
  QString loadedFolder_;
  QByteArray loadedFile_;
  bool loading_ = false;
  QWidget* HighlightedControl = nullptr;
  QColor HighlightColor;

  QLabel *Label1, *Label2, *Label3, *Label4, *Label5, *Label6, *Label7, *Label8, *Label9;
  QLabel *Label10, *Label11, *Label12, *Label13, *Label14, *Label15, *Label16, *Label17;
  QLabel *Label18, *Label19, *Label20, *Label22, *Label23, *Label30;
  QComboBox* Drive1;
  QListWidget* Dir1;
  QListWidget* File1;
  QLineEdit *Text1, *Text2;
  QCheckBox* Check1;
  QGroupBox* Frame3;
  QRadioButton *Option9, *Option10;
  QPushButton *Command1, *Command2, *Command4;
};

} // namespace sinkview
