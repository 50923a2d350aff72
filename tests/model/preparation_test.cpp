#include "model/preparation.h"

#include <gtest/gtest.h>

#include "model/reader.h"
#include "record_text.h"

using namespace sinkview;

namespace {

MeasurementModel TwoRadiographs() {
  RecordText first, second;
  second.date = "20050301";
  second.headMagnification = "1.16";
  second.angle = "2.9";
  MeasurementModel m;
  EXPECT_TRUE(ParseDataText(first.Text() + second.Text(), "/t/a.vok", m).ok());
  return m;
}

} // namespace

TEST(Preparation, EachRadiographIsDividedByItsOwnMagnification) {
  MeasurementModel m = TwoRadiographs();
  const MeasurementModel read = m;
  PrepareSeries(m);
  EXPECT_EQ(m.MedialDistance1[1], static_cast<float>(static_cast<float>(1.0 / 1.15f) * 14.6));
  EXPECT_EQ(m.MedialDistance1[2], static_cast<float>(static_cast<float>(1.0 / 1.16f) * double(14.6f)));
  EXPECT_NE(m.MedialDistance1[1], m.MedialDistance1[2]) << "same reading, different magnification";
  EXPECT_EQ(m.BoneStemAngle, read.BoneStemAngle) << "an angle is never scaled";
  EXPECT_EQ(m.CorrectedAngle[2], 2.9f);
  EXPECT_EQ(m.Magnification, static_cast<float>(1.0 / 1.16f)) << "the factor of radiograph N";
}

TEST(Preparation, MeanFactorIsTheSameForAll) {
  MeasurementModel m = TwoRadiographs();
  m.UseMeanMagnification = 1;
  const float raw = m.HeadMajorDistance[2];
  PrepareSeries(m);
  EXPECT_EQ(m.HeadMajorDistance[2], static_cast<float>(double(m.MeanMagnificationHeadRadius) * raw));
  m.MagnificationSource = 1;
  EXPECT_EQ(MagnificationFactor(m, 1), m.MeanMagnificationStemLength);
  m.UseMeanMagnification = 0;
  EXPECT_EQ(MagnificationFactor(m, 2), static_cast<float>(1.0 / double(m.MagnificationStemLength[2])));
}

TEST(Preparation, UndoRestoresTheValuesReadBitForBitAfterManyVisits) {
  MeasurementModel m = TwoRadiographs();
  const MeasurementModel read = m;
  PrepareSeries(m);
  const MeasurementModel firstVisit = m;
  for (int visit = 0; visit < 1000; ++visit) {
    UndoMagnificationCorrection(m);
    PrepareSeries(m);
  }
  EXPECT_EQ(m.CorrectedMedial1, firstVisit.CorrectedMedial1);
  UndoMagnificationCorrection(m);
  for (auto series : kScaledSeries) EXPECT_EQ(m.*series, read.*series);
  UndoMagnificationCorrection(m); // a second undo changes nothing
  for (auto series : kScaledSeries) EXPECT_EQ(m.*series, read.*series);
}

TEST(Preparation, SecondPreparationWithoutUndoDoesNotScaleTwice) {
  MeasurementModel m = TwoRadiographs();
  PrepareSeries(m);
  const MeasurementModel once = m;
  PrepareSeries(m);
  EXPECT_EQ(m.MedialDistance1, once.MedialDistance1);
}
