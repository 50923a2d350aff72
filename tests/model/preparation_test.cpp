#include "model/preparation.h"

#include <gtest/gtest.h>

#include <cstring>

#include "model/prepared_series.h"
#include "model/reader.h"
#include "record_text.h"

using namespace sinkview;

namespace {

MeasurementModel TwoRadiographs() {
  RecordText first, second;
  second.date = "20050301";
  second.headMagnification = "1.16";
  second.angle = "2.9";
  ReadResult read = ParseDataText(first.Text() + second.Text(), "/t/a.vok");
  EXPECT_TRUE(read);
  return read ? *read : MeasurementModel{};
}

PreparedSeries Prepared(const MeasurementModel& read, const Settings& settings = {}) {
  auto prepared = PrepareSeries(read, settings, "/t/a.vok");
  EXPECT_TRUE(prepared) << prepared.error().message;
  return prepared ? *prepared : PreparedSeries{};
}

// Every series of two models bit for bit: the lengths and the results.
bool SameSeries(const MeasurementModel& a, const MeasurementModel& b) {
  const auto same = [](const auto& x, const auto& y) { return std::memcmp(&x, &y, sizeof x) == 0; };
  for (auto series : kScaledSeries) {
    if (!same(a.*series, b.*series)) return false;
  }
  for (const AnalysisRun& run : kAnalysisRuns) {
    if (!same(a.*run.corrected, b.*run.corrected)) return false;
  }
  return same(a.DisconnectionFlag, b.DisconnectionFlag) && same(a.IsolatedFlag, b.IsolatedFlag);
}

} // namespace

TEST(Preparation, EachRadiographIsDividedByItsOwnMagnificationAndTheSeriesReadStays) {
  const MeasurementModel read = TwoRadiographs();
  const MeasurementModel m = Prepared(read).model;
  EXPECT_EQ(m.MedialDistance1[1], static_cast<float>(static_cast<float>(1.0 / 1.15f) * 14.6));
  EXPECT_EQ(m.MedialDistance1[2], static_cast<float>(static_cast<float>(1.0 / 1.16f) * double(14.6f)));
  EXPECT_EQ(m.BoneStemAngle, read.BoneStemAngle) << "an angle is never scaled";
  EXPECT_EQ(m.CorrectedAngle[2], 2.9f);
  EXPECT_EQ(read.MedialDistance1[1], 14.6f);
  EXPECT_EQ(read.CorrectedMedial1, Series{}) << "the analyses run on the prepared copy only";
}

TEST(Preparation, MeanFactorIsTheSameForAll) {
  const MeasurementModel read = TwoRadiographs();
  Settings mean;
  mean.UseMeanMagnification = FactorChoice::Mean;
  EXPECT_EQ(Prepared(read, mean).model.HeadMajorDistance[2],
            static_cast<float>(double(read.MeanHeadRadiusFactor) * read.HeadMajorDistance[2]));
  mean.MagnificationSource = MagnificationBasis::StemLength;
  EXPECT_EQ(MagnificationFactor(read, mean, 1), read.MeanStemLengthFactor);
  EXPECT_EQ(read.MeanStemLengthFactor, static_cast<float>(1.0 / 1.14f));
  mean.UseMeanMagnification = FactorChoice::EachRadiograph;
  EXPECT_EQ(MagnificationFactor(read, mean, 2),
            static_cast<float>(1.0 / double(read.MagnificationStemLength[2])));
}

// Nothing of one preparation is left for the next: each starts from the
// series as read.
TEST(Preparation, PreparingAgainGivesTheSameValuesBitForBit) {
  const MeasurementModel read = TwoRadiographs();
  Settings headCenter;
  headCenter.ReferencePoint = Reference::HeadCenter;
  const PreparedSeries first = Prepared(read);
  EXPECT_TRUE(SameSeries(Prepared(read, headCenter).model, first.model));
  for (int visit = 0; visit < 3; ++visit) {
    const PreparedSeries again = Prepared(read);
    EXPECT_TRUE(SameSeries(again.model, first.model)) << visit;
    EXPECT_EQ(again.segmentStarts, first.segmentStarts);
  }
}

// The reader refuses such values in a file; a series made otherwise is
// still checked.
TEST(Preparation, OverflowIsRefusedNamingTheFile) {
  RecordText half;
  half.headMagnification = "0.5";
  const ReadResult read = ParseDataText(half.Text(), "/t/huge.vok");
  ASSERT_TRUE(read);
  MeasurementModel huge = *read;
  huge.MedialDistance2[1] = 3e38f;
  const auto prepared = PrepareSeries(huge, {}, "/t/huge.vok");
  ASSERT_FALSE(prepared);
  EXPECT_NE(prepared.error().message.find("/t/huge.vok"), std::string::npos) << prepared.error().message;
}
