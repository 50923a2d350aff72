// The exporter writes on several threads at once. This runs in a program of
// its own so that nothing has chosen the decimal separator before the
// threads ask for it; the ThreadSanitizer build turns a race into a failure.
#include <gtest/gtest.h>

#include <array>
#include <string>
#include <thread>

#include "table/export_file.h"

using namespace sinkview;

TEST(ExportThreads, FourThreadsExportingAtOnceAgree) {
  PreparedSeries p;
  MeasurementModel& m = p.model;
  m.PatientCode = "Threads";
  m.ProsthesisSide = "left";
  m.RadiographCount = 2;
  m.ElapsedDays = {0, 0, 365};
  m.CorrectedShoulderMajor = {0, 1.5f, 2.25f};
  p.segmentStarts = {0, 1, 1};
  std::array<std::string, 4> texts;
  std::array<std::thread, 4> threads;
  for (std::size_t i = 0; i < threads.size(); ++i)
    threads[i] = std::thread([&, i] { texts[i] = ExportText(p); });
  for (auto& thread : threads) thread.join();
  for (const auto& text : texts) EXPECT_EQ(text, texts[0]);
  EXPECT_FALSE(texts[0].empty());
}
