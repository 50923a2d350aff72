#include "app/main_window.h"

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QDir>
#include <QEvent>
#include <QFile>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMessageBox>
#include <QMouseEvent>
#include <QPushButton>
#include <QRadioButton>
#include <QStorageInfo>
#include <algorithm>
#include <filesystem>

#include "app/numeric_value.h"
#include "graphics/graf_window.h"
#include "model/data_files.h"
#include "model/reader.h"
#include "model/setting_range.h"
#include "table/table_window.h"
#include "ui/design_units.h"

namespace sinkview {

namespace {

const QColor kWhite(0xFF, 0xFF, 0xFF);
const QColor kButtonGrey(0xC0, 0xC0, 0xC0);

std::string ToLocal(const QString& path) { return path.toLocal8Bit().toStdString(); }

// A file's name as the file system spells it, which need not be valid UTF-8.
constexpr int kNameBytes = Qt::UserRole;

void SetBackColor(QWidget* control, const QColor& colour) {
  QPalette palette = control->palette();
  palette.setColor(QPalette::Base, colour);
  palette.setColor(QPalette::Window, colour);
  control->setPalette(palette);
  control->setAutoFillBackground(true);
}

void ShowMessageBox(const UserMessage& message) {
  QMessageBox box(message.warning ? QMessageBox::Warning : QMessageBox::Information, message.title,
                  message.text, QMessageBox::Ok);
  if (!message.detail.isEmpty()) box.setInformativeText(message.detail);
  box.exec();
}

// A control under its design name at its design rectangle.
template <typename Control> Control* Place(QWidget* parent, const char* name, QRect rect) {
  auto* control = new Control(parent);
  control->setObjectName(name);
  control->setGeometry(rect);
  return control;
}

QLabel* MakeLabel(QWidget* parent, const char* name, const QString& caption, QRect rect) {
  auto* label = Place<QLabel>(parent, name, rect);
  label->setText(caption);
  return label;
}

} // namespace

MainWindow::MainWindow(const Edition& edition, ProgramPaths paths, QWidget* parent)
    : QWidget(parent), edition_(edition), paths_(std::move(paths)),
      session_(edition_.showsOldFormatNotice, paths_.SettingsFile), showMessage_(ShowMessageBox) {
  setObjectName("Main");
  buildControls();
  Form_Load();
}

void MainWindow::buildControls() {
  setWindowTitle(QString::fromStdString(edition_.Caption()));
  setFont(DesignFont());
  SetBackColor(this, kWhite);
  setFixedSize(TwipsRect(0, 0, 9840, 6900).size());
  setMouseTracking(true);

  Label1 = MakeLabel(this, "Label1", "Select VOK-datafile", TwipsRect(240, 120, 1656, 192));
  Drive1 = Place<QComboBox>(this, "Drive1", TwipsRect(240, 480, 3135, 315));
  Dir1 = Place<QListWidget>(this, "Dir1", TwipsRect(240, 840, 3135, 3015));
  File1 = Place<QListWidget>(this, "File1", TwipsRect(3600, 480, 3135, 3288));
  SetBackColor(File1, kWhite);

  Label7 = MakeLabel(this, "Label7", "General Settings", TwipsRect(6960, 120, 1695, 240));
  Label9 = MakeLabel(this, "Label9", "Time Limit (months):", TwipsRect(6960, 600, 1668, 192));
  SetBackColor(Label7, kWhite);
  SetBackColor(Label9, kWhite);
  Text2 = Place<QLineEdit>(this, "Text2", TwipsRect(8760, 600, 612, 192));
  Label30 = MakeLabel(this, "Label30", "Display subsidence raw data", TwipsRect(6960, 1200, 2412, 192));
  Check1 = Place<QCheckBox>(this, "Check1", TwipsRect(9480, 1200, 252, 192));
  // The style's indicator is taller than the design rectangle and would be
  // cut off; a square a little smaller than the rectangle fits it.
  const int indicator = std::min(Check1->width(), Check1->height()) - 2;
  Check1->setStyleSheet(QStringLiteral("QCheckBox { spacing: 0px; } "
                                       "QCheckBox::indicator { width: %1px; height: %1px; }")
                            .arg(indicator));
  Label14 = MakeLabel(this, "Label14", "Zoom (range +/- mm):", TwipsRect(6960, 1440, 1800, 192));
  Text1 = Place<QLineEdit>(this, "Text1", TwipsRect(8880, 1440, 492, 192));
  Label8 = MakeLabel(this, "Label8", "Subsidence related to", TwipsRect(6960, 2040, 1872, 192));
  Label15 = MakeLabel(this, "Label15", "Major Trochanter", TwipsRect(6960, 2280, 1476, 192));

  Frame3 = Place<QGroupBox>(this, "Frame3", TwipsRect(6960, 2760, 2172, 972));
  Frame3->setTitle("Reference Point");
  Label17 = MakeLabel(Frame3, "Label17", "Head Center", TwipsRect(120, 360, 1056, 192));
  Option9 = Place<QRadioButton>(Frame3, "Option9", TwipsRect(1800, 360, 252, 252));
  Label18 = MakeLabel(Frame3, "Label18", "Stem Shoulder", TwipsRect(120, 600, 1224, 192));
  Option10 = Place<QRadioButton>(Frame3, "Option10", TwipsRect(1800, 600, 252, 252));
  Option10->setChecked(true);

  Label22 = MakeLabel(this, "Label22", "Information", TwipsRect(240, 4200, 1140, 240));
  Label16 = MakeLabel(this, "Label16", "OLD FILE FORMAT!", TwipsRect(6960, 4200, 1728, 192));
  QPalette red = Label16->palette();
  red.setColor(QPalette::WindowText, QColor(0xFF, 0, 0));
  Label16->setPalette(red);
  Label2 = MakeLabel(this, "Label2", "Patient and Code:", TwipsRect(240, 4560, 1545, 195));
  Label10 = MakeLabel(this, "Label10", "", TwipsRect(2400, 4560, 690, 195));
  Label3 = MakeLabel(this, "Label3", "Side of Prostheses:", TwipsRect(240, 4800, 1665, 195));
  Label11 = MakeLabel(this, "Label11", "", TwipsRect(2400, 4800, 690, 195));
  Label4 = MakeLabel(this, "Label4", "Number of Radiographs:", TwipsRect(240, 5040, 2070, 195));
  Label12 = MakeLabel(this, "Label12", "", TwipsRect(2400, 5040, 690, 195));
  Label5 = MakeLabel(this, "Label5", "Period of Observation:", TwipsRect(240, 5280, 1920, 195));
  Label13 = MakeLabel(this, "Label13", "", TwipsRect(2400, 5280, 690, 195));
  Label6 = MakeLabel(this, "Label6", "months", TwipsRect(3120, 5280, 615, 195));
  Label19 = MakeLabel(this, "Label19", "Mean Magnification Factor", TwipsRect(240, 5640, 2280, 195));
  Label20 = MakeLabel(this, "Label20", "Computed by Head Radius:", TwipsRect(240, 5880, 2295, 195));
  Label23 = MakeLabel(this, "Label23", "", TwipsRect(2640, 5880, 675, 195));
  // The patient's name is often longer than its design box: let it run on
  // to the right rather than cut it off.
  Label10->resize(TwipsRect(2400, 4560, 4200, 195).size());

  const auto makeButton = [this](const char* name, const char* caption, QRect rect) {
    auto* button = new QPushButton(caption, this);
    button->setObjectName(name);
    button->setGeometry(rect);
    QPalette palette = button->palette();
    palette.setColor(QPalette::Button, kButtonGrey);
    button->setPalette(palette);
    return button;
  };
  Command2 = makeButton("Command2", "END", TwipsRect(240, 6360, 1452, 372));
  Command4 = makeButton("Command4", "SHOW TABLE", TwipsRect(5880, 6360, 1815, 372));
  Command1 = makeButton("Command1", "GRAPHICS", TwipsRect(7800, 6360, 1815, 372));

  for (QWidget* control : std::initializer_list<QWidget*>{Text1, Text2, Check1, Option9, Option10}) {
    control->setMouseTracking(true);
    control->installEventFilter(this);
  }
  Frame3->setMouseTracking(true);

  connect(Drive1, &QComboBox::activated, this, [this] { Drive1_Change(); });
  connect(Dir1, &QListWidget::itemActivated, this,
          [this](QListWidgetItem* item) { setCurrentFolder(item->data(Qt::UserRole).toString()); });
  // Selecting a file by mouse or keyboard loads it. Not a change of the
  // current row alone: the list makes its first row current by itself when
  // the focus comes back from a message box. Queued, so a message about a
  // bad file and the highlight's return to the loaded file come after the
  // list has finished handling the press or key.
  connect(File1, &QListWidget::itemSelectionChanged, this, &MainWindow::File1_SelectionMoved,
          Qt::QueuedConnection);
  connect(Text1, &QLineEdit::textChanged, this, [this] { Text1_Change(); });
  connect(Text2, &QLineEdit::textChanged, this, [this] { Text2_Change(); });
  connect(Check1, &QCheckBox::clicked, this, [this] { Check1_Click(); });
  connect(Option9, &QRadioButton::clicked, this, [this] { Option9_Click(); });
  connect(Option10, &QRadioButton::clicked, this, [this] { Option10_Click(); });
  connect(Command1, &QPushButton::clicked, this, [this] { Command1_Click(); });
  connect(Command2, &QPushButton::clicked, this, [this] { Command2_Click(); });
  connect(Command4, &QPushButton::clicked, this, [this] { Command4_Click(); });
}

void MainWindow::Form_Load() {
  HighlightedControl = nullptr;
  HighlightColor = QColor(0x00, 0xFF, 0x00);
  Text1->setText(QString::fromStdString(MainSession::StartZoomText()));
  Text2->setText(QString::fromStdString(MainSession::StartTimeLimitText()));
  for (QLabel* label : {Label10, Label11, Label12, Label13, Label23}) label->clear();
  Label16->hide();
  Command1->hide();
  Command4->hide();

  fillDriveList();
  setCurrentFolder(QString::fromLocal8Bit(session_.StartFolder(paths_.SampleFolder)));
}

void MainWindow::fillDriveList() {
  Drive1->clear();
  QStringList roots;
  for (const QStorageInfo& volume : QStorageInfo::mountedVolumes()) {
    if (volume.isValid() && volume.isReady()) roots << volume.rootPath();
  }
  roots.removeDuplicates();
  roots.sort();
  Drive1->addItems(roots);
}

void MainWindow::setCurrentFolder(const QString& folder) {
  folder_ = QDir(folder).absolutePath();
  // The drive is the mounted volume that holds the folder.
  int best = -1, bestLength = -1;
  for (int i = 0; i < Drive1->count(); ++i) {
    const QString root = Drive1->itemText(i);
    const bool holds = folder_ == root || folder_.startsWith(root.endsWith('/') ? root : root + '/');
    if (holds && root.size() > bestLength) best = i, bestLength = static_cast<int>(root.size());
  }
  if (best >= 0) Drive1->setCurrentIndex(best);
  Dir1_Change();
}

void MainWindow::Drive1_Change() {
  folder_ = Drive1->currentText();
  Dir1_Change();
}

void MainWindow::Dir1_Change() {
  fillFolderList();
  fillFileList();
}

void MainWindow::fillFolderList() {
  Dir1->clear();
  // The folder's ancestors from the root down, then its sub-folders, each
  // level indented a little further.
  QStringList chain;
  for (QDir dir(folder_);;) {
    chain.prepend(dir.absolutePath());
    if (dir.isRoot() || !dir.cdUp()) break;
  }
  int depth = 0;
  const auto add = [this](const QString& path, const QString& name, int level, bool current) {
    auto* item = new QListWidgetItem(QString(level * 2, ' ') + name, Dir1);
    item->setData(Qt::UserRole, path);
    if (current) Dir1->setCurrentItem(item);
  };
  for (const QString& path : chain) {
    const QString name = QDir(path).isRoot() ? path : QDir(path).dirName();
    add(path, name, depth++, path == folder_);
  }
  const QStringList subfolders = QDir(folder_).entryList(QDir::Dirs | QDir::NoDotAndDotDot | QDir::Readable,
                                                         QDir::Name | QDir::IgnoreCase);
  for (const QString& name : subfolders) add(QDir(folder_).filePath(name), name, depth, false);
}

void MainWindow::fillFileList() {
  File1->clear();
  // Listed by their bytes: a name that is not valid UTF-8 is shown as well
  // as it can be and opened by what it is. "*.VOK" files from Windows too.
  QList<QPair<QString, QByteArray>> names;
  for (const std::string& path : FindDataFiles({ToLocal(folder_)}, false).files) {
    const QByteArray name = QByteArray::fromStdString(std::filesystem::path(path).filename().native());
    names.append({QFile::decodeName(name), name});
  }
  std::stable_sort(names.begin(), names.end(), [](const auto& a, const auto& b) {
    return a.first.compare(b.first, Qt::CaseInsensitive) < 0;
  });
  for (const auto& [shown, name] : names) (new QListWidgetItem(shown, File1))->setData(kNameBytes, name);
  HighlightLoadedFile();
}

void MainWindow::File1_SelectionMoved() {
  // While a message about a rejected file is open, selection changes still
  // queued must not load that file once more.
  if (loading_) return;
  const QList<QListWidgetItem*> selected = File1->selectedItems();
  if (selected.isEmpty()) return;
  const QByteArray name = selected.front()->data(kNameBytes).toByteArray();
  if (name == loadedFile_ && folder_ == loadedFolder_) return;
  loading_ = true;
  File1_Click(name);
  loading_ = false;
}

void MainWindow::openDataFile(const QByteArray& path) {
  std::error_code ignored;
  const std::filesystem::path file =
      std::filesystem::absolute(path.toStdString(), ignored).lexically_normal();
  const QString folder = QFile::decodeName(QByteArray::fromStdString(file.parent_path().native()));
  // A file in a folder that is gone still gets the reader's message.
  if (QDir(folder).exists()) setCurrentFolder(folder);
  LoadDataFile(folder, QByteArray::fromStdString(file.filename().native()));
  HighlightLoadedFile();
}

void MainWindow::File1_Click(const QByteArray& fileName) {
  LoadDataFile(folder_, fileName);
  // The highlight always names the series that is loaded.
  HighlightLoadedFile();
}

QListWidgetItem* MainWindow::ListedFile(const QString& folder, const QByteArray& fileName) const {
  if (QDir(folder).absolutePath() != folder_) return nullptr;
  for (int row = 0; row < File1->count(); ++row) {
    if (File1->item(row)->data(kNameBytes).toByteArray() == fileName) return File1->item(row);
  }
  return nullptr;
}

void MainWindow::HighlightLoadedFile() {
  if (QListWidgetItem* loaded = ListedFile(loadedFolder_, loadedFile_)) {
    File1->setCurrentItem(loaded);
  } else {
    File1->setCurrentRow(-1);
    File1->clearSelection();
  }
}

bool MainWindow::LoadDataFile(const QString& folder, const QByteArray& fileName) {
  const auto facts = session_.Load(DataFilePath(ToLocal(folder), fileName.toStdString()));
  if (!facts) {
    const UserMessage message = warning(facts.error());
    // Greyed, the arrow keys step over it and a click cannot choose it again.
    if (QListWidgetItem* rejected = ListedFile(folder, fileName)) {
      rejected->setFlags(rejected->flags() & ~Qt::ItemIsEnabled);
      rejected->setToolTip(message.text);
    }
    showMessage_(message);
    return false;
  }
  loadedFolder_ = QDir(folder).absolutePath();
  loadedFile_ = fileName;
  showFacts(*facts);
  Command1->show();
  Command4->show();
  return true;
}

void MainWindow::showFacts(const SeriesFacts& facts) {
  Label10->setText(QString::fromStdString(facts.patient));
  Label11->setText(QString::fromStdString(facts.side));
  Label12->setText(QString::fromStdString(facts.radiographs));
  Label13->setText(QString::fromStdString(facts.months));
  Label23->setText(QString::fromStdString(facts.meanMagnification));
  Label16->setVisible(facts.oldFormatNotice);
}

// Paths and the reader's messages are in the locale's encoding.
UserMessage MainWindow::warning(const SessionMessage& message) const {
  return {true, message.title.empty() ? windowTitle() : QString::fromLocal8Bit(message.title),
          QString::fromLocal8Bit(message.text), QString::fromLocal8Bit(message.detail)};
}

void MainWindow::tell(const SessionMessage& message) { showMessage_(warning(message)); }

void MainWindow::Text1_Change() { session_.SetZoomText(ToLocal(Text1->text())); }

void MainWindow::Text2_Change() { session_.SetTimeLimitText(ToLocal(Text2->text())); }

void MainWindow::Check1_Click() { session_.ToggleRawData(); }

void MainWindow::Option9_Click() { session_.SetReference(Reference::HeadCenter); }

void MainWindow::Option10_Click() { session_.SetReference(Reference::StemShoulder); }

void MainWindow::HighlightControl(QWidget* control) {
  if (HighlightedControl == control) return;
  if (HighlightedControl) SetBackColor(HighlightedControl, kWhite);
  HighlightedControl = control;
  SetBackColor(control, HighlightColor);
}

bool MainWindow::eventFilter(QObject* watched, QEvent* event) {
  if (event->type() == QEvent::MouseMove || event->type() == QEvent::Enter) {
    if (auto* control = qobject_cast<QWidget*>(watched)) HighlightControl(control);
  }
  return QWidget::eventFilter(watched, event);
}

void MainWindow::mouseMoveEvent(QMouseEvent* event) {
  if (HighlightedControl) {
    SetBackColor(HighlightedControl, kWhite);
    HighlightedControl = nullptr;
  }
  QWidget::mouseMoveEvent(event);
}

std::optional<PreparedSeries> MainWindow::PreparedForWindow() {
  if (!session_.HasSeries()) return std::nullopt;
  auto prepared = session_.PrepareForWindow();
  if (prepared) return std::move(*prepared);
  tell(prepared.error());
  return std::nullopt;
}

// A field whose value the windows cannot draw with is named with its range,
// and no window opens; the field keeps what was typed.
bool MainWindow::SettingsFieldsHold() {
  for (const auto& [label, field, range] : {std::tuple{Label9, Text2, kTimeLimitMonthsRange},
                                            std::tuple{Label14, Text1, kZoomMillimetresRange}}) {
    if (range.Holds(NumericValue(ToLocal(field->text())))) continue;
    showMessage_({true,
                  windowTitle(),
                  QString("%1 wants a number %2, not '%3'.")
                      .arg(label->text(), QString::fromStdString(RangeText(range)), field->text()),
                  {}});
    return false;
  }
  return true;
}

void MainWindow::Command1_Click() {
  if (!SettingsFieldsHold()) return;
  std::optional<PreparedSeries> prepared = PreparedForWindow();
  if (!prepared) return;
  auto* graf = new GrafWindow(std::move(*prepared), edition_.Caption(), paths_.ProgramDirectory);
  connect(graf, &GrafWindow::returnedToMain, this, &MainWindow::returnFromWindow);
  hide();
  graf->show();
}

void MainWindow::Command4_Click() {
  if (!SettingsFieldsHold()) return;
  std::optional<PreparedSeries> prepared = PreparedForWindow();
  if (!prepared) return;
  auto* table = new TableWindow(std::move(*prepared), edition_.TableCaption());
  connect(table, &TableWindow::returnedToMain, this, &MainWindow::returnFromWindow);
  hide();
  table->show();
}

void MainWindow::returnFromWindow() { show(); }

void MainWindow::Command2_Click() {
  if (const auto problem = session_.End(ToLocal(folder_))) tell(*problem);
  QApplication::quit();
}

} // namespace sinkview
