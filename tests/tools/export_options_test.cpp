// The exporter's command line, read in-process.
#include <gtest/gtest.h>

#include <iterator>
#include <sstream>

#include "../support/case_lines.h"
#include "cli/export_options.h"

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
  const auto cases = sinkview::testing::CaseLines(SINKVIEW_TEST_DATA "/export_usage_errors.txt");
  EXPECT_EQ(cases.size(), 25u);
  for (auto [arguments, message] : cases) {
    for (std::string* text : {&arguments, &message})
      for (std::size_t at; (at = text->find("NOT_A_FOLDER")) != std::string::npos;)
        text->replace(at, 12, SINKVIEW_SOURCE_DIR "/README.md");
    std::istringstream words(arguments);
    const auto command = ParseExportArguments({std::istream_iterator<std::string>(words), {}});
    ASSERT_FALSE(command) << arguments;
    EXPECT_EQ(command.error().message, message);
  }
  EXPECT_EQ(UsageErrorText({"x"}), "sinkview-export: x\nTry 'sinkview-export --help'.\n");
}

// The wrong ones are among export_usage_errors.txt.
TEST(FigureAxesOptions, ScalesAndAWidthOnPaperGoWithTheGraphicsOnly) {
  for (const auto& [arguments, width] : std::initializer_list<std::pair<const char*, std::optional<int>>>{
           {"--graphics g.png --axes a.vok", std::nullopt},
           {"--graphics g.png --axes --figure-width 85 a.vok", 85},
           {"--graphics g.pdf --axes --figure-width=170 --table t.png a.vok", 170},
           {"--graphics g.png --axes --size 800x600 a.vok", std::nullopt}}) {
    std::istringstream words(arguments);
    const auto command = ParseExportArguments({std::istream_iterator<std::string>(words), {}});
    ASSERT_TRUE(command) << arguments << ": " << command.error().message;
    EXPECT_EQ(std::pair(command->options.axes, command->options.figureWidthMm), std::pair(true, width))
        << arguments;
  }
  for (const char* option : {"--axes", "--figure-width=MM"})
    EXPECT_NE(ExportHelp().find(option), std::string::npos) << option;
}
