// The exporter's command line, read in-process.
#include <gtest/gtest.h>

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
  const std::string file = SINKVIEW_SOURCE_DIR "/README.md";
  for (const auto& [args, message] : std::vector<std::pair<std::vector<std::string>, std::string>>{
           {{}, "no data file or folder given"},
           {{"--reference-point", "hip", "a.vok"}, "--reference-point does not take 'hip'"},
           {{"--time-limit", "-1", "a.vok"}, "--time-limit wants a number of months of 0 or more, not '-1'"},
           {{"--time-limit=6o", "a.vok"}, "--time-limit wants a number of months of 0 or more, not '6o'"},
           {{"--output-dir", "/no/such", "a.vok"}, "--output-dir: the folder '/no/such' does not exist"},
           {{"--output-dir", file, "a.vok"}, "--output-dir: '" + file + "' is not a folder"},
           {{"--colour", "red", "a.vok"}, "unknown option '--colour'"},
           {{"--raw-data=yes", "a.vok"}, "unknown option '--raw-data=yes'"},
           {{"-x", "a.vok"}, "unknown option '-x'"},
           {{"a.vok", "--trochanter"}, "--trochanter wants a value"},
           {{"--graphics", "g.png", "a.vok", "b.vok"},
            "--graphics and --table draw one data file; give exactly one"},
           {{"--graphics", "g.png", "--size", "10x10", "a.vok"},
            "--size wants WIDTHxHEIGHT in pixels, each 16 to 20000, not '10x10'"},
           {{"--table", "t.svg", "a.vok"}, "--table: 't.svg' must end in .png or .pdf"},
           {{"--graphics", "g.svgz", "a.vok"}, "--graphics: 'g.svgz' must end in .png, .pdf or .svg"}}) {
    const auto command = ParseExportArguments(args);
    ASSERT_FALSE(command) << message;
    EXPECT_EQ(command.error().message, message);
  }
  EXPECT_EQ(UsageErrorText({"x"}), "sinkview-export: x\nTry 'sinkview-export --help'.\n");
}
