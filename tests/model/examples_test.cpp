#include <gtest/gtest.h>

#include "../support/example_file.h"

using namespace sinkview;

using sinkview::testing::LoadExample;

TEST(Examples, BundledSamplesLoadWithTheirFacts) {
  struct Case {
    const char* file;
    const char* patient;
    const char* side;
    int count;
    float months;
    int stemCement;
  };
  for (const Case& c : {Case{"bauer_helene_left.vok", "Bauer Helene HB-1948", "left", 8, 60, 1},
                        Case{"mueller_otto_right.vok", "M\xFCller Otto OM-1937", "right", 6, 48, 0},
                        Case{"schmid_anna_left_breaks.vok", "Schmid Anna AS-1951", "left", 7, 48, 1}}) {
    const MeasurementModel m = LoadExample(c.file);
    EXPECT_EQ(m.PatientCode, c.patient) << c.file;
    EXPECT_EQ(m.ProsthesisSide, c.side) << c.file;
    EXPECT_EQ(m.RadiographCount, c.count) << c.file;
    EXPECT_EQ(m.ObservationMonths, c.months) << c.file;
    EXPECT_EQ(static_cast<int>(m.HasStemCementData), c.stemCement) << c.file;
  }
}
