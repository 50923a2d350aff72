// study.toml: the defaults, every kind of bad protocol with its message, and
// protocol-used.toml read back.
#include <gtest/gtest.h>

#include "protocol/protocol_toml.h"
#include "protocol/read_protocol.h"

using namespace sinkview;
using namespace std::chrono;

namespace {

const CalendarDate kRunDay = 2026y / December / 8;
const std::string kEveryKey = std::string(SINKVIEW_TEST_DATA) + "/protocol_every_key";

Expected<Protocol, Failure> Parse(const std::string& text) {
  return ParseProtocol(text, "/study/study.toml", DefaultProtocol("study", kRunDay));
}

} // namespace

// The defaults that decide a study's numbers.
TEST(Protocol, AnEmptyFileGivesTheDefaults) {
  const auto protocol = Parse("");
  ASSERT_TRUE(protocol) << protocol.error().message;
  EXPECT_EQ(*protocol, DefaultProtocol("study", kRunDay));
  EXPECT_EQ(protocol->primaryVisit, "24 months");
  EXPECT_EQ(protocol->thresholdMm, 1.5);
  EXPECT_EQ(protocol->bandsMm, (std::array<double, 2>{0.5, 1.5}));
  EXPECT_EQ(protocol->baselineDays, (std::array<int, 2>{0, 42}));
  ASSERT_EQ(protocol->visits.size(), 9u);
  EXPECT_EQ(protocol->visits[0], (Visit{"3 months", 3, {2, 4.5}}));
  EXPECT_EQ(protocol->visits[1], (Visit{"6 months", 6, {4.5, 9}}));
  EXPECT_EQ(protocol->visits[8], (Visit{"120 months", 120, {96, 144}}));
}

// kEveryKey/study.toml sets every key.
TEST(Protocol, KeysOverrideTheDefaults) {
  const auto protocol = ReadProtocol(kEveryKey + "/study.toml", DefaultProtocol("study", kRunDay));
  ASSERT_TRUE(protocol) << protocol.error().message;
  EXPECT_EQ(protocol->title, "Stem A against stem B");
  EXPECT_EQ(protocol->cutoff, 2026y / June / 30);
  EXPECT_EQ(protocol->patientsFile, kEveryKey + "/lists/patients.csv");
  EXPECT_EQ(protocol->thresholdMm, 2);
  EXPECT_EQ(protocol->valueAtVisit, ValueAtVisit::Interpolate);
  EXPECT_EQ(protocol->baselineDays, (std::array<int, 2>{1, 28}));
  EXPECT_EQ(protocol->settings.ReferencePoint, Reference::HeadCenter);
  EXPECT_EQ(protocol->settings.TrochanterChoice, Trochanter::Minor);
  EXPECT_EQ(protocol->settings.TimeLimitDays, TimeLimitDaysForMonths(36));
  EXPECT_TRUE(protocol->pseudonymise);
  EXPECT_EQ(protocol->visits, (std::vector<Visit>{{"half a year", 6, {3, 9}}, {"two years", 24, {18, 30}}}));
}

