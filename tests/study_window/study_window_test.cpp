#include <QBrush>
#include <QCheckBox>
#include <QClipboard>
#include <QComboBox>
#include <QDoubleSpinBox>
#include <QFont>
#include <QGuiApplication>
#include <QImage>
#include <QLabel>
#include <QListWidget>
#include <QPushButton>
#include <QRegularExpression>
#include <QSignalSpy>
#include <QTableView>
#include <QTableWidget>
#include <QTemporaryDir>
#include <QTest>
#include <chrono>
#include <filesystem>
#include <fstream>
#include <functional>
#include <gtest/gtest.h>
#include <regex>

#include "../support/file_contents.h"
#include "../support/run_shell.h"
#include "protocol/calendar_date.h"
#include "report/study_graphics.h"
#include "tools/study_window/methods_tab.h"
#include "tools/study_window/model_tab.h"
#include "tools/study_window/study_window.h"
#include "tools/study_window/summary_model.h"
#include "tools/study_window/survival_tab.h"

namespace sinkview {
namespace {

using sinkview::testing::FileContents;
namespace fs = std::filesystem;

// Its b is over the threshold, its a not.
const fs::path kCohort = fs::path(SINKVIEW_TEST_DATA) / "study_cohort";

// The tests' precision data read as a study with their repeat readings:
// two series of five pairs each.
StudyResult RepeatStudy() {
  StudyOptions options;
  options.recursive = true;
  options.keepPrepared = true;
  options.protocol.repeatReadings = (fs::path(SINKVIEW_TEST_DATA) / "precision_repeat" / "repeat").string();
  options.protocol.cutoff = std::chrono::year(2025) / 1 / 1;
  return RunStudy({(fs::path(SINKVIEW_TEST_DATA) / "precision_repeat").string()}, options);
}

// Whether `window` shows the study of `folder` within 20 s.
bool Shows(StudyWindow& window, const QString& folder) {
  QSignalSpy shown(&window, &StudyWindow::StudyShown);
  window.Read(folder);
  return shown.wait(20000);
}

TEST(StudyGraphics, TheReportHasTheStudyPagesAndOnePagePerPatientAndTheFiguresTheirFormatAndSize) {
  QTemporaryDir dir;
  const fs::path folder = dir.path().toStdString();
  StudyOptions options;
  options.keepPrepared = true;
  const StudyResult study = RunStudy({kCohort.string()}, options);
  ASSERT_EQ(study.patients.size(), 3u);
  StudyOptions withLimit = options;
  withLimit.protocol.detectionLimitMm = 0.5;
  const StudyResult repeat = RepeatStudy();

  // The front page with the figure, Table 1, the main result (no model, so
  // no model figure), the protocol with timing and bands, the flow, the
  // statistics and patients, the precision page with repeat readings or a
  // detection limit, a page per patient, and the write-up: the methods, the
  // results and the reporting facts (two pages of the nine visits' rows).
  const struct {
    StudyResult study;
    long pages;
  } cases[] = {
      {study, 6 + 3 + 4}, {RunStudy({kCohort.string()}, withLimit), 6 + 1 + 3 + 4}, {repeat, 6 + 1 + 6 + 4}};
  const auto report = folder / "report.pdf";
  for (const auto& c : cases) {
    ASSERT_TRUE(WriteStudyReport(report.string(), c.study, options));
    const std::string pdf = FileContents(report);
    const std::regex page("/Type\\s*/Page[^s]");
    EXPECT_EQ(std::distance(std::sregex_iterator(pdf.begin(), pdf.end(), page), std::sregex_iterator()),
              c.pages);
    EXPECT_EQ(std::distance(fs::directory_iterator(folder), {}), 1) << "no temporary file left";
  }

  for (const auto& [name, start] : {std::pair{"cohort.png", "\x89PNG"},
                                    {"cohort.SVG", "<?xml"},
                                    {"cohort.pdf", "%PDF"},
                                    {"cohort.tif", "II*"}}) {
    ASSERT_TRUE(WriteCohortFigure((folder / name).string(), study)) << name;
    EXPECT_EQ(FileContents(folder / name).rfind(start, 0), 0u) << name;
  }
  const auto wrong = WriteCohortFigure((folder / "cohort.jpg").string(), study);
  ASSERT_FALSE(wrong);
  EXPECT_NE(wrong.error().message.find("cohort.jpg"), std::string::npos);
  EXPECT_FALSE(fs::exists(folder / "cohort.jpg"));

  // A figure for a paper: one or two columns wide at 300 dpi, the PNG saying
  // so; the cohort figure, the model's means and the Bland-Altman plot alike,
  // whose two panels stand one above the other in one column, side by side in
  // two.
  const auto model = ReadModelResults((fs::path(SINKVIEW_TEST_DATA) / "model_two_groups/expected").native());
  ASSERT_TRUE(model) << model.error().message;
  const std::string file = (folder / "figure.png").string();
  const struct {
    const char* what;
    std::function<Expected<AtomicFile, Failure>(double)> draw;
    double (*heightMm)(double);
  } figures[] = {
      {"cohort", [&](double mm) { return CohortFigureInTemporary(file, study, mm); }, CohortFigureHeightMm},
      {"model", [&](double mm) { return ModelFigureInTemporary(file, study, &*model, mm); },
       ModelMeansFigureHeightMm},
      {"Bland-Altman", [&](double mm) { return BlandAltmanFigureInTemporary(file, repeat, mm); },
       [](double mm) {
         return mm < kTwoColumnsMm ? 2 * kBlandAltmanPanelHeightMm : kBlandAltmanPanelHeightMm;
       }},
  };
  for (const auto& figure : figures) {
    for (const auto& [widthMm, pixels] : {std::pair{85.0, 1004}, std::pair{170.0, 2008}}) {
      auto drawn = figure.draw(widthMm);
      ASSERT_TRUE(drawn && drawn->Commit()) << figure.what;
      const QImage image(QString::fromStdString(file));
      EXPECT_EQ(std::tuple(image.width(), image.height(), image.dotsPerMeterX(), image.dotsPerMeterY()),
                std::tuple(pixels, qRound(figure.heightMm(widthMm) / 25.4 * 300), 11811, 11811))
          << figure.what << widthMm;
    }
  }
  // Without R's model there is no figure of it, and the message says whose.
  const auto none = ModelFigureInTemporary((folder / "means.png").string(), study, nullptr);
  ASSERT_FALSE(none);
  EXPECT_NE(none.error().message.find("means.png: no model-means figure"), std::string::npos);
}

// A patient's page shows the series read with the rest of the study, even
// when its file has changed on disk since.
TEST(StudyGraphics, APatientPageShowsTheSeriesReadEvenWhenItsFileChangedSince) {
  QTemporaryDir dir;
  const fs::path folder = dir.path().toStdString(), data = folder / "data";
  fs::copy(kCohort, data);
  StudyOptions options;
  options.keepPrepared = true;
  const StudyResult study = RunStudy({data.string()}, options);
  const auto report = [&](const char* name) {
    EXPECT_TRUE(WriteStudyReport((folder / name).string(), study, options));
    // Without what names the moment and the copy: the dates and the document's ID.
    return std::regex_replace(
        FileContents(folder / name),
        std::regex("/CreationDate \\([^)]*\\)|xmp:\\w+Date=\"[^\"]*\"|/ID \\[[^\\]]*\\]"), "");
  };
  const std::string asRead = report("before.pdf");
  fs::copy_file(data / "a_break.vok", data / "b_isolated.vok", fs::copy_options::overwrite_existing);
  EXPECT_EQ(report("after.pdf"), asRead);
}

// A protocol with a problem is named with its line, and nothing is read.
// Without it, the folder shows with its flagged row marked and its rejected
// file.
TEST(StudyWindow, ShowsAFolderWithItsFlaggedRowMarkedAndItsRejectedFileAndSavesOnlyWhatItShows) {
  QTemporaryDir dir;
  const fs::path folder = dir.path().toStdString();
  fs::copy(kCohort, folder);
  fs::copy(fs::path(SINKVIEW_TEST_DATA) / "study_good_and_bad" / "no_record.vok", folder);
  std::ofstream(folder / "study.toml") << "title = \"T\"\nthreshold_mm = \"high\"\n";
  StudyWindow window("true");
  window.Read(dir.path());
  EXPECT_FALSE(window.Reading());
  EXPECT_EQ(window.Study(), nullptr);
  const std::string message = window.findChild<QLabel*>("title")->text().toStdString();
  for (const char* part : {"study.toml", "2"}) EXPECT_NE(message.find(part), std::string::npos) << message;

  fs::remove(folder / "study.toml");
  ASSERT_TRUE(Shows(window, dir.path()));

  const SummaryModel& model = window.Summary();
  ASSERT_EQ(model.rowCount(), 3);
  EXPECT_EQ(model.index(0, 2).data().toString(), "Arnold, Jr. Anton AA-1");
  EXPECT_EQ(window.findChild<QLabel*>("counts")->text(),
            "3 patients (3 hips) read, 1 file rejected, 1 hip over the threshold");

  // b is over the threshold at 24 months: its flag says so, and every cell
  // of its row is marked; a's row (no value after its break) is not.
  EXPECT_EQ(model.index(0, 0).data().toString() + "|" + model.index(1, 0).data().toString(), "|yes");
  for (int column = 0; column < model.columnCount(); ++column) {
    EXPECT_EQ(model.index(1, column).data(Qt::BackgroundRole).value<QBrush>().color().red(), 255);
    EXPECT_TRUE(model.index(1, column).data(Qt::FontRole).value<QFont>().bold());
    EXPECT_FALSE(model.index(0, column).data(Qt::BackgroundRole).isValid());
  }

  auto* rejected = window.findChild<QListWidget*>("rejected");
  ASSERT_EQ(rejected->count(), 1);
  EXPECT_TRUE(rejected->item(0)->text().startsWith("no_record.vok: "))
      << rejected->item(0)->text().toStdString();

  // Sorted by the last subsidence, b's -3 before a's -1.5: numbers order as
  // numbers (as text, "-1.5" would come first).
  auto* table = window.findChild<QTableView*>("patients");
  const auto rowOf = [&](const char* start) {
    for (int row = 0; row < 3; ++row)
      if (table->model()->index(row, 2).data().toString().startsWith(start)) return row;
    return -1;
  };
  table->sortByColumn(12, Qt::AscendingOrder);
  EXPECT_LT(rowOf("B"), rowOf("Arnold"));
  table->sortByColumn(12, Qt::DescendingOrder);
  EXPECT_LT(rowOf("Arnold"), rowOf("B"));

  // No repeat readings and no detection limit: the Precision tab says so
  // and shows nothing else.
  EXPECT_FALSE(window.findChild<QLabel*>("noRepeatReadings")->isHidden());
  for (const char* name : {"agreement", "blandAltman", "patternRule", "patterns"})
    EXPECT_TRUE(window.findChild<QWidget*>(name)->isHidden()) << name;
  EXPECT_EQ(window.findChild<QTableWidget*>("agreement")->rowCount(), 0);

  // What can be saved is the study shown, flagged by the threshold shown: a
  // changed threshold flags it at once, a changed sub-folder choice reads the
  // folder again, and while a folder is read nothing can be saved.
  // Without a cut-off in a protocol, the study runs to the day of the
  // reading, as the command line's does.
  EXPECT_EQ(window.Study()->protocol.cutoff, Today());
  std::vector<QPushButton*> saves;
  for (QPushButton* b : window.findChildren<QPushButton*>())
    if (b->text().startsWith("Save")) saves.push_back(b);
  ASSERT_EQ(saves.size(), 3u); // the study, the figure, the workbook
  const auto enabled = [&] {
    return std::count_if(saves.begin(), saves.end(), [](QPushButton* b) { return b->isEnabled(); });
  };
  EXPECT_EQ(enabled(), 3);

  // b's change at 24 months is -3: under a threshold of 3.5, without reading again.
  window.findChild<QDoubleSpinBox*>("threshold")->setValue(3.5);
  ASSERT_TRUE(window.Study());
  EXPECT_EQ(window.Summary().index(1, 0).data().toString(), "no");
  EXPECT_EQ(window.Study()->patients[1].overThreshold, false);
  EXPECT_EQ(CohortPlotOf(*window.Study(), kOneColumnMm, 4).thresholdMm, 3.5);

  QSignalSpy shown(&window, &StudyWindow::StudyShown);
  window.findChild<QCheckBox*>()->setChecked(true);
  EXPECT_EQ(enabled(), 0) << "reading again";
  ASSERT_TRUE(shown.wait(20000));
  EXPECT_EQ(enabled(), 3);
  EXPECT_EQ(window.Summary().index(1, 0).data().toString(), "no");

  window.Read(dir.path());
  EXPECT_EQ(enabled(), 0);
  ASSERT_TRUE(shown.wait(20000));
}

// The field starts from the protocol's threshold, read afresh and again,
// and a change in it stays with the folder; what is saved then records the
// threshold applied in every file.
TEST(StudyWindow, StartsFromTheProtocolsThresholdAndSavesTheOneItApplied) {
  QTemporaryDir dir, out, scratch;
  const fs::path folder = dir.path().toStdString(), saved = out.path().toStdString();
  fs::copy(kCohort, folder);
  // b's change at the primary visit is -3: under 3.5, over 2.
  std::ofstream(folder / "study.toml") << "title = \"T\"\nthreshold_mm = 3.5\n";
  StudyWindow window("true");
  auto* field = window.findChild<QDoubleSpinBox*>("threshold");
  const auto flagged = [&] {
    return window.findChild<QLabel*>("counts")->text().endsWith(", 1 hip over the threshold");
  };
  for (const char* when : {"fresh", "read again"}) {
    ASSERT_TRUE(Shows(window, dir.path())) << when;
    EXPECT_EQ(field->value(), 3.5) << when;
    EXPECT_FALSE(flagged()) << when;
    EXPECT_EQ(window.Study()->thresholdMm, 3.5) << when;
  }
  field->setValue(2);
  EXPECT_TRUE(flagged());
  ASSERT_TRUE(Shows(window, dir.path()));
  EXPECT_EQ(field->value(), 2) << "the window's own threshold stays while the folder does";
  EXPECT_TRUE(flagged());

  ASSERT_TRUE(window.WriteStudySet(saved.string()));
  EXPECT_TRUE(
      std::regex_search(FileContents(saved / "summary.csv"), std::regex("\nb_isolated\\.vok,[^\\r]*,yes,")));
  EXPECT_TRUE(std::regex_search(FileContents(saved / "protocol-used.toml"),
                                std::regex("\nthreshold_mm = 2(\\.0*)?\\s")))
      << FileContents(saved / "protocol-used.toml");
  std::string text, err;
  const std::string reader =
      "python3 " + testing::Quoted(fs::path(SINKVIEW_SOURCE_DIR) / "tests/workbook/sheet_cells.py");
  ASSERT_EQ(testing::RunShell(reader + testing::Quoted(saved / "study.xlsx"), scratch.path().toStdString(),
                              text, err),
            0)
      << err;
  // The Study sheet holds protocol-used.toml line by line.
  EXPECT_TRUE(std::regex_search(text, std::regex("\nStudy!A\\d+ text threshold_mm = 2(\\.0*)?\n"))) << text;
  ASSERT_EQ(testing::RunShell("pdftotext " + testing::Quoted(saved / "study-report.pdf") + "-",
                              scratch.path().toStdString(), text, err),
            0);
  EXPECT_NE(text.find("threshold 2.00 mm"), std::string::npos);

  // Another folder starts from its own protocol.
  QTemporaryDir other;
  fs::copy(folder, other.path().toStdString());
  ASSERT_TRUE(Shows(window, other.path()));
  EXPECT_EQ(field->value(), 3.5);

  // A threshold finer than the field shows is applied as the protocol has it, and said so.
  std::ofstream(fs::path(other.path().toStdString()) / "study.toml")
      << "title = \"T\"\nthreshold_mm = 2.995\n";
  ASSERT_TRUE(Shows(window, other.path()));
  EXPECT_EQ(window.Study()->thresholdMm, 2.995);
  const QString label = window.findChild<QLabel*>("thresholdLabel")->text();
  EXPECT_TRUE(label.endsWith("(2.995 mm applied):")) << label.toStdString();

  // Without a protocol the Study sheet lists the settings, the threshold applied among them.
  fs::remove(fs::path(other.path().toStdString()) / "study.toml");
  ASSERT_TRUE(Shows(window, other.path()));
  field->setValue(2.5);
  ASSERT_TRUE(window.WriteWorkbookAlone((saved / "alone.xlsx").string()));
  ASSERT_EQ(testing::RunShell(reader + testing::Quoted(saved / "alone.xlsx"), scratch.path().toStdString(),
                              text, err),
            0)
      << err;
  std::smatch row;
  ASSERT_TRUE(std::regex_search(text, row, std::regex("Study!A(\\d+) text Threshold \\(mm\\)"))) << text;
  EXPECT_NE(text.find("Study!B" + row[1].str() + " number 2.5\n"), std::string::npos) << text;
}

// The cell under `header` in the first row whose cells under the key
// headers hold the key values.
QString CellOf(const QAbstractItemModel& model, const std::vector<std::pair<QString, QString>>& key,
               const QString& header) {
  const auto column = [&](const QString& name) {
    for (int c = 0; c < model.columnCount(); ++c)
      if (model.headerData(c, Qt::Horizontal).toString() == name) return c;
    return -1;
  };
  if (column(header) < 0) return "no column " + header;
  for (int row = 0; row < model.rowCount(); ++row) {
    bool found = true;
    for (const auto& [name, value] : key) found = found && model.index(row, column(name)).data() == value;
    if (found) return model.index(row, column(header)).data().toString();
  }
  return "no row";
}

// The cells of `table`'s `row`, or its headers for row -1.
QStringList Cells(const QTableWidget& table, int row) {
  QStringList cells;
  for (int c = 0; c < table.columnCount(); ++c)
    cells << (row < 0 ? table.horizontalHeaderItem(c) : table.item(row, c))->text();
  return cells;
}

// The folder's study.toml is read as the command line reads it: its title,
// its primary visit, its groups to filter the patients by, what became of
// each group's hips at each visit, and the agreement of its repeat readings
// with the hips' migration patterns.
TEST(StudyWindow, ShowsTheProtocolsTitleGroupsFlowAndPrecisionThenFitsTheModelAndSavesTheStudyWithIt) {
  QTemporaryDir dir;
  const fs::path study = fs::path(dir.path().toStdString()) / "study";
  fs::copy(fs::path(SINKVIEW_SOURCE_DIR) / "examples/study", study, fs::copy_options::recursive);
  std::string toml = FileContents(study / "study.toml");
  toml.replace(toml.find("\"24 months\""), 11, "\"12 months\"");
  std::ofstream(study / "study.toml") << toml;
  StudyWindow window("true");
  QSignalSpy fitted(&window.Model(), &ModelTab::FitEnded);
  QSignalSpy estimated(&window.Survival(), &SurvivalTab::EstimateEnded);
  ASSERT_TRUE(Shows(window, QString::fromStdString(study.string())));
  EXPECT_EQ(window.findChild<QLabel*>("title")->text(),
            "Cemented stems A and B: subsidence over three years");
  EXPECT_EQ(window.findChild<QLabel*>("thresholdLabel")->text(), "Threshold at 12 months:");

  auto* groups = window.findChild<QComboBox*>("groupFilter");
  ASSERT_EQ(groups->count(), 3);
  auto* table = window.findChild<QTableView*>("patients");
  ASSERT_EQ(table->model()->rowCount(), 14);
  for (const auto& [group, hips] : {std::pair{"A", 7}, std::pair{"B", 7}}) {
    groups->setCurrentText(group);
    ASSERT_EQ(table->model()->rowCount(), hips) << group;
    for (int row = 0; row < hips; ++row)
      EXPECT_EQ(table->model()->index(row, SummaryModel::GroupColumn).data().toString(), group);
  }
  groups->setCurrentIndex(0);
  EXPECT_EQ(table->model()->rowCount(), 14);

  // Group B at 24 months: 4 of 7 measured; one revised, one with a late
  // baseline, one after a break. Each quantity is named with its unit, its
  // numbers rounded for reading (summary.csv and cohort.csv keep every digit).
  const QAbstractItemModel& flow = *window.findChild<QTableWidget*>("flow")->model();
  const QAbstractItemModel& statistics = *window.findChild<QTableWidget*>("statistics")->model();
  const std::vector<std::pair<QString, QString>> b24 = {{"Group", "B"}, {"Visit", "24 months"}},
                                                 a24 = {{"Series", "subsidence"},
                                                        {"Group", "A"},
                                                        {"Visit", "24 months"}},
                                                 weber = {{"File", "weber_friedrich_right.vok"}};
  const struct {
    const QAbstractItemModel& table;
    const std::vector<std::pair<QString, QString>>& row;
    QString header, shown;
  } cells[] = {
      {flow, b24, "Hips", "7"},
      {flow, b24, "measured", "4"},
      {flow, b24, "revised", "1"},
      {flow, b24, "late baseline", "1"},
      {flow, b24, "after break", "1"},
      {flow, b24, "Days since surgery, mean", "730"},
      {flow, b24, "Days since surgery, SD", "8"},
      {statistics, a24, "Follow-up (months)", "24"},
      {statistics, a24, "Mean (mm)", "-0.79"},
      {statistics, a24, "95 % CI (mm)", "-1.83 to 0.24"},
      {window.Summary(), weber, "Follow-up (months)", "36.0"},
      {window.Summary(), weber, "Subsidence, last (mm)", "-2.13"},
      {window.Summary(), weber, "Stem/cement, last (mm)", "0.66"},
      {window.Summary(), weber, "Angle change, last (°)", "0.0"},
      {window.Summary(), weber, "Subsidence at 12 months (mm)", "-1.28"},
  };
  for (const auto& c : cells)
    EXPECT_EQ(CellOf(c.table, c.row, c.header).toStdString(), c.shown.toStdString())
        << c.header.toStdString();

  // As precision.csv and bands.csv have them, rounded for reading.
  EXPECT_TRUE(window.findChild<QLabel*>("noRepeatReadings")->isHidden());
  EXPECT_FALSE(window.findChild<QWidget*>("blandAltman")->isHidden());
  const auto* agreement = window.findChild<QTableWidget*>("agreement");
  ASSERT_EQ(agreement->rowCount(), 2);
  EXPECT_EQ(Cells(*agreement, -1), (QStringList{"Series", "Pairs", "Hips", "Bias (mm)", "Bias 95 % CI (mm)",
                                                "SD (mm)", "Lower limit of agreement (mm)",
                                                "Lower limit 95 % CI (mm)", "Upper limit of agreement (mm)",
                                                "Upper limit 95 % CI (mm)", "Detection limit (mm)"}));
  EXPECT_EQ(Cells(*agreement, 0), (QStringList{"subsidence", "27", "6", "0.08", "0.04 to 0.12", "0.10",
                                               "-0.11", "-0.18 to -0.05", "0.27", "0.20 to 0.34", "0.19"}));
  const auto* patterns = window.findChild<QTableWidget*>("patterns");
  ASSERT_EQ(patterns->rowCount(), 4);
  EXPECT_EQ(Cells(*patterns, -1),
            (QStringList{"Group", "Pattern", "Hips", "Share (%)", "Wilson 95 % CI (%)"}));
  EXPECT_EQ(Cells(*patterns, 0), (QStringList{"A", "continuous", "2 of 4", "50.0", "15.0 to 85.0"}));
  EXPECT_EQ(Cells(*patterns, 3), (QStringList{"B", "stabilised", "0 of 3", "0.0", "0.0 to 56.1"}));
  const QString rule = window.findChild<QLabel*>("patternRule")->text();
  for (const char* part : {"Between 12 months and 24 months", "more than 0.19 mm",
                           "(the detection limit of the repeat readings)"})
    EXPECT_TRUE(rule.contains(part)) << rule.toStdString();

  // Once a study is shown, R fits its model off the interface thread and the
  // Model tab shows it; the whole study is saved as one set with that model,
  // and the workbook alone is the only file its save leaves.
  ASSERT_TRUE(fitted.wait(60000));
  ASSERT_NE(window.Model().Model(), nullptr)
      << window.findChild<QLabel*>("modelStatus")->text().toStdString();
  // The protocol asks for no structure: the tab names the one fitted.
  EXPECT_TRUE(window.findChild<QLabel*>("modelStatus")
                  ->text()
                  .contains("Model: a random intercept per hip, containment degrees of freedom."));

  // B's difference from A at 24 months, in all hips: headers with their
  // units, millimetres with two decimals, p with three or "< 0.001".
  const auto* differences = window.findChild<QTableWidget*>("modelDifferences");
  EXPECT_EQ(Cells(*differences, -1), (QStringList{"Analysis", "Series", "Group", "Reference", "Visit",
                                                  "Difference (mm)", "95 % CI (mm)", "p"}));
  const std::vector<std::pair<QString, QString>> allHips24 = {
      {"Analysis", "all hips"}, {"Series", "subsidence"}, {"Visit", "24 months"}};
  for (const auto& [header, shown] : {std::pair{"Difference (mm)", "-?\\d+\\.\\d\\d"},
                                      {"95 % CI (mm)", "-?\\d+\\.\\d\\d to -?\\d+\\.\\d\\d"},
                                      {"p", "\\d\\.\\d\\d\\d|< 0\\.001"}}) {
    const QString cell = CellOf(*differences->model(), allHips24, header);
    EXPECT_TRUE(QRegularExpression(QRegularExpression::anchoredPattern(shown)).match(cell).hasMatch())
        << header << ": " << cell.toStdString();
  }
  EXPECT_GT(window.findChild<QTableWidget*>("modelMeans")->rowCount(), 0);
  EXPECT_GE(window.findChild<QTableWidget*>("modelFits")->rowCount(), 2) << "all hips and complete cases";
  // The methods and results with the model fitted, copied as shown.
  auto* methods = static_cast<MethodsTab*>(window.findChild<QWidget*>("methods"));
  methods->Refresh();
  for (const char* part : {"random intercept per hip", "Primary analysis: At 12 months", "p = 0.092"})
    EXPECT_TRUE(methods->Text().contains(part)) << part;
  window.findChild<QPushButton*>("copyMethods")->click();
  EXPECT_EQ(QGuiApplication::clipboard()->text(), methods->Text());

  // Beside the fit, R estimates revision survival: a row per group and time.
  ASSERT_TRUE(estimated.count() > 0 || estimated.wait(60000));
  ASSERT_NE(window.Survival().Estimates(), nullptr)
      << window.findChild<QLabel*>("survivalStatus")->text().toStdString();
  const auto* survival = window.findChild<QTableWidget*>("survival");
  EXPECT_EQ(survival->rowCount(), 2 * 4) << "A and B at 1, 2, 3 and 3.6 years";
  EXPECT_EQ(Cells(*survival, 0).mid(0, 2), (QStringList{"A", "1"}));
  EXPECT_TRUE(window.findChild<QLabel*>("survivalStatus")->text().contains("competing event"));

  QTemporaryDir out;
  const fs::path folder = out.path().toStdString();
  const auto saved = window.WriteStudySet(folder.string());
  ASSERT_TRUE(saved) << saved.error().message;
  std::vector<std::string> names;
  for (const auto& entry : fs::directory_iterator(folder)) names.push_back(entry.path().filename());
  std::sort(names.begin(), names.end());
  EXPECT_EQ(names, (std::vector<std::string>{"analysis.R",
                                             "bands.csv",
                                             "baseline.csv",
                                             "bland-altman.png",
                                             "cohort.csv",
                                             "cohort.png",
                                             "comparison.csv",
                                             "dictionary.csv",
                                             "flow.csv",
                                             "inputs.csv",
                                             "long.csv",
                                             "methods.md",
                                             "model.csv",
                                             "model_fit.csv",
                                             "model_settings.csv",
                                             "model_tests.csv",
                                             "pairs.csv",
                                             "precision.csv",
                                             "primary_visit.csv",
                                             "protocol-used.toml",
                                             "r_software.csv",
                                             "rejected.csv",
                                             "reporting.csv",
                                             "results.md",
                                             "software.csv",
                                             "study-report.pdf",
                                             "study.xlsx",
                                             "summary.csv",
                                             "survival.R",
                                             "survival.csv",
                                             "survival_hips.csv",
                                             "survival_rejected.csv",
                                             "survival_software.csv",
                                             "survival_steps.csv",
                                             "survival_tests.csv",
                                             "visits.csv"}));
  EXPECT_EQ(FileContents(folder / "model.csv"), window.Model().Model()->modelCsv);
  EXPECT_EQ(FileContents(folder / "survival.csv"), window.Survival().Estimates()->survivalCsv);

  const fs::path alone = folder / "alone";
  fs::create_directory(alone);
  const auto workbook = window.WriteWorkbookAlone((alone / "study.xlsx").string());
  ASSERT_TRUE(workbook) << workbook.error().message;
  EXPECT_EQ(std::distance(fs::directory_iterator(alone), {}), 1);
  EXPECT_EQ(FileContents(alone / "study.xlsx").rfind("PK", 0), 0u);

  // Reading again cancels R's steps under way; nothing is had until the new ones.
  window.Read(QString::fromStdString(study.string()));
  EXPECT_EQ(window.Model().Model(), nullptr);
  EXPECT_FALSE(window.Model().Fitting());
  EXPECT_EQ(window.Survival().Estimates(), nullptr);
  EXPECT_FALSE(window.Survival().Estimating());
  ASSERT_TRUE(fitted.wait(60000));
}

// Without R the Model tab says in one line what to install, and the study
// is saved without a model.
TEST(StudyWindow, WithoutRTheModelTabSaysWhatToInstall) {
  QTemporaryDir noR, out;
  const std::string path = std::getenv("PATH");
  ::setenv("PATH", noR.path().toLocal8Bit().constData(), 1);
  StudyWindow window("true");
  QSignalSpy fitted(&window.Model(), &ModelTab::FitEnded);
  QSignalSpy estimated(&window.Survival(), &SurvivalTab::EstimateEnded);
  ASSERT_TRUE(Shows(window, QString::fromStdString(kCohort.string())));
  const bool ended =
      (fitted.count() > 0 || fitted.wait(20000)) && (estimated.count() > 0 || estimated.wait(20000));
  ::setenv("PATH", path.c_str(), 1);
  ASSERT_TRUE(ended);
  EXPECT_EQ(window.Model().Model(), nullptr);
  const QString status = window.findChild<QLabel*>("modelStatus")->text();
  EXPECT_TRUE(status.contains("r-base-core r-cran-nlme r-cran-emmeans")) << status.toStdString();
  EXPECT_FALSE(status.contains('\n'));
  // The Survival tab points there rather than say it again.
  EXPECT_EQ(window.Survival().Estimates(), nullptr);
  EXPECT_TRUE(
      window.findChild<QLabel*>("survivalStatus")->text().contains("the Model tab says what to install"));
  ASSERT_TRUE(window.WriteStudySet(out.path().toStdString()));
  EXPECT_FALSE(fs::exists(fs::path(out.path().toStdString()) / "model.csv"));
  EXPECT_FALSE(fs::exists(fs::path(out.path().toStdString()) / "survival.csv"));
}

// A patient whose file name is not valid UTF-8 opens by the name's bytes.
TEST(StudyWindow, DoubleClickOpensThePatientsFileByItsBytes) {
  QTemporaryDir dir;
  const fs::path folder = dir.path().toStdString();
  const std::string name = "m\xE4ller.vok";
  fs::copy_file(kCohort / "a_break.vok", folder / name);
  const fs::path viewer = folder / "viewer";
  // The note appears whole: the test reads it as soon as it exists.
  std::ofstream(viewer) << "#!/bin/sh\nprintf '%s' \"$1\" > \"$0.part\" && mv \"$0.part\" \"$0.opened\"\n";
  fs::permissions(viewer, fs::perms::owner_all);

  StudyWindow window(QString::fromStdString(viewer.string()));
  ASSERT_TRUE(Shows(window, dir.path()));
  auto* table = window.findChild<QTableView*>("patients");
  ASSERT_EQ(table->model()->rowCount(), 1);
  emit table->doubleClicked(table->model()->index(0, 2));
  for (int wait = 0; wait < 400 && !fs::exists(folder / "viewer.opened"); ++wait) QTest::qWait(50);
  EXPECT_EQ(FileContents(folder / "viewer.opened"), (folder / name).string());
}

} // namespace
} // namespace sinkview
