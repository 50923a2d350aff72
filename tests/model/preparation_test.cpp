#include "model/preparation.h"

#include <gtest/gtest.h>

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
  return read->model;
}

// Prepared for good, as the command-line programs keep their copy.
void Prepare(MeasurementModel& m) {
  auto prepared = PreparedSeries::Prepare(m, "/t/a.vok");
  ASSERT_TRUE(prepared);
  std::move(*prepared).Keep();
}

} // namespace

TEST(Preparation, EachRadiographIsDividedByItsOwnMagnification) {
  MeasurementModel m = TwoRadiographs();
  const MeasurementModel read = m;
  Prepare(m);
  EXPECT_EQ(m.MedialDistance1[1], static_cast<float>(static_cast<float>(1.0 / 1.15f) * 14.6));
  EXPECT_EQ(m.MedialDistance1[2], static_cast<float>(static_cast<float>(1.0 / 1.16f) * double(14.6f)));
  EXPECT_NE(m.MedialDistance1[1], m.MedialDistance1[2]) << "same reading, different magnification";
  EXPECT_EQ(m.BoneStemAngle, read.BoneStemAngle) << "an angle is never scaled";
  EXPECT_EQ(m.CorrectedAngle[2], 2.9f);
  EXPECT_EQ(m.Magnification, static_cast<float>(1.0 / 1.16f)) << "the factor of radiograph N";
}

TEST(Preparation, MeanFactorIsTheSameForAll) {
  MeasurementModel m = TwoRadiographs();
  m.UseMeanMagnification = FactorChoice::Mean;
  const float raw = m.HeadMajorDistance[2];
  Prepare(m);
  EXPECT_EQ(m.HeadMajorDistance[2], static_cast<float>(double(m.MeanMagnificationHeadRadius) * raw));
  m.MagnificationSource = MagnificationBasis::StemLength;
  EXPECT_EQ(MagnificationFactor(m, 1), m.MeanMagnificationStemLength);
  m.UseMeanMagnification = FactorChoice::EachRadiograph;
  EXPECT_EQ(MagnificationFactor(m, 2), static_cast<float>(1.0 / double(m.MagnificationStemLength[2])));
}

TEST(Preparation, EndRestoresTheValuesReadBitForBitAfterManyVisits) {
  MeasurementModel m = TwoRadiographs();
  const MeasurementModel read = m;
  Series firstVisit{};
  for (int visit = 0; visit < 1000; ++visit) {
    auto prepared = PreparedSeries::Prepare(m, "/t/a.vok");
    ASSERT_TRUE(prepared);
    if (visit == 0) firstVisit = m.CorrectedMedial1;
    EXPECT_EQ(m.CorrectedMedial1, firstVisit);
  }
  for (auto series : kScaledSeries) EXPECT_EQ(m.*series, read.*series);
  UndoMagnificationCorrection(m); // an undo without a correction changes nothing
  for (auto series : kScaledSeries) EXPECT_EQ(m.*series, read.*series);
}

// The reader refuses such values in a file; a model made otherwise is
// still checked.
TEST(Preparation, OverflowIsRefusedWithTheValuesRead) {
  RecordText half;
  half.headMagnification = "0.5";
  ReadResult read = ParseDataText(half.Text(), "/t/huge.vok");
  ASSERT_TRUE(read);
  MeasurementModel& m = read->model;
  m.MedialDistance2[1] = 3e38f;
  const Series asRead = m.MedialDistance2;
  const auto prepared = PreparedSeries::Prepare(m, "/t/huge.vok");
  ASSERT_FALSE(prepared);
  EXPECT_NE(prepared.error().message.find("/t/huge.vok"), std::string::npos) << prepared.error().message;
  EXPECT_EQ(m.MedialDistance2, asRead);
}

TEST(Preparation, SecondPreparationWithoutUndoDoesNotScaleTwice) {
  MeasurementModel m = TwoRadiographs();
  ApplyMagnificationCorrection(m);
  const MeasurementModel once = m;
  ApplyMagnificationCorrection(m);
  EXPECT_EQ(m.MedialDistance1, once.MedialDistance1);
}
