// Table 1 as the report shows it: counts with their percent, numbers with
// one decimal, the parts a description lacks left out rather than shown empty.
#include <gtest/gtest.h>

#include "report/baseline_reading.h"

using namespace sinkview;

TEST(BaselineReading, CountsPercentsAndDescriptionsReadAsTheReportShowsThem) {
  Description age;
  age.n = 3;
  age.mean = 70.26;
  age.sd = 4.04;
  age.median = 71;
  age.q1 = 68.5;
  age.q3 = 72.75;
  age.min = 65;
  age.max = 74.5;
  Description one;
  one.n = 1;
  one.mean = one.median = one.q1 = one.q3 = one.min = one.max = 12;
  const BaselineReading reading = BaselineReadingOf({{"patients", "", "all", 3, {}, {}},
                                                     {"sex", "F", "A", 2, 66.6667, {}},
                                                     {"age", "", "A", 3, {}, age},
                                                     {"days_to_first_radiograph", "", "B", 1, {}, one}});
  ASSERT_EQ(reading.rows.size(), 4u);
  for (const auto& row : reading.rows) EXPECT_EQ(row.size(), reading.headers.size());
  using Row = std::vector<std::string>;
  EXPECT_EQ(reading.rows[0], (Row{"Patients", "", "all", "3", "", "", "", ""}));
  EXPECT_EQ(reading.rows[1], (Row{"sex", "F", "A", "2", "66.7", "", "", ""}));
  EXPECT_EQ(reading.rows[2],
            (Row{"age", "", "A", "3", "", "70.3 (4.0)", "71.0 (68.5 to 72.8)", "65.0 to 74.5"}));
  EXPECT_EQ(reading.rows[3], (Row{"Days from surgery to the first radiograph", "", "B", "1", "", "12.0",
                                  "12.0 (12.0 to 12.0)", "12.0 to 12.0"}));
}
