#include <QBrush>
#include <QFont>
#include <QListWidget>
#include <QSignalSpy>
#include <QTableView>
#include <QTemporaryDir>
#include <filesystem>
#include <fstream>
#include <gtest/gtest.h>
#include <regex>

#include "../model/record_text.h"
#include "../support/file_contents.h"
#include "tools/study/study_graphics.h"
#include "tools/study_window/study_window.h"
#include "tools/study_window/summary_model.h"

namespace sinkview {
namespace {

using sinkview::testing::FileContents;

// Two patients of three radiographs a year apart, whose subsidence lengths
// shrink by 2 mm and by 0.1 mm (at image scale) a year, and a broken file.
// Returns the study of the folder.
StudyResult WriteStudy(const std::filesystem::path& folder) {
  for (const auto& [file, name, yearly] :
       {std::tuple{"a_sinking.vok", "Sinking", 2.0}, {"b_steady.vok", "Steady", 0.1}}) {
    std::ofstream out(folder / file);
    for (int k = 0; k < 3; ++k) {
      RecordText r;
      r.name = "\"" + std::string(name) + "\",\"Karl\",\"KV-1950\"";
      r.date = std::to_string(2006 + k) + "0301";
      const auto length = [&](double start) { return std::to_string(start - k * yearly); };
      r.subsidence = length(63.4) + "," + length(48.2) + "," + length(55.8) + "," + length(40.6);
      out << r.Text();
    }
  }
  std::ofstream(folder / "c_broken.vok") << "[X-ray 1]\r\n\"Broken\"\r\n";
  return RunStudy({folder.string()}, StudyOptions());
}

TEST(StudyGraphics, TheReportHasTheStudyPagesAndOnePagePerPatient) {
  QTemporaryDir dir;
  const std::filesystem::path folder = dir.path().toStdString();
  const StudyResult study = WriteStudy(folder);
  const StudyOptions options;
  ASSERT_EQ(study.patients.size(), 2u);

  const auto report = folder / "report.pdf";
  ASSERT_FALSE(WriteStudyReport(report.string(), study, options));
  const std::string pdf = FileContents(report);
  const std::regex page("/Type\\s*/Page[^s]");
  const auto pages =
      std::distance(std::sregex_iterator(pdf.begin(), pdf.end(), page), std::sregex_iterator());
  // The front page with the figure, the tables, then the two patients.
  EXPECT_EQ(pages, 2 + 2);
  // Only the report itself is left in the folder besides the data files.
  EXPECT_EQ(std::distance(std::filesystem::directory_iterator(folder), {}), 4);
}

TEST(StudyGraphics, TheCohortFigureIsWrittenInTheFormatOfItsName) {
  QTemporaryDir dir;
  const std::filesystem::path folder = dir.path().toStdString();
  const StudyResult study = WriteStudy(folder);
  const StudyOptions options;
  for (const auto& [name, start] :
       {std::pair{"cohort.png", "\x89PNG"}, {"cohort.SVG", "<?xml"}, {"cohort.pdf", "%PDF"}}) {
    ASSERT_FALSE(WriteCohortFigure((folder / name).string(), study, options)) << name;
    EXPECT_EQ(FileContents(folder / name).rfind(start, 0), 0u) << name;
  }
  const MaybeFailure wrong = WriteCohortFigure((folder / "cohort.jpg").string(), study, options);
  ASSERT_TRUE(wrong);
  EXPECT_NE(wrong->message.find("cohort.jpg"), std::string::npos);
  EXPECT_FALSE(std::filesystem::exists(folder / "cohort.jpg"));
}

TEST(StudyWindow, ShowsAFolderWithItsFlaggedRowMarkedAndItsRejectedFile) {
  QTemporaryDir dir;
  const std::filesystem::path folder = dir.path().toStdString();
  WriteStudy(folder);

  StudyWindow window("true");
  QSignalSpy shown(&window, &StudyWindow::StudyShown);
  window.Read(dir.path());
  ASSERT_TRUE(shown.wait(20000));

  const SummaryModel& model = window.Summary();
  ASSERT_EQ(model.rowCount(), 2);
  EXPECT_EQ(model.index(0, 2).data().toString(), "Sinking Karl KV-1950");
  EXPECT_EQ(model.index(1, 2).data().toString(), "Steady Karl KV-1950");

  // The sinking stem is over the threshold: its flag says so, and every
  // cell of its row is marked; the steady one's row is not.
  EXPECT_EQ(model.index(0, 0).data().toString(), "yes");
  EXPECT_EQ(model.index(1, 0).data().toString(), "no");
  for (int column = 0; column < model.columnCount(); ++column) {
    EXPECT_TRUE(model.index(0, column).data(Qt::BackgroundRole).value<QBrush>().color().red() == 255);
    EXPECT_TRUE(model.index(0, column).data(Qt::FontRole).value<QFont>().bold());
    EXPECT_FALSE(model.index(1, column).data(Qt::BackgroundRole).isValid());
  }

  auto* rejected = window.findChild<QListWidget*>("rejected");
  ASSERT_EQ(rejected->count(), 1);
  EXPECT_TRUE(rejected->item(0)->text().startsWith("c_broken.vok: "))
      << rejected->item(0)->text().toStdString();

  // Sorted by the subsidence at 24 months, numbers order as numbers (as
  // text, "-0.1" would come before "-3.4").
  const double sinking = *model.Patient(0).subsidence24mMm, steady = *model.Patient(1).subsidence24mMm;
  auto* table = window.findChild<QTableView*>("patients");
  table->sortByColumn(12, Qt::AscendingOrder);
  EXPECT_EQ(table->model()->index(0, 2).data().toString().section(' ', 0, 0),
            sinking < steady ? "Sinking" : "Steady");
  table->sortByColumn(12, Qt::DescendingOrder);
  EXPECT_EQ(table->model()->index(0, 2).data().toString().section(' ', 0, 0),
            sinking < steady ? "Steady" : "Sinking");
}

// Not a check: makes the README's picture of the window on the folder in
// SINKVIEW_STUDY_SCREENSHOT (see scripts/make-screenshots.sh).
TEST(StudyWindow, Screenshot) {
  const QString folder = qEnvironmentVariable("SINKVIEW_STUDY_SCREENSHOT");
  if (folder.isEmpty()) GTEST_SKIP() << "only for the screenshots";
  StudyWindow window("true");
  window.resize(1100, 560);
  window.show();
  QSignalSpy shown(&window, &StudyWindow::StudyShown);
  window.Read(folder);
  ASSERT_TRUE(shown.wait(20000));
  ASSERT_TRUE(window.grab().save(qEnvironmentVariable("SINKVIEW_STUDY_SCREENSHOT_FILE")));
}

} // namespace
} // namespace sinkview
