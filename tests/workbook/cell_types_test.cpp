// How a CSV field becomes a cell: the typing rules, one table each.
#include <gtest/gtest.h>

#include "workbook/cell_text.h"
#include "workbook/cell_types.h"

using namespace sinkview;

TEST(CellTypes, ANumberCellIsAFiniteDecimalThatReadsBackTheSame) {
  for (const auto& [field, value] : std::vector<std::pair<std::string, double>>{
           {"12", 12}, {"-0.25", -0.25}, {"0", 0}, {"1e-07", 1e-7}, {"0.1234567", 0.1234567}})
    EXPECT_EQ(NumberCell(field), value) << field;
  for (const std::string field : {"", "007", "+1", " 1", "1 ", "1.", ".5", "1,5", "inf", "nan", "0x10",
                                  "1e400", "-", "1e", "0.30000000000000004"})
    EXPECT_FALSE(NumberCell(field)) << field;
}

TEST(CellTypes, ADateCellIsAnIsoDayFromMarch1900) {
  using namespace std::chrono;
  EXPECT_EQ(DateCell("2021-02-15"), (year_month_day{2021y, February, 15d}));
  EXPECT_EQ(DateCell("1900-03-01"), (year_month_day{1900y, March, 1d}));
  for (const std::string field : {"2021-02-29", "15.02.2021", "2021-2-15", "1900-02-28", "2021-02-15 ", ""})
    EXPECT_FALSE(DateCell(field)) << field;
}

TEST(CellTypes, AColumnIsTypedAsAWhole) {
  const struct {
    std::vector<std::string> fields;
    CellKind kind;
  } cases[] = {
      {{"1", "", "2.5"}, CellKind::Number}, {{"12", "007"}, CellKind::Text},
      {{"2021-01-01", ""}, CellKind::Date}, {{"2021-01-01", "3"}, CellKind::Text},
      {{"", ""}, CellKind::Text},           {{"=1+1", "-5"}, CellKind::Text},
  };
  for (const auto& c : cases) {
    ColumnSurvey survey;
    survey.Add({"header"}, true);
    for (const std::string& field : c.fields) survey.Add({field});
    EXPECT_EQ(survey.Kind(0), c.kind) << testing::PrintToString(c.fields);
  }
  ColumnSurvey widths;
  widths.Add({"a", std::string(500, 'x'), "Bürgi"});
  EXPECT_EQ(widths.Width(0), 6);  // the narrowest column
  EXPECT_EQ(widths.Width(1), 60); // the widest
  EXPECT_EQ(widths.Width(2), 6);  // "ü" is one character
}

TEST(CellText, EscapesLookAlikesAndCutsWhatACellCannotHold) {
  EXPECT_EQ(CellTextOf("=1+1").text, "=1+1");
  EXPECT_EQ(CellTextOf("a_x0041_b").text, "a_x005F_x0041_b");
  EXPECT_EQ(CellTextOf("_x41_").text, "_x41_");

  const std::string fits(kCellTextLimit, 'a');
  EXPECT_FALSE(CellTextOf(fits).cut);
  EXPECT_EQ(CellTextOf(fits).text, fits);
  // A character beyond U+FFFF takes two of a cell's places.
  for (const std::string& longer : {fits + "a", std::string(kCellTextLimit - 1, 'a') + "\U0001F600"}) {
    const CellText cell = CellTextOf(longer);
    EXPECT_TRUE(cell.cut);
    EXPECT_EQ(cell.text, std::string(kCellTextLimit - 6, 'a') + std::string(kCutMark));
  }
}
