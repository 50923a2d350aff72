#include "model/field_stream.h"

#include <gtest/gtest.h>

using namespace sinkview;

TEST(FieldStream, FieldsSplitAtCommasAndLineEndsAlike) {
  FieldStream in("\"Doe, J.\" , plain text ,1.5 2.5\r\n-3,\"x\"\n");
  EXPECT_EQ(*in.ReadTextField(), "Doe, J.");
  EXPECT_EQ(*in.ReadTextField(), "plain text");
  EXPECT_EQ(*in.ReadNumberToken(), "1.5");
  EXPECT_EQ(*in.ReadNumberToken(), "2.5") << "a blank ends a number field";
  EXPECT_EQ(*in.ReadNumberToken(), "-3");
  EXPECT_EQ(*in.ReadTextField(), "x");
  EXPECT_TRUE(in.AtEndOfData());
  EXPECT_FALSE(in.ReadTextField().has_value());
  FieldStream unclosed("\"never closed\n1,2");
  EXPECT_FALSE(unclosed.ReadTextField().has_value()) << "an unclosed quote is no field";
}

TEST(FieldStream, LineItemSkipsToAndOverTheLineEnd) {
  for (const char* text : {"ignored, \"quote\r\nnext", "ignored\nnext", "ignored\rnext"}) {
    FieldStream in(text);
    EXPECT_TRUE(in.SkipLine());
    EXPECT_EQ(*in.ReadTextField(), "next") << text;
  }
  FieldStream empty("");
  EXPECT_FALSE(empty.SkipLine());
}

TEST(FieldStream, BlankLinesAndEndMarkAfterTheLastRecordAreNoRecord) {
  FieldStream in(" \r\n\t\n\x1a");
  EXPECT_TRUE(in.AtEndOfData());
  FieldStream more("\n\nrecord");
  EXPECT_FALSE(more.AtEndOfData());
  EXPECT_EQ(*more.ReadTextField(), "record");
}

TEST(FieldStream, NumbersAreDecimalWithPoint) {
  for (const auto& [text, value] : {std::pair{"1.15", 1.15f}, {"+2", 2.0f}, {"-.5", -0.5f}, {"1e2", 100.0f}})
    EXPECT_EQ(ParseNumber(text), value) << text;
  for (const char* bad : {"", "abc", "1,5", "1.2.3", "inf", "nan", "1e", "-", ".", "1e40", "0x10"})
    EXPECT_FALSE(ParseNumber(bad).has_value()) << bad;
}
