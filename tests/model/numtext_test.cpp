#include "model/numtext.h"

#include <gtest/gtest.h>

using namespace sinkview;

class NumText : public ::testing::Test {
protected:
  void SetUp() override { SetDecimalSeparator('.'); }
  void TearDown() override { SetDecimalSeparator('.'); }
};

TEST_F(NumText, LabelFormHasNoBlanksAndNoTrailingZeros) {
  EXPECT_EQ(LabelText(12), "12");
  EXPECT_EQ(LabelText(1.15), "1.15");
  EXPECT_EQ(LabelText(1.15f), "1.15");
  EXPECT_EQ(LabelText(1.2499999f), "1.25");
  EXPECT_EQ(LabelText(-0.5), "-0.5");
  EXPECT_EQ(LabelText(-0.0), "0");
}

TEST_F(NumText, PrintFormFramesDigitsWithSignBlankAndTrailingBlank) {
  EXPECT_EQ(PrintText(0), " 0 ");
  EXPECT_EQ(PrintText(24), " 24 ");
  EXPECT_EQ(PrintText(-1.5f), "-1.5 ");
}

TEST_F(NumText, TablePatternKeepsTwoIntegerDigitsAndOneDecimal) {
  EXPECT_EQ(TablePattern(5), "05.0");
  EXPECT_EQ(TablePattern(-1.2f), "-01.2");
  EXPECT_EQ(TablePattern(123.4f), "123.4");
  EXPECT_EQ(TablePattern(0), "00.0");
  EXPECT_EQ(TablePattern(0.25f), "00.3") << "halves away from zero";
  EXPECT_EQ(TablePattern(0.05f), "00.1") << "0.05f lies just above 0.05";
  EXPECT_EQ(TablePattern(9.96f), "10.0");
  EXPECT_EQ(TablePattern(3e30f).find('.') != std::string::npos ||
                TablePattern(3e30f).find('e') != std::string::npos,
            true);
}

TEST_F(NumText, DecimalSeparatorIsOneDecisionForAllForms) {
  SetDecimalSeparator(',');
  EXPECT_EQ(LabelText(1.15), "1,15");
  EXPECT_EQ(PrintText(-0.5), "-0,5 ");
  EXPECT_EQ(TablePattern(-1.2f), "-01,2");
}

TEST_F(NumText, RoundingsHalvesToEvenAndFloor) {
  EXPECT_EQ(RoundHalfEven(30.5), 30);
  EXPECT_EQ(RoundHalfEven(31.5), 32);
  EXPECT_EQ(RoundHalfEven(-2.5), -2);
  EXPECT_EQ(*CInt(2.5), 2);
  EXPECT_EQ(*CInt(-32768.4), -32768);
  EXPECT_FALSE(CInt(32767.5).has_value());
  EXPECT_FALSE(CInt(1e9).has_value());
  EXPECT_EQ(IntFloor(-0.5), -1);
  EXPECT_EQ(IntFloor(59.9), 59);
}
