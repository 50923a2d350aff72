#include <gtest/gtest.h>

#include "writeup/say.h"

namespace {

using sinkview::ListText;
using sinkview::Say;

TEST(Say, FillsEachPlaceholderAsOftenAsItStandsAndShowsOneWithoutItsValue) {
  EXPECT_EQ(Say("at risk from {1} mm to below {2} mm; unacceptable from {2} mm", {"0.5", "1.5"}),
            "at risk from 0.5 mm to below 1.5 mm; unacceptable from 1.5 mm");
  EXPECT_EQ(Say("{2} before {1}", {"a", "b"}), "b before a");
  // A template and a call that disagree show in the text, never silently.
  EXPECT_EQ(Say("{1} and {3}", {"a", "b"}), "a and {3}");
  // A value is never read as a template.
  EXPECT_EQ(Say("{1}", {"{2}", "x"}), "{2}");
  EXPECT_EQ(Say("[from, to) {", {}), "[from, to) {");
}

TEST(Say, ListsInWords) {
  EXPECT_EQ(ListText({}), "");
  EXPECT_EQ(ListText({"a"}), "a");
  EXPECT_EQ(ListText({"a", "b"}), "a and b");
  EXPECT_EQ(ListText({"a", "b", "c"}), "a, b and c");
}

} // namespace
