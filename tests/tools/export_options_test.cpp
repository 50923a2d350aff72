// The exporter's command line, read in-process.
#include <gtest/gtest.h>

#include <iterator>
#include <sstream>

#include "../support/file_contents.h"
#include "tools/export/export_options.h"

using namespace sinkview;

// 0.2630137 months are the window's 8 days; months read as a float first
// would give 7.9999995 and split a pair eight days apart.
TEST(ExportOptions, SettingOptionsFillTheSettingsInEitherSpelling) {
  const auto command =
      ParseExportArguments({"--reference-point", "head", "--trochanter=minor", "--time-limit", "0.2630137",
                            "--zoom=2.5", "--raw-data", "-r", "--output-dir", ".", "a.vok", "--", "--help"});
  ASSERT_TRUE(command) << command.error().message;
  const ExportOptions& o = command->options;
  const auto& m = o.settings;
  EXPECT_EQ(std::tuple(m.ReferencePoint, m.TrochanterChoice, m.TimeLimitDays, m.ZoomRange, m.ShowRawData),
            std::tuple(Reference::HeadCenter, Trochanter::Minor, TimeLimitDaysForMonths(0.2630137), 2.5f,
                       RawData::Shown));
  EXPECT_EQ(std::tuple(o.recursive, o.outputDir), std::tuple(true, "."));
  EXPECT_EQ(o.paths, (std::vector<std::string>{"a.vok", "--help"}));
  EXPECT_FALSE(o.WantsFigures());
}

TEST(ExportOptions, WrongCommandLinesSayWhatIsWrong) {
  std::istringstream cases(sinkview::testing::FileContents(SINKVIEW_TEST_DATA "/export_usage_errors.txt"));
  int checked = 0;
  for (std::string line; std::getline(cases, line);) {
    if (line.empty() || line.starts_with('#')) continue;
    for (std::size_t at; (at = line.find("NOT_A_FOLDER")) != std::string::npos;)
      line.replace(at, 12, SINKVIEW_SOURCE_DIR "/README.md");
    const std::size_t arrow = line.find("=> ");
    std::istringstream words(line.substr(0, arrow));
    const auto command = ParseExportArguments({std::istream_iterator<std::string>(words), {}});
    ASSERT_FALSE(command) << line;
    EXPECT_EQ(command.error().message, line.substr(arrow + 3));
    ++checked;
  }
  EXPECT_EQ(checked, 17);
  EXPECT_EQ(UsageErrorText({"x"}), "sinkview-export: x\nTry 'sinkview-export --help'.\n");
}
