// The patients file as spreadsheets write it, its bad rows, and its dates.
#include <gtest/gtest.h>

#include <filesystem>
#include <sstream>

#include "../support/case_lines.h"
#include "protocol/calendar_date.h"
#include "protocol/declared_covariates.h"
#include "protocol/patients_file.h"

using namespace sinkview;
using namespace std::chrono;

namespace {

Expected<PatientsFile, Failure> Parse(const std::string& text, bool pseudonymise = false) {
  return ParsePatientsFile(text, "patients.csv", pseudonymise);
}

} // namespace

// One table of two hips in the dialects a spreadsheet may save it in, one
// file each under tests/data/patients_dialects.
TEST(PatientsFile, ReadsEverySpreadsheetDialect) {
  int dialects = 0;
  for (const auto& entry : std::filesystem::directory_iterator(SINKVIEW_TEST_DATA "/patients_dialects")) {
    const std::string dialect = entry.path().filename();
    const auto file = ReadPatientsFile(entry.path(), false);
    ASSERT_TRUE(file) << dialect << ": " << file.error().message;
    ASSERT_EQ(file->rows.size(), 2u) << dialect;
    // The lines differ with the dialect's blank rows.
    const PatientsFile expected{
        {"age"},
        {{"a.vok", "A", 2020y / March / 4, {}, {}, {}, "", "", {"71"}, file->rows[0].line, {}},
         {"b.vok", "B", 2020y / March / 4, {}, {}, {}, "", "", {"68"}, file->rows[1].line, {}}},
        {"A", "B"}};
    EXPECT_EQ(*file, expected) << dialect;
    ++dialects;
  }
  EXPECT_EQ(dialects, 4);
}

// A line end in a free text is a blank: it would break the lines it is put in.
TEST(PatientsFile, QuotedFieldsKeepSeparatorsAndQuotes) {
  const auto file =
      Parse("file;comment;excluded\r\n\"a;b.vok\";\"said \"\"no\"\"\";\"consent\r\nwithdrawn\"\r\n"
            "c.vok;;\r\n");
  ASSERT_TRUE(file) << file.error().message;
  // The quoted line end counts: c.vok is on line 4.
  const PatientsFile expected{
      {"comment"},
      {{"a;b.vok", "", {}, {}, {}, {}, "consent  withdrawn", "", {"said \"no\""}, 2, {}},
       {"c.vok", "", {}, {}, {}, {}, "", "", {""}, 4, {}}},
      {"all"}};
  EXPECT_EQ(*file, expected);
}

TEST(PatientsFile, EventsGroupsAndPatientsAreRead) {
  const auto file = Parse(
      "File;Group;patient;surgery_date;revision_date;death_date;withdrawn_date;excluded;last_contact_date\n"
      "./b/x.vok;B;P1;2020-01-10;2021-02-03;;;;\n"
      "a\\y.vok;A;P1;2020-01-10;;2022-05-06;2021-01-01;no consent;2021-06-30\n");
  ASSERT_TRUE(file) << file.error().message;
  const CalendarDate surgery = 2020y / January / 10;
  const PatientsFile expected{{},
                              {{"b/x.vok", "B", surgery, 2021y / February / 3, {}, {}, "", "P1", {}, 2, {}},
                               {"a/y.vok",
                                "A",
                                surgery,
                                {},
                                2022y / May / 6,
                                2021y / January / 1,
                                "no consent",
                                "P1",
                                {},
                                3,
                                2021y / June / 30}},
                              {"B", "A"}};
  EXPECT_EQ(*file, expected);
}

// A column the message suggests in place of the bad one is taken.
TEST(PatientsFile, EveryBadRowIsOneMessageWithLineAndColumn) {
  const auto cases = sinkview::testing::CaseLines(SINKVIEW_TEST_DATA "/patients_errors.txt");
  EXPECT_EQ(cases.size(), 27u);
  int suggestions = 0;
  for (auto [text, message] : cases) {
    const bool pseudonymise = text.starts_with("pseudonymised: ");
    if (pseudonymise) text.erase(0, 15);
    std::optional<std::vector<std::string>> covariates;
    if (text.starts_with("covariates ")) {
      const std::size_t colon = text.find(": ");
      covariates.emplace();
      std::istringstream names(text.substr(11, colon - 11));
      for (std::string name; std::getline(names, name, ',');) covariates->push_back(name);
      text.erase(0, colon + 2);
    }
    text = sinkview::testing::WithLineEnds(text);
    const auto file = ParsePatientsFile(text, "patients.csv", pseudonymise, covariates);
    ASSERT_FALSE(file) << text;
    EXPECT_EQ(file.error().message, "patients.csv: " + message) << text;
    if (const auto at = message.find("did you mean '"); at != std::string::npos) {
      const std::string column = message.substr(message.find("column '") + 8);
      const std::string bad = column.substr(0, column.find('\''));
      const std::string meant = message.substr(at + 14, message.find('\'', at + 14) - at - 14);
      text.replace(text.find(bad), bad.size(), meant);
      const auto back = ParsePatientsFile(text, "patients.csv", pseudonymise, covariates);
      EXPECT_TRUE(back) << text << (back ? "" : back.error().message);
      ++suggestions;
    }
  }
  EXPECT_EQ(suggestions, 6);
}

