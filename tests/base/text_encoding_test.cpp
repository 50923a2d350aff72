#include "base/text_encoding.h"

#include <gtest/gtest.h>

using namespace sinkview;

TEST(TextEncoding, Utf8StaysAndWindows1252IsConverted) {
  EXPECT_EQ(DisplayUtf8("M\xC3\xBCller"), "M\xC3\xBCller");
  EXPECT_EQ(DisplayUtf8("M\xFCller"), "M\xC3\xBCller");
  EXPECT_EQ(DisplayUtf8("\x80"), "\xE2\x82\xAC");
  EXPECT_EQ(DisplayUtf8("\xC3"), "\xC3\x83") << "a cut-off sequence is not UTF-8";
}
