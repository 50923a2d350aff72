// study.toml: the defaults, every kind of bad protocol with its message, and
// protocol-used.toml read back.
#include <gtest/gtest.h>

#include <cstdio>

#include "../support/case_lines.h"
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
  EXPECT_EQ(protocol->model, ModelStructure::RandomIntercept);
  EXPECT_EQ(protocol->primaryAnalysis, PrimaryAnalysis::Welch);
  EXPECT_EQ(protocol->settings.ReferencePoint, Reference::HeadCenter);
  EXPECT_EQ(protocol->settings.TrochanterChoice, Trochanter::Minor);
  EXPECT_EQ(protocol->settings.TimeLimitDays, TimeLimitDaysForMonths(36));
  EXPECT_TRUE(protocol->pseudonymise);
  EXPECT_EQ(protocol->covariates, (std::vector<std::string>{"age", "sex"}));
  EXPECT_EQ(protocol->visits, (std::vector<Visit>{{"half a year", 6, {3, 9}}, {"two years", 24, {18, 30}}}));
  EXPECT_EQ(protocol->survivalYears, (std::vector<double>{0.5, 3, 15}));
}

// Each bad protocol is one message with the file, the line and the key.
TEST(Protocol, EveryProblemIsOneMessageWithLineAndKey) {
  const auto cases = sinkview::testing::CaseLines(SINKVIEW_TEST_DATA "/protocol_errors.txt");
  EXPECT_EQ(cases.size(), 52u);
  for (auto [text, start] : cases) {
    const auto protocol = Parse(sinkview::testing::WithLineEnds(text));
    ASSERT_FALSE(protocol) << text;
    const std::string& message = protocol.error().message;
    EXPECT_EQ(message.substr(0, std::min(message.size(), 19 + start.size())), "/study/study.toml: " + start)
        << text;
  }
}

