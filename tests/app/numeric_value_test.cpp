#include "app/numeric_value.h"

#include <gtest/gtest.h>

using sinkview::NumericValue;

TEST(NumericValue, LeadingNumberOrZero) {
  const std::pair<const char*, double> cases[] = {
      {"60", 60},  {"24 months", 24}, {"", 0},   {"abc", 0}, {" 3.5", 3.5}, {"-2", -2},
      {".5", 0.5}, {"1e2", 100},      {"1e", 1}, {"3,5", 3}, {"+7", 7},     {"1e999", 0}};
  for (const auto& [text, value] : cases) EXPECT_EQ(NumericValue(text), value) << '"' << text << '"';
}