// Each bad protocol is one message with the file, the line and the key.
TEST(Protocol, EveryProblemIsOneMessageWithLineAndKey) {
  const std::string visits6and12 = "[[visit]]\nname = \"6\"\nmonths = 6\nwindow_months = [3, 9]\n"
                                   "[[visit]]\nname = \"12\"\nmonths = 12\n";
  const struct {
    std::string text, message;
  } cases[] = {
      {"treshold_mm = 2", "line 1, 'treshold_mm': is no key of a protocol (did you mean 'threshold_mm'?)."},
      {"\ncolour = 2", "line 2, 'colour': is no key of a protocol."},
      {"threshold_mm = \"2\"", "line 1, 'threshold_mm': must be a number, not text."},
      {"threshold_mm = -1", "line 1, 'threshold_mm': must be a number of 0 or more."},
      {"threshold_mm = nan", "line 1, 'threshold_mm': must be a finite number."},
      {"pseudonymise = 1", "line 1, 'pseudonymise': must be true or false, not a whole number."},
      {"title = 3", "line 1, 'title': must be text in quotes, not a whole number."},
      {"cutoff = \"2026-01-31\"", "line 1, 'cutoff': must be a date without quotes, such as 2026-01-31."},
      {"cutoff = 2026-01-31T10:00:00",
       "line 1, 'cutoff': must be a date such as 2025-06-30, not a date and time."},
      {"cutoff = 2026-02-30", "line 1, column 20: "},
      {"bands_mm = [1.5, 0.5]", "line 1, 'bands_mm': must be two limits a < b above 0, [a, b]."},
      {"bands_mm = [1.5]", "line 1, 'bands_mm': must be a list of two numbers, [from, to]."},
      {"baseline_days = [0, 4.5]", "line 1, 'baseline_days': must be a whole number of days, not a number."},
      {"baseline_days = [42, 0]", "line 1, 'baseline_days': must be [from, to] with from <= to."},
      {"value_at_visit = \"last\"",
       "line 1, 'value_at_visit': \"last\" is none of 'nearest' or 'interpolate'."},
      {"reference_point = \"knee\"", "line 1, 'reference_point': \"knee\" is none of 'head' or 'shoulder'."},
      {"time_limit_months = true", "line 1, 'time_limit_months': must be a number, not true or false."},
      {"primary_visit = \"25 months\"", "line 1, 'primary_visit': \"25 months\" is none of the visits."},
      {"pattern_visits = [\"3 months\", \"4 months\"]",
       "line 1, 'pattern_visits': \"4 months\" is none of the visits."},
      {"pattern_visits = [\"3 months\", \"3 months\"]",
       "line 1, 'pattern_visits': must name two different visits."},
      {"detection_limit_mm = 0", "line 1, 'detection_limit_mm': must be above 0."},
      {"visit = 3", "line 1, 'visit': must be [[visit]] tables, not a whole number."},
      {"[visit]\nmonths = 3", "line 1, 'visit': must be [[visit]] tables, not a table."},
      {"[[visit]]\nmonths = 3\nwindow = [2, 4]", "line 3, 'window': is no key of a [[visit]]."},
      {"[[visit]]\nmonths = 3", "line 1, 'visit': needs 'months' and 'window_months'."},
      {"[[visit]]\nmonths = 0\nwindow_months = [0, 1]", "line 2, 'months': must be above 0."},
      {"[[visit]]\nmonths = 6\nwindow_months = [7, 9]",
       "line 3, 'window_months': does not hold the visit's target of 6 months."},
      {"[[visit]]\nmonths = 6\nwindow_months = [9, 3]",
       "line 3, 'window_months': must be [from, to] with 0 <= from < to."},
      {visits6and12 + "window_months = [8, 18]",
       "line 5, 'window_months': the window of \"12\" overlaps that of \"6\"."},
      {visits6and12 + "window_months = [9, 18]\nmonths = 3", "line 9, "},
      {"[[visit]]\nmonths = 12\nwindow_months = [9, 18]\n[[visit]]\nmonths = 6\nwindow_months = [3, 9]",
       "line 4, 'months': the visits must rise: 6 months follows 12 months."},
      {"[[visit]]\nname = \"a\"\nmonths = 6\nwindow_months = [3, 9]\n"
       "[[visit]]\nname = \"a\"\nmonths = 12\nwindow_months = [9, 18]",
       "line 5, 'name': \"a\" names two visits."},
      {"[[visit]]\nmonths = 6\nwindow_months = [3, 9]",
       "line 1, 'primary_visit': no visit is named \"24 months\": name the primary visit."},
      {"title = \"a\"\ntitle = \"b\"", "line 2, column 9: "},
      {"[[visit]]\nmonths = 6\nwindow_months = [3, 9]\nprimary_visit = \"6 months\"",
       "line 4, 'primary_visit': is no key of a [[visit]]: write it above the first [[visit]]."},
  };
  for (const auto& c : cases) {
    const auto protocol = Parse(c.text);
    ASSERT_FALSE(protocol) << c.text;
    const std::string& message = protocol.error().message;
    EXPECT_EQ(message.substr(0, std::min(message.size(), 19 + c.message.size())),
              "/study/study.toml: " + c.message)
        << c.text;
  }
}

TEST(Protocol, TouchingWindowsAreAccepted) {
  const auto protocol =
      Parse("primary_visit = \"12\"\n[[visit]]\nname = \"6\"\nmonths = 6\nwindow_months = [3, 9]\n"
            "[[visit]]\nname = \"12\"\nmonths = 12\nwindow_months = [9, 18]\n");
  ASSERT_TRUE(protocol) << protocol.error().message;
  EXPECT_EQ(protocol->visits.size(), 2u);
}

TEST(Protocol, ThePrimaryVisitIsFoundByItsName) {
  Protocol protocol;
  const Visit* primary = PrimaryVisitOf(protocol);
  ASSERT_NE(primary, nullptr);
  EXPECT_EQ(primary->months, 24);
  protocol.primaryVisit = "25 months";
  EXPECT_EQ(PrimaryVisitOf(protocol), nullptr);
}

TEST(Protocol, AMissingFileIsNamed) {
  const auto protocol = ReadProtocol("/no/such/study.toml", Protocol{});
  ASSERT_FALSE(protocol);
  EXPECT_EQ(protocol.error().message.rfind("/no/such/study.toml: the file cannot be opened", 0), 0u);
}

// Every key set, a title to escape, a threshold with no short decimal.
TEST(ProtocolUsed, ReadsBackAsTheSameProtocol) {
  auto read = ReadProtocol(kEveryKey + "/study.toml", DefaultProtocol("study", kRunDay));
  ASSERT_TRUE(read) << read.error().message;
  Protocol full = *read;
  full.title = "Stem \"A\" against B\\C";
  full.thresholdMm = 0.1 + 0.2;
  full.settings.TimeLimitDays = TimeLimitDaysForMonths(18.5);
  for (const Protocol& protocol : {DefaultProtocol("all", kRunDay), full}) {
    const std::string text = ProtocolToml(protocol, "1.2.3", kRunDay);
    const auto back = ParseProtocol(text, "/elsewhere/protocol-used.toml", Protocol{});
    ASSERT_TRUE(back) << back.error().message << "\n" << text;
    EXPECT_EQ(*back, protocol) << text;
  }
  const std::string text = ProtocolToml(full, "1.2.3", kRunDay);
  EXPECT_EQ(text.rfind("# The protocol as sinkview-study 1.2.3 applied it on 2026-12-08,", 0), 0u);
  EXPECT_NE(text.find("\ntime_limit_months = 18.5\n"), std::string::npos) << text;
}
