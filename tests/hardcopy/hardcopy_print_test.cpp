#include <gtest/gtest.h>

#include <QRegularExpression>
#include <QTemporaryDir>

#include "hardcopy/hardcopy.h"
#include "test_support.h"

using namespace sinkview;

struct PrintToTheDefaultPrinter : ::testing::Test {
  void SetUp() override {
    if (!RunTool("lpstat", {"-r"}).contains("is running") || DefaultPrinterName().isEmpty())
      GTEST_SKIP() << "no print system with a default printer: run through scripts/with-print-system.sh";
  }
};

TEST_F(PrintToTheDefaultPrinter, GivesAOnePageGreyHardcopyTurnedAndFittedInsideTheMargins) {
  MarkedWindow window;
  window.show();
  ASSERT_TRUE(QTest::qWaitForWindowExposed(&window));
  const QStringList before = HardcopyPdfs();
  EXPECT_EQ(PrintHardcopy(&window), HardcopyResult::Printed);
  const QString pdf = WaitForNewPdf(before);
  ASSERT_FALSE(pdf.isEmpty()) << "no complete Hardcopy PDF in ~/PDF";
  const QString info = RunTool("pdfinfo", {pdf});
  EXPECT_TRUE(info.contains(QRegularExpression("(?s)Title:\\s+\\(?Hardcopy\\)?\\n.*\\nPages:\\s+1\\n")))
      << info.toStdString();
  QTemporaryDir folder;
  RunTool("pdftoppm", {"-r", "72", "-singlefile", pdf, folder.filePath("page")});
  QFile::remove(pdf);
  const QImage page(folder.filePath("page.ppm"));
  EXPECT_TRUE(page.allGray());
  QRect drawn;
  for (int y = 0; y < page.height(); ++y)
    for (int x = 0; x < page.width(); ++x)
      if (qGray(page.pixel(x, y)) <= 240) drawn |= QRect(x, y, 1, 1); // not paper
  // Turned, the picture is 200 wide and 400 high and fills the area's height.
  EXPECT_NEAR(drawn.left(), page.width() / 20.0, 2);
  EXPECT_NEAR(drawn.top(), page.height() / 20.0, 2);
  EXPECT_NEAR(drawn.height(), page.height() * 0.9, 2);
  EXPECT_NEAR(drawn.width(), page.height() * 0.45, 2);
  // The black top band along the left edge, the light left end at the bottom.
  EXPECT_LT(qGray(page.pixel(drawn.left() + 3, drawn.center().y())), 20);
  EXPECT_NEAR(qGray(page.pixel(drawn.right() - 3, drawn.bottom() - 3)), 170, 4);
}

TEST_F(PrintToTheDefaultPrinter, ReportsACaptureFailureWithoutAWindow) {
  EXPECT_EQ(HardcopyMessage(PrintHardcopy(nullptr)), "capture failed");
}
