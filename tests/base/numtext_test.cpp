#include "base/numtext.h"

#include <gtest/gtest.h>

using namespace sinkview;

using Texts = std::initializer_list<std::pair<double, const char*>>;

class NumText : public ::testing::Test {
protected:
  void SetUp() override { SetDecimalSeparator('.'); }
  void TearDown() override { SetDecimalSeparator('.'); }
};

// Labels have no blanks and no trailing zeros; the print form frames the
// digits with a sign blank and a trailing blank.
TEST_F(NumText, LabelAndPrintForms) {
  for (const auto& [value, text] :
       Texts{{12, "12"}, {1.15, "1.15"}, {1.15f, "1.15"}, {1.2499999f, "1.25"}, {-0.5, "-0.5"}, {-0.0, "0"}})
    EXPECT_EQ(LabelText(value), text) << value;
  for (const auto& [value, text] : Texts{{0, " 0 "}, {24, " 24 "}, {-1.5f, "-1.5 "}})
    EXPECT_EQ(PrintText(value), text) << value;
}

// Two integer digits and one decimal, halves away from zero; 0.05f lies just
// above 0.05.
TEST_F(NumText, TablePatternKeepsTwoIntegerDigitsAndOneDecimal) {
  for (const auto& [value, text] : Texts{{5, "05.0"},
                                         {-1.2f, "-01.2"},
                                         {123.4f, "123.4"},
                                         {0, "00.0"},
                                         {0.25f, "00.3"},
                                         {0.05f, "00.1"},
                                         {9.96f, "10.0"}})
    EXPECT_EQ(TablePattern(static_cast<float>(value)), text) << value;
  EXPECT_NE(TablePattern(3e30f).find_first_of(".e"), std::string::npos);
}

TEST_F(NumText, DecimalSeparatorIsOneDecisionForAllForms) {
  SetDecimalSeparator(',');
  EXPECT_EQ(LabelText(1.15) + PrintText(-0.5) + TablePattern(-1.2f), "1,15-0,5 -01,2");
}

TEST_F(NumText, RoundingsHalvesToEvenAndFloor) {
  for (const auto& [value, rounded] : {std::pair{30.5, 30.0}, {31.5, 32.0}, {-2.5, -2.0}})
    EXPECT_EQ(RoundHalfEven(value), rounded) << value;
  EXPECT_EQ(*CInt(2.5), 2);
  EXPECT_EQ(*CInt(-32768.4), -32768);
  EXPECT_FALSE(CInt(32767.5).has_value());
  EXPECT_FALSE(CInt(1e9).has_value());
  EXPECT_EQ(IntFloor(-0.5), -1);
  EXPECT_EQ(IntFloor(59.9), 59);
}

// A table's column keeps its decimals, zeros included, and no "-0.00".
TEST_F(NumText, FixedFormKeepsItsDecimals) {
  for (const auto& [value, text] : Texts{{1.5, "1.50"}, {-0.004, "0.00"}, {-0.25, "-0.25"}, {12, "12.00"}})
    EXPECT_EQ(FixedText(value, 2, '.'), text) << value;
  EXPECT_EQ(FixedText(-0.4, 0, ','), "0");
  EXPECT_EQ(FixedText(33.35, 1, ','), "33,4");
}