// Without a list, a column of no known name is a covariate unless it is
// too like a known one; a listed one is taken whatever it is like.
TEST(PatientsFile, CovariatesAreTheColumnsMeantAsSuch) {
  const std::string text = "file;age;Side;weight\na.vok;-2.1;r;80\n";
  const auto unlisted = Parse("file;age;weight;bmi\na.vok;70;80;24\n");
  ASSERT_TRUE(unlisted) << unlisted.error().message;
  EXPECT_EQ(unlisted->covariates, (std::vector<std::string>{"age", "weight", "bmi"}));
  EXPECT_FALSE(Parse(text));
  const auto listed =
      ParsePatientsFile(text, "patients.csv", false, std::vector<std::string>{"weight", "Side", "age"});
  ASSERT_TRUE(listed) << listed.error().message;
  EXPECT_EQ(listed->covariates, (std::vector<std::string>{"age", "Side", "weight"}));
  EXPECT_EQ(listed->rows[0].covariates, (std::vector<std::string>{"-2.1", "r", "80"}));
  // An empty list: the file has no covariates.
  EXPECT_TRUE(ParsePatientsFile("file;group\na.vok;A\n", "patients.csv", false, std::vector<std::string>{}));
  EXPECT_FALSE(ParsePatientsFile("file;age\na.vok;1\n", "patients.csv", false, std::vector<std::string>{}));
}

TEST(PatientsFile, WindowsTextIsReadAsUtf8) {
  const auto file = Parse("file;name\nm.vok;M\xFCller\n");
  ASSERT_TRUE(file) << file.error().message;
  EXPECT_EQ(file->rows[0].covariates, std::vector<std::string>{"M\xC3\xBCller"});
}

// A day read is written as yyyy-mm-dd, which reads back.
TEST(CalendarDate, ReadsBothFormsAndRefusesWhatCannotBeMeant) {
  const auto cases = sinkview::testing::CaseLines(SINKVIEW_TEST_DATA "/calendar_dates.txt");
  EXPECT_EQ(cases.size(), 18u);
  for (const auto& [text, expected] : cases) {
    const auto date = ParseCalendarDate(text);
    EXPECT_EQ(date ? IsoDate(*date) : date.error().message, expected) << text;
    EXPECT_TRUE(!date || ParseCalendarDate(IsoDate(*date))) << text;
  }
}

// Names the outputs show (groups, patients, covariates) are refused with a
// control character in them; a free text keeps its words, the control
// characters shown as blanks. Dates stay in the years a data file may have.
TEST(PatientsFile, ControlCharactersInNamesAndDatesBeyondTheStudyYears) {
  const std::string nul("A\0B", 3);
  const struct {
    std::string text, message;
  } refused[] = {
      {"file;group\na.vok;" + nul + "\n", "line 2, column 'group': "},
      {"file;group\na.vok;\"A\nB\"\n", "line 2, column 'group': "},
      {"file;patient\na.vok;P\xE2\x80\xAE"
       "1\n",
       "line 2, column 'patient': "},
      {"file;\"birth\rdate\"\na.vok;1\n", "line 1: "},
      {"file;surgery_date\na.vok;1066-10-14\n",
       "line 2, column 'surgery_date': \"1066-10-14\" is outside the years 1900 to 2100."},
      {"file;surgery_date;revision_date\na.vok;2020-01-01;9999-01-01\n",
       "line 2, column 'revision_date': \"9999-01-01\" is outside the years 1900 to 2100."},
  };
  for (const auto& c : refused) {
    const auto file = Parse(c.text);
    ASSERT_FALSE(file) << c.text;
    EXPECT_EQ(file.error().message.find('\n'), std::string::npos) << file.error().message;
    EXPECT_EQ(file.error().message.rfind("patients.csv: " + c.message, 0), 0u) << file.error().message;
    if (c.message.find("outside") == std::string::npos) {
      EXPECT_NE(file.error().message.find("holds a control character"), std::string::npos)
          << file.error().message;
    }
  }
  const auto file = Parse("file;excluded;note\na.vok;no\x1B consent;\"x\xE2\x80\xAEy\n" + nul + "\"\n");
  ASSERT_TRUE(file) << file.error().message;
  EXPECT_EQ(file->rows[0].excluded, "no  consent");
  EXPECT_EQ(file->rows[0].covariates, std::vector<std::string>{"x y A B"});
}

// Pseudonymised, only the declared covariates stay, in the file's order; the
// user is told which are left out and which of the kept hold dates.
TEST(PatientsFile, OnlyDeclaredCovariatesAreKept) {
  auto file =
      Parse("file;patient;born;age;op_day;sex\na.vok;P1;1951-04-03;71;;m\nb.vok;P2;;;3.4.2020;f\n", true);
  ASSERT_TRUE(file) << file.error().message;
  const auto notes = KeepDeclaredCovariates(*file, {"sex", "op_day", "weight"}, "patients.csv");
  EXPECT_EQ(file->covariates, (std::vector<std::string>{"op_day", "sex"}));
  EXPECT_EQ(file->rows[1].covariates, (std::vector<std::string>{"3.4.2020", "f"}));
  EXPECT_EQ(notes, (std::vector<std::string>{
                       "patients.csv: pseudonymised, the covariates the protocol does not declare are left "
                       "out: 'born' (it holds dates), 'age'.",
                       "patients.csv: the declared covariates 'op_day' (it holds dates) are written as they "
                       "are, though a date may identify a patient."}));
  EXPECT_TRUE(KeepDeclaredCovariates(*file, {"sex", "op_day"}, "p").size() == 1);
}
