#include <gtest/gtest.h>

#include <algorithm>

#include <QClipboard>
#include <QElapsedTimer>
#include <QFile>
#include <QGuiApplication>
#include <QImage>
#include <QRegularExpression>
#include <QSet>
#include <QTemporaryDir>
#include <QTest>

#include "hardcopy/hardcopy.h"
#include "print_system.h"
#include "test_window.h"

namespace sinkview {
namespace {

class PrintToTheDefaultPrinter : public ::testing::Test {
protected:
  void SetUp() override {
    EnsureApplication();
    if (!PrintSystemRuns() || DefaultPrinterName().isEmpty())
      GTEST_SKIP() << "no print system with a default printer: run through scripts/with-print-system.sh";
  }
};

// The document the queue made of our job, once it is complete; "" after the
// time limit.
QString WaitForNewPdf(const QSet<QString>& before) {
  QElapsedTimer clock;
  clock.start();
  while (clock.elapsed() < 30000) {
    QTest::qWait(200);
    QStringList fresh;
    for (const QString& name : HardcopyPdfs())
      if (!before.contains(name)) fresh << name;
    if (fresh.isEmpty() || !RunTool("lpstat", {"-W", "not-completed", "-o"}).trimmed().isEmpty()) continue;
    QFile file(PdfFolder().filePath(fresh.first()));
    if (file.open(QIODevice::ReadOnly) && file.readAll().trimmed().endsWith("%%EOF")) return file.fileName();
  }
  return {};
}

QImage Rasterise(const QString& pdf, const QTemporaryDir& folder) {
  const QString prefix = folder.filePath("page");
  RunTool("pdftoppm", {"-r", "72", "-singlefile", pdf, prefix});
  return QImage(prefix + ".ppm");
}

struct Extent {
  int left = -1, top = -1, right = -1, bottom = -1;
};

// The rectangle of the page that is not white paper.
Extent InkExtent(const QImage& page) {
  Extent ink;
  for (int y = 0; y < page.height(); ++y)
    for (int x = 0; x < page.width(); ++x) {
      if (qGray(page.pixel(x, y)) > 240) continue;
      if (ink.left < 0 || x < ink.left) ink.left = x;
      if (ink.top < 0) ink.top = y;
      ink.right = std::max(ink.right, x);
      ink.bottom = y;
    }
  return ink;
}

TEST_F(PrintToTheDefaultPrinter, GivesAOnePageGreyHardcopyTurnedAndFittedInsideTheMargins) {
  MarkedWindow window;
  window.show();
  ASSERT_TRUE(QTest::qWaitForWindowExposed(&window));
  const QRect geometry = window.geometry();
  const QStringList before = HardcopyPdfs();

  EXPECT_EQ(PrintHardcopy(&window), "");

  // The window is left as it was, and its snapshot is on the clipboard.
  EXPECT_TRUE(window.isVisible());
  EXPECT_EQ(window.geometry(), geometry);
  EXPECT_EQ(QGuiApplication::clipboard()->image().size(), window.size());

  const QString pdf = WaitForNewPdf(QSet<QString>(before.begin(), before.end()));
  ASSERT_FALSE(pdf.isEmpty()) << "no complete Hardcopy PDF appeared in " << PdfFolder().path().toStdString();
  const QString info = RunTool("pdfinfo", {pdf});
  EXPECT_TRUE(info.contains(QRegularExpression("Pages:\\s+1\\n"))) << info.toStdString();
  EXPECT_TRUE(info.contains(QRegularExpression("Title:\\s+\\(?Hardcopy\\)?\\n"))) << info.toStdString();

  QTemporaryDir folder;
  const QImage page = Rasterise(pdf, folder);
  QFile::remove(pdf);
  ASSERT_FALSE(page.isNull());
  ASSERT_LT(page.width(), page.height()) << "the queue prints on portrait paper";

  int coloured = 0;
  for (int y = 0; y < page.height(); ++y)
    for (int x = 0; x < page.width(); ++x) {
      const QRgb pixel = page.pixel(x, y);
      if (qRed(pixel) != qGreen(pixel) || qGreen(pixel) != qBlue(pixel)) ++coloured;
    }
  EXPECT_EQ(coloured, 0);

  // Turned, the picture is 200 wide and 400 high; on A4 it reaches the
  // height of the area first: placed at the margins, as high as the area.
  const Extent ink = InkExtent(page);
  const double marginX = page.width() / 20.0;
  const double marginY = page.height() / 20.0;
  const double areaHeight = page.height() - 2 * marginY;
  EXPECT_NEAR(ink.left, marginX, 2);
  EXPECT_NEAR(ink.top, marginY, 2);
  EXPECT_NEAR(ink.bottom + 1 - ink.top, areaHeight, 2);
  EXPECT_NEAR(ink.right + 1 - ink.left, areaHeight / 2, 2);

  // The black top band lies along the left edge, the light left end at the
  // bottom, the mid grey at the top right.
  const int middleRow = (ink.top + ink.bottom) / 2;
  EXPECT_LT(qGray(page.pixel(ink.left + 3, middleRow)), 20);
  EXPECT_NEAR(qGray(page.pixel(ink.right - 3, ink.bottom - 3)), 170, 4);
  EXPECT_NEAR(qGray(page.pixel(ink.right - 3, ink.top + 3)), 85, 4);
}

TEST_F(PrintToTheDefaultPrinter, ReportsACaptureFailureWithoutAWindow) {
  const QStringList before = HardcopyPdfs();
  EXPECT_EQ(PrintHardcopy(nullptr), "capture failed");
  QTest::qWait(500);
  EXPECT_EQ(HardcopyPdfs(), before);
}

} // namespace
} // namespace sinkview
