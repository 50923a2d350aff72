// The patients file as spreadsheets write it, its bad rows, and its dates.
#include <gtest/gtest.h>

#include <filesystem>

#include "../support/case_lines.h"
#include "protocol/calendar_date.h"
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
    EXPECT_EQ(file->covariates, std::vector<std::string>{"age"}) << dialect;
    EXPECT_EQ(file->groups, (std::vector<std::string>{"A", "B"})) << dialect;
    ASSERT_EQ(file->rows.size(), 2u) << dialect;
    EXPECT_EQ(file->rows[0].file, "a.vok") << dialect;
    EXPECT_EQ(file->rows[0].covariates, std::vector<std::string>{"71"}) << dialect;
    EXPECT_EQ(file->rows[1].surgery, 2020y / March / 4) << dialect;
    ++dialects;
  }
  EXPECT_EQ(dialects, 4);
}

TEST(PatientsFile, QuotedFieldsKeepSeparatorsQuotesAndLineEnds) {
  const auto file =
      Parse("file;comment;excluded\r\n\"a;b.vok\";\"said \"\"no\"\"\";\"consent\r\nwithdrawn\"\r\n"
            "c.vok;;\r\n");
  ASSERT_TRUE(file) << file.error().message;
  ASSERT_EQ(file->rows.size(), 2u);
  EXPECT_EQ(file->rows[0].file, "a;b.vok");
  EXPECT_EQ(file->rows[0].covariates, std::vector<std::string>{"said \"no\""});
  EXPECT_EQ(file->rows[0].excluded, "consent\r\nwithdrawn");
  EXPECT_EQ(file->rows[1].line, 4); // the quoted line end counts
  EXPECT_EQ(file->groups, std::vector<std::string>{"all"});
}

TEST(PatientsFile, EventsGroupsAndPatientsAreRead) {
  const auto file = Parse("File;Group;patient;surgery_date;revision_date;death_date;withdrawn_date;excluded\n"
                          "./b/x.vok;B;P1;2020-01-10;2021-02-03;;;\n"
                          "a\\y.vok;A;P1;2020-01-10;;2022-05-06;2021-01-01;no consent\n");
  ASSERT_TRUE(file) << file.error().message;
  EXPECT_EQ(file->groups, (std::vector<std::string>{"B", "A"}));
  EXPECT_TRUE(file->covariates.empty());
  const PatientRow& x = file->rows[0];
  EXPECT_EQ(x.file, "b/x.vok");
  EXPECT_EQ(x.revision, 2021y / February / 3);
  EXPECT_FALSE(x.death);
  const PatientRow& y = file->rows[1];
  EXPECT_EQ(y.file, "a/y.vok");
  EXPECT_EQ(y.patient, "P1");
  EXPECT_EQ(y.death, 2022y / May / 6);
  EXPECT_EQ(y.withdrawn, 2021y / January / 1);
  EXPECT_EQ(y.excluded, "no consent");
  EXPECT_EQ(y.line, 3);
}

TEST(PatientsFile, EveryBadRowIsOneMessageWithLineAndColumn) {
  const auto cases = sinkview::testing::CaseLines(SINKVIEW_TEST_DATA "/patients_errors.txt");
  EXPECT_EQ(cases.size(), 16u);
  for (auto [text, message] : cases) {
    const bool pseudonymise = text.starts_with("pseudonymised: ");
    if (pseudonymise) text.erase(0, 15);
    const auto file = Parse(sinkview::testing::WithLineEnds(text), pseudonymise);
    ASSERT_FALSE(file) << text;
    EXPECT_EQ(file.error().message, "patients.csv: " + message) << text;
  }
}

TEST(PatientsFile, WindowsTextIsReadAsUtf8) {
  const auto file = Parse("file;name\nm.vok;M\xFCller\n");
  ASSERT_TRUE(file) << file.error().message;
  EXPECT_EQ(file->rows[0].covariates, std::vector<std::string>{"M\xC3\xBCller"});
}

TEST(CalendarDate, ReadsBothFormsAndRefusesWhatCannotBeMeant) {
  const struct {
    std::string text;
    std::optional<CalendarDate> date;
    std::string why;
  } cases[] = {
      {"2020-02-29", 2020y / February / 29, ""},
      {"29.02.2020", 2020y / February / 29, ""},
      {"1.3.2021", 2021y / March / 1, ""},
      {"2021-02-29", std::nullopt, "is no day of the calendar"},
      {"2000-02-29", 2000y / February / 29, ""},
      {"29.02.1900", std::nullopt, "is no day of the calendar"},
      {"2020-13-01", std::nullopt, "is no day of the calendar"},
      {"03/04/2020", std::nullopt, "is ambiguous (day or month first?): write the date as yyyy-mm-dd"},
      {"2020/04/03", std::nullopt, "is ambiguous (day or month first?): write the date as yyyy-mm-dd"},
      {"03.04.20", std::nullopt, "has a year of two digits: write the date as yyyy-mm-dd"},
      {"2020-3-4", std::nullopt, "is not a date of the form yyyy-mm-dd or dd.mm.yyyy"},
      {"20200304", std::nullopt, "is not a date of the form yyyy-mm-dd or dd.mm.yyyy"},
      {"+2020-03-04", std::nullopt, "is not a date of the form yyyy-mm-dd or dd.mm.yyyy"},
  };
  for (const auto& c : cases) {
    const auto date = ParseCalendarDate(c.text);
    if (c.date) {
      ASSERT_TRUE(date) << c.text << ": " << date.error().message;
      EXPECT_EQ(*date, *c.date) << c.text;
      EXPECT_EQ(ParseCalendarDate(IsoDate(*date)).has_value(), true);
    } else {
      ASSERT_FALSE(date) << c.text;
      EXPECT_EQ(date.error().message, c.why) << c.text;
    }
  }
}
