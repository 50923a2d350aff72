#include "cli/export_options.h"

#include <charconv>

#include "model/figure_files.h"

namespace sinkview {

std::string ExportHelp() {
  return std::string(R"help(Usage: sinkview-export [OPTION]... PATH...
Write the export file (*.num) of every measurement data file (*.vok) that a
PATH names, as the table window's "WRITE FILE ( *.NUM)" writes it with the
same settings; or draw the figures of one data file for reports.

A PATH is a data file or a folder, whose data files are all exported; names
are matched without regard to case.

Export files:
)help") + std::string(kRecursiveHelp) +
         R"help(      --output-dir=DIR       write the export files into DIR, which must
                             exist, instead of beside the data files
)help" + std::string(kSettingHelp) +
         R"help(
Figures of one data file, instead of its export file:
      --graphics=FILE        the graphics window's diagrams as FILE (.png,
                             .tif, .tiff, .pdf or .svg; PDF and SVG as
                             vectors, a TIFF at 600 dpi as large on paper
                             as the PNG)
      --table=FILE           the table as FILE (.png, .tif, .tiff or .pdf)
      --size=WxH             the figure's size in pixels (default: the
                             window's design size)
      --axes                 with --graphics: write the scales beside the
                             diagrams (what the grid lines read: subsidence
                             as the change since the first radiograph, the
                             angle in degrees, for the stacked distances each
                             curve's zero with the grid 1 mm apart; the months
                             at the year ticks, each diagram's quantity)
      --figure-width=MM      with --graphics and --axes: the figure's width on
                             paper, 85 or 170 mm (one or two journal
                             columns), drawn at 300 dpi (a TIFF at 600);
                             not with --size
)help" + std::string(kDrawingSettingHelp) +
         R"help(
      --help                 display this help and exit
      --version              output version information and exit

Exit status:
  0  every data file was exported, or every figure written;
  1  a file was rejected or could not be written;
  2  the command line is wrong.
)help";
}

std::string UsageErrorText(const Failure& error) {
  return std::string(kExportProgram) + ": " + error.message + "\nTry '" + std::string(kExportProgram) +
         " --help'.\n";
}

namespace {

std::optional<FigureSize> ParseSize(const std::string& text) {
  FigureSize size;
  const char* end = text.data() + text.size();
  auto [x, widthError] = std::from_chars(text.data(), end, size.width);
  if (widthError != std::errc() || x == end || (*x != 'x' && *x != 'X')) return std::nullopt;
  auto [last, heightError] = std::from_chars(x + 1, end, size.height);
  if (heightError != std::errc() || last != end) return std::nullopt;
  // Large enough to draw into, small enough to stay a figure.
  if (size.width < 16 || size.height < 16 || size.width > 20000 || size.height > 20000) return std::nullopt;
  return size;
}

std::optional<int> ParseFigureWidth(const std::string& text) {
  for (const double width : {kOneColumnMm, kTwoColumnsMm})
    if (text == std::to_string(static_cast<int>(width))) return static_cast<int>(width);
  return std::nullopt;
}

// Applies a figure option.
Expected<void, Failure> ApplyFigureOption(const std::string& name, const std::string& value,
                                          ExportOptions& options) {
  if (name == "size") {
    options.size = ParseSize(value);
    if (!options.size)
      return WrongUsage("--size wants WIDTHxHEIGHT in pixels, each 16 to 20000, not '" + value + "'");
    return {};
  }
  if (name == "figure-width") {
    options.figureWidthMm = ParseFigureWidth(value);
    if (!options.figureWidthMm) return WrongUsage("--figure-width wants 85 or 170 (mm), not '" + value + "'");
    return {};
  }
  const bool graphics = name == "graphics";
  const std::optional<FigureFormat> format = FigureFormatOf(value);
  if (!format || (*format == FigureFormat::Svg && !graphics))
    return WrongUsage("--" + name + ": '" + value + "' must end in " + FigureEndings(graphics));
  (graphics ? options.graphicsFile : options.tableFile) = value;
  return {};
}

} // namespace

Expected<ExportCommand, Failure> ParseExportArguments(const std::vector<std::string>& args) {
  ExportCommand command;
  ExportOptions& options = command.options;
  bool optionsEnded = false;
  for (std::size_t a = 0; a < args.size(); ++a) {
    const std::string& arg = args[a];
    if (optionsEnded || arg.size() < 2 || arg[0] != '-') {
      options.paths.push_back(arg);
      continue;
    }
    if (arg == "--") {
      optionsEnded = true;
      continue;
    }
    if (arg == "--help" || arg == "-h") return ExportCommand{ExportAction::Help, {}};
    if (arg == "--version") return ExportCommand{ExportAction::Version, {}};
    const auto setting = ConsumeSettingOption(args, a, options);
    if (!setting) return Unexpected{setting.error()};
    if (*setting == OptionUse::Taken) continue;
    if (arg == "--axes") {
      options.axes = true;
      continue;
    }
    const std::string name = LongOptionName(arg);
    if (name != "graphics" && name != "table" && name != "size" && name != "figure-width")
      return WrongUsage("unknown option '" + arg + "'");
    const auto value = OptionValue(args, a, name);
    if (!value) return Unexpected{value.error()};
    if (auto applied = ApplyFigureOption(name, *value, options); !applied) return Unexpected{applied.error()};
  }
  if (options.paths.empty()) return WrongUsage("no data file or folder given");
  if (options.WantsFigures() && options.paths.size() != 1) {
    return WrongUsage("--graphics and --table draw one data file; give exactly one");
  }
  if (options.axes && options.graphicsFile.empty())
    return WrongUsage("--axes writes the scales of the --graphics figure; give --graphics too");
  if (options.figureWidthMm && !options.axes)
    return WrongUsage("--figure-width sizes the --graphics figure with --axes; give both");
  if (options.figureWidthMm && options.size)
    return WrongUsage("--size and --figure-width both size the figure; give one");
  return command;
}

} // namespace sinkview