// What a message offers in place of the bad text ("such as 2025-06-30",
// "did you mean 'threshold_mm'?", "none of 'head' or 'shoulder'") is put in
// its place on the line the message names: the reader takes it.
TEST(Protocol, EveryExampleAMessageShowsIsAccepted) {
  int examples = 0;
  for (auto [text, start] : sinkview::testing::CaseLines(SINKVIEW_TEST_DATA "/protocol_errors.txt")) {
    text = sinkview::testing::WithLineEnds(text);
    const auto protocol = Parse(text);
    ASSERT_FALSE(protocol) << text;
    const std::string message = protocol.error().message;
    int line = 0;
    char key[64] = {};
    if (std::sscanf(message.c_str(), "/study/study.toml: line %d, '%63[^']'", &line, key) != 2) continue;
    if (message.find("such as ") == std::string::npos &&
        message.find("did you mean '") == std::string::npos &&
        message.find(" is none of '") == std::string::npos)
      continue;
    std::vector<std::string> lines;
    for (std::size_t from = 0, end = 0; end != std::string::npos; from = end + 1)
      lines.push_back(text.substr(from, (end = text.find('\n', from)) - from));
    std::string& bad = lines.at(static_cast<std::size_t>(line - 1));
    ASSERT_TRUE(bad.starts_with(std::string(key) + " = ")) << message;

    std::vector<std::string> fixed;
    const auto valueAs = [&](const std::string& value) { return std::string(key) + " = " + value; };
    if (const auto at = message.find("such as "); at != std::string::npos) {
      std::string example = message.substr(at + 8, message.find(", not ", at) - at - 8);
      if (example.ends_with('.')) example.pop_back();
      fixed.push_back(valueAs(example));
    }
    if (const auto at = message.find("did you mean '"); at != std::string::npos)
      fixed.push_back(message.substr(at + 14, message.find('\'', at + 14) - at - 14) +
                      bad.substr(bad.find(" = ")));
    if (const auto at = message.find(" is none of '"); at != std::string::npos)
      for (std::size_t open = message.find('\'', at); open != std::string::npos;
           open = message.find('\'', message.find('\'', open + 1) + 1))
        fixed.push_back(valueAs(message.substr(open, message.find('\'', open + 1) - open + 1)));
    for (const std::string& replacement : fixed) {
      std::string all;
      for (const std::string& other : lines) all += (&other == &bad ? replacement : other) + "\n";
      const auto back = Parse(all);
      EXPECT_TRUE(back) << message << "\n" << all << (back ? "" : back.error().message);
      ++examples;
    }
  }
  EXPECT_EQ(examples, 13);
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

// Every key set, a title to escape, a patients file whose name has a line
// break (with three quotes, or none), a threshold with no short decimal.
TEST(ProtocolUsed, ReadsBackAsTheSameProtocol) {
  auto read = ReadProtocol(kEveryKey + "/study.toml", DefaultProtocol("study", kRunDay));
  ASSERT_TRUE(read) << read.error().message;
  Protocol full = *read;
  full.title = "Stem \"A\" against B\\C";
  full.patientsFile = "/study/lists'''\nB\".csv";
  full.thresholdMm = 0.1 + 0.2;
  full.settings.TimeLimitDays = TimeLimitDaysForMonths(18.5);
  full.covariates->push_back("sex \"m\"/f");
  Protocol broken = full;
  broken.patientsFile = "/study/lists\nB.csv";
  for (const Protocol& protocol : {DefaultProtocol("all", kRunDay), full, broken}) {
    const std::string text = ProtocolToml(protocol, "1.2.3", kRunDay);
    const auto back = ParseProtocol(text, "/elsewhere/protocol-used.toml", Protocol{});
    ASSERT_TRUE(back) << back.error().message << "\n" << text;
    EXPECT_EQ(*back, protocol) << text;
  }
  const std::string text = ProtocolToml(full, "1.2.3", kRunDay);
  EXPECT_EQ(text.rfind("# The protocol as sinkview-study 1.2.3 applied it on 2026-12-08,", 0), 0u);
  EXPECT_NE(text.find("\ntime_limit_months = 18.5\n"), std::string::npos) << text;
}

// The values as given (--threshold 0.8), not as a double's 17 digits; a
// whole number stays a number of the same kind.
TEST(ProtocolUsed, NumbersAreTheirShortestText) {
  Protocol protocol = DefaultProtocol("all", kRunDay);
  protocol.thresholdMm = 0.8;
  protocol.bandsMm = {0.1, 2.3};
  protocol.detectionLimitMm = 1e-7;
  protocol.visits = {{"a", 3, {0.7, 4.5}}};
  protocol.primaryVisit = "a";
  const std::string text = ProtocolToml(protocol, "1.2.3", kRunDay);
  for (const char* line :
       {"\nthreshold_mm = 0.8\n", "\nbands_mm = [ 0.1, 2.3 ]\n", "\ndetection_limit_mm = 1e-07\n",
        "\nmonths = 3.0\n", "\nwindow_months = [ 0.7, 4.5 ]\n"})
    EXPECT_NE(text.find(line), std::string::npos) << line << " in\n" << text;
  const auto back = ParseProtocol(text, "/elsewhere/protocol-used.toml", Protocol{});
  ASSERT_TRUE(back) << back.error().message;
  EXPECT_EQ(*back, protocol);
}

// A key of thousands of parts, or lists and tables as deep, fits in a small
// file; it is refused in one line, never followed down to a crash. A
// protocol as deep as it may be is still read.
TEST(Protocol, NestingBeyondAnyProtocolIsRefusedInOneLine) {
  const auto repeated = [](std::string_view part, int times) {
    std::string text;
    for (int i = 0; i < times; ++i) text += part;
    return text;
  };
  const std::string deep[] = {
      "title = \"t\"\n" + repeated("a.", 40000) + "a = 1\n",
      "\n[" + repeated("a.", 40000) + "a]\n",
      "[[" + repeated("a.", 40000) + "a]]\n",
      "x = " + repeated("[", 40000) + "\n",
      "x = " + repeated("{a=", 40000) + "\n",
      "x = [\n" + repeated("{a.a.a.a.a.a.a.a.a.a.a.a.a.a.a.a.a.a = [\n", 2000) + "\n",
  };
  for (const std::string& text : deep) {
    const auto protocol = Parse(text);
    ASSERT_FALSE(protocol) << text.substr(0, 40);
    EXPECT_EQ(protocol.error().message.find('\n'), std::string::npos);
    EXPECT_NE(protocol.error().message.find("nest more than 32 levels deep"), std::string::npos)
        << protocol.error().message;
  }
  EXPECT_NE(Parse(deep[1]).error().message.find("line 2"), std::string::npos);
  // Dots and brackets in texts and comments are no nesting.
  const std::string shallow = "title = \"" + repeated("a.[{", 100) + "\" # " + repeated(".[", 100) +
                              "\nprimary_visit = '''\n" + repeated("x.", 100) + "'''\n" +
                              "pseudonymise = false\n" + repeated("# [a.b.c]\n", 100) +
                              "bands_mm = [0.5, 1.5]\n";
  const auto protocol = Parse(shallow);
  ASSERT_FALSE(protocol); // the primary visit is none of the visits
  EXPECT_NE(protocol.error().message.find("'primary_visit'"), std::string::npos) << protocol.error().message;
}

// The command line's limits hold in the protocol, and the years of a data
// file; a value on a limit is taken. Names the outputs show hold no control
// character.
TEST(Protocol, ValuesBeyondTheirLimitsAndControlCharactersAreRefused) {
  const std::string visit = "[[visit]]\nmonths = 100\nwindow_months = ";
  const struct {
    std::string text, message;
  } refused[] = {
      {"threshold_mm = 1000.5", "line 1, 'threshold_mm': must be at most 1000."},
      {"detection_limit_mm = 5000", "line 1, 'detection_limit_mm': must be at most 1000."},
      {"bands_mm = [1e300, 1.7e308]", "line 1, 'bands_mm': must be at most 1000."},
      {"time_limit_months = 0", "line 1, 'time_limit_months': must be above 0 and at most 1000000."},
      {"cutoff = 1899-12-31", "line 1, 'cutoff': must lie in the years 1900 to 2100."},
      {"cutoff = 2101-01-01", "line 1, 'cutoff': must lie in the years 1900 to 2100."},
      {visit + "[96, 1e9]", "line 3, 'window_months': must be at most 1200."},
      {"[[visit]]\nmonths = 1e300\nwindow_months = [96, 1e301]", "line 2, 'months': must be at most 1200."},
      {"title = \"A\\u0000B\"", "line 1, 'title': \"A B\" holds a control character"},
      {"title = \"A\\u202eB\"", "line 1, 'title': "},
      {visit + "[96, 120]\nname = \"one\\ntwo\"", "line 4, 'name': \"one two\" holds a control character"},
      {"primary_visit = \"x\\ty\"", "line 1, 'primary_visit': "},
  };
  for (const auto& c : refused) {
    const auto protocol = Parse(c.text);
    ASSERT_FALSE(protocol) << c.text;
    EXPECT_EQ(protocol.error().message.rfind("/study/study.toml: " + c.message, 0), 0u)
        << protocol.error().message;
  }
  const auto edges = Parse("threshold_mm = 1000\nbands_mm = [999, 1000]\ncutoff = 1900-01-01\n"
                           "detection_limit_mm = 1000\nprimary_visit = \"end\"\n[[visit]]\nname = \"end\"\n"
                           "months = 1150\nwindow_months = [1100, 1200]\n");
  ASSERT_TRUE(edges) << edges.error().message;
  EXPECT_EQ(edges->visits.back().windowMonths[1], 1200);
  EXPECT_TRUE(Parse("cutoff = 2100-12-31\ntitle = \"Stems \\\"A\\\" and B\"\n"));
}
