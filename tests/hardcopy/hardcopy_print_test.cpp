#include <gtest/gtest.h>

#include <QClipboard>
#include <QDir>
#include <QElapsedTimer>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QTest>

#include "hardcopy/hardcopy.h"
#include "test_support.h"

namespace sinkview {
namespace {

class PrintToTheDefaultPrinter : public ::testing::Test {
protected:
  void SetUp() override {
    if (!RunTool("lpstat", {"-r"}).contains("is running") || DefaultPrinterName().isEmpty())
      GTEST_SKIP() << "no print system with a default printer: run through scripts/with-print-system.sh";
  }
};

TEST_F(PrintToTheDefaultPrinter, GivesAOnePageGreyHardcopyTurnedAndFittedInsideTheMargins) {
  MarkedWindow window;
  window.show();
  ASSERT_TRUE(QTest::qWaitForWindowExposed(&window));
  const QRect geometry = window.geometry();
  const QStringList before = HardcopyPdfs();
  EXPECT_EQ(PrintHardcopy(&window), "");
  EXPECT_EQ(window.geometry(), geometry);
  EXPECT_EQ(QGuiApplication::clipboard()->image().size(), window.size());

  const QString pdf = WaitForNewPdf(before);
  ASSERT_FALSE(pdf.isEmpty()) << "no complete Hardcopy PDF in ~/PDF";
  const QString info = RunTool("pdfinfo", {pdf});
  EXPECT_TRUE(info.contains(QRegularExpression("Pages:\\s+1\\n"))) << info.toStdString();
  EXPECT_TRUE(info.contains(QRegularExpression("Title:\\s+\\(?Hardcopy\\)?\\n"))) << info.toStdString();
  QTemporaryDir folder;
  RunTool("pdftoppm", {"-r", "72", "-singlefile", pdf, folder.filePath("page")});
  QFile::remove(pdf);
  const QImage page(folder.filePath("page.ppm"));
  ASSERT_LT(page.width(), page.height()) << "the queue prints on portrait paper";

  int coloured = 0, left = page.width(), top = -1, right = -1, bottom = -1;
  for (int y = 0; y < page.height(); ++y)
    for (int x = 0; x < page.width(); ++x) {
      const QRgb pixel = page.pixel(x, y);
      if (qRed(pixel) != qGreen(pixel) || qGreen(pixel) != qBlue(pixel)) ++coloured;
      if (qGray(pixel) > 240) continue; // paper
      left = std::min(left, x), right = std::max(right, x), bottom = y;
      if (top < 0) top = y;
    }
  EXPECT_EQ(coloured, 0);
  // Turned, the picture is 200 wide and 400 high and reaches the height of
  // the area first.
  const double areaHeight = page.height() * 0.9;
  EXPECT_NEAR(left, page.width() / 20.0, 2);
  EXPECT_NEAR(top, page.height() / 20.0, 2);
  EXPECT_NEAR(bottom + 1 - top, areaHeight, 2);
  EXPECT_NEAR(right + 1 - left, areaHeight / 2, 2);
  // The black top band along the left edge, the light left end at the bottom.
  EXPECT_LT(qGray(page.pixel(left + 3, (top + bottom) / 2)), 20);
  EXPECT_NEAR(qGray(page.pixel(right - 3, bottom - 3)), 170, 4);
  EXPECT_NEAR(qGray(page.pixel(right - 3, top + 3)), 85, 4);
}

TEST_F(PrintToTheDefaultPrinter, ReportsACaptureFailureWithoutAWindow) {
  EXPECT_EQ(PrintHardcopy(nullptr), "capture failed");
}

} // namespace
} // namespace sinkview
