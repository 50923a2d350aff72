#include "table/export_options.h"

#include <algorithm>
#include <cctype>
#include <charconv>
#include <cmath>
#include <filesystem>
#include <iostream>

#include "model/data_files.h"
#include "model/settings.h"

namespace sinkview {

namespace fs = std::filesystem;

const std::string_view kExportHelp =
    R"help(Usage: sinkview-export [OPTION]... PATH...
Write the export file (*.num) of every measurement data file (*.vok) that a
PATH names, as the table window's "WRITE FILE ( *.NUM)" writes it with the
same settings; or draw the figures of one data file for reports.

A PATH is a data file or a folder, whose data files are all exported; names
are matched without regard to case.

Export files:
  -r, --recursive            search the sub-folders of the folders as well
      --output-dir=DIR       write the export files into DIR, which must
                             exist, instead of beside the data files
      --reference-point=POINT
                             relate the subsidence to the head center (head)
                             or to the stem shoulder (shoulder, the default)
      --trochanter=WHICH     relate the subsidence to the major (the default)
                             or to the minor trochanter
      --time-limit=MONTHS    largest time between two comparable radiographs
                             (default 60)

Figures of one data file, instead of its export file:
      --graphics=FILE        the graphics window's diagrams as FILE (.png,
                             .pdf or .svg; PDF and SVG as vectors)
      --table=FILE           the table as FILE (.png or .pdf)
      --size=WxH             the figure's size in pixels (default: the
                             window's design size)
      --zoom=MM              margin above and below the single-series
                             diagrams in millimetres (default 3)
      --raw-data             also draw the raw subsidence values

      --help                 display this help and exit
      --version              output version information and exit

Exit status:
  0  every data file was exported, or every figure written;
  1  a file was rejected or could not be written;
  2  the command line is wrong.
)help";

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

void UsageError(const std::string& message) {
  std::cerr << kExportProgram << ": " << message << "\nTry '" << kExportProgram << " --help'.\n";
}

std::optional<double> NonNegativeNumber(std::string_view text) {
  double value = 0;
  const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
  if (error != std::errc() || end != text.data() + text.size() || !std::isfinite(value) || value < 0 ||
      value > 1e6) {
    return std::nullopt;
  }
  return value;
}

std::optional<float> TimeLimitDays(std::string_view months) {
  const std::optional<double> value = NonNegativeNumber(months);
  if (!value) return std::nullopt;
  return TimeLimitDaysForMonths(*value);
}

bool ApplyOption(const std::string& name, const std::string& value, ExportSettings& settings) {
  if (name == "reference-point" && (value == "head" || value == "shoulder")) {
    settings.model.ReferencePoint = value == "head" ? Reference::HeadCenter : Reference::StemShoulder;
  } else if (name == "trochanter" && (value == "major" || value == "minor")) {
    settings.model.TrochanterChoice = value == "minor" ? Trochanter::Minor : Trochanter::Major;
  } else if (name == "time-limit") {
    const std::optional<float> days = TimeLimitDays(value);
    if (!days) {
      UsageError("--time-limit wants a number of months of 0 or more, not '" + value + "'");
      return false;
    }
    settings.model.TimeLimitDays = *days;
  } else if (name == "graphics" || name == "table") {
    const bool graphics = name == "graphics";
    if (!HasExtension(value, graphics ? std::vector<std::string>{".png", ".pdf", ".svg"}
                                      : std::vector<std::string>{".png", ".pdf"})) {
      UsageError("--" + name + ": '" + value + "' must end in " +
                 (graphics ? ".png, .pdf or .svg" : ".png or .pdf"));
      return false;
    }
    (graphics ? settings.graphicsFile : settings.tableFile) = value;
  } else if (name == "size") {
    settings.size = ParseSize(value);
    if (!settings.size) {
      UsageError("--size wants WIDTHxHEIGHT in pixels, each 16 to 20000, not '" + value + "'");
      return false;
    }
  } else if (name == "zoom") {
    const std::optional<double> zoom = NonNegativeNumber(value);
    if (!zoom) {
      UsageError("--zoom wants a number of millimetres of 0 or more, not '" + value + "'");
      return false;
    }
    settings.model.ZoomRange = static_cast<float>(*zoom);
  } else if (name == "output-dir") {
    std::error_code error;
    if (!fs::exists(value, error)) {
      UsageError("--output-dir: the folder '" + value + "' does not exist");
      return false;
    }
    if (!fs::is_directory(value, error)) {
      UsageError("--output-dir: '" + value + "' is not a folder");
      return false;
    }
    settings.outputDir = value;
  } else {
    UsageError("--" + name + " does not take '" + value + "'");
    return false;
  }
  return true;
}

} // namespace

ExportAction ParseExportArguments(int argc, char** argv, ExportSettings& settings) {
  bool optionsEnded = false;
  for (int a = 1; a < argc; ++a) {
    const std::string arg = argv[a];
    if (optionsEnded || arg.size() < 2 || arg[0] != '-') {
      settings.paths.push_back(arg);
      continue;
    }
    if (arg == "--") {
      optionsEnded = true;
      continue;
    }
    if (arg == "--help" || arg == "-h") return ExportAction::Help;
    if (arg == "--version") return ExportAction::Version;
    if (arg == "--raw-data") {
      settings.model.ShowRawData = RawData::Shown;
      continue;
    }
    if (arg == "-r" || arg == "--recursive") {
      settings.recursive = true;
      continue;
    }
    if (arg.rfind("--", 0) != 0) {
      UsageError("unknown option '" + arg + "'");
      return ExportAction::Fail;
    }
    const std::size_t equals = arg.find('=');
    const std::string name = equals == std::string::npos ? arg.substr(2) : arg.substr(2, equals - 2);
    static const std::vector<std::string> withValue = {
        "reference-point", "trochanter", "time-limit", "output-dir", "graphics", "table", "size", "zoom"};
    if (std::find(withValue.begin(), withValue.end(), name) == withValue.end()) {
      UsageError("unknown option '" + arg + "'");
      return ExportAction::Fail;
    }
    std::string value;
    if (equals != std::string::npos) {
      value = arg.substr(equals + 1);
    } else if (a + 1 < argc) {
      value = argv[++a];
    } else {
      UsageError("--" + name + " wants a value");
      return ExportAction::Fail;
    }
    if (!ApplyOption(name, value, settings)) return ExportAction::Fail;
  }
  if (settings.paths.empty()) {
    UsageError("no data file or folder given");
    return ExportAction::Fail;
  }
  if (settings.WantsFigures() && settings.paths.size() != 1) {
    UsageError("--graphics and --table draw one data file; give exactly one");
    return ExportAction::Fail;
  }
  return ExportAction::Run;
}

} // namespace sinkview
