#include "tools/study/study_options.h"

#include <algorithm>

#include "model/data_files.h"

namespace sinkview {

std::string StudyHelp() {
  return std::string(R"help(Usage: sinkview-study [OPTION]... FOLDER...
Read every measurement data file (*.vok) of the FOLDERs as the windows read
and prepare it, and write for statistics packages:
  summary.csv   one row per hip: changes at the last radiograph and at the
                primary visit, its band, counts, dates, the threshold flag;
  visits.csv    one row per hip and visit: the value or why there is none;
  flow.csv      the hips of each group by what became of them at each visit;
  cohort.csv    each group's statistics at each visit;
  bands.csv     each group's hips by band at the primary visit;
  long.csv      one row per hip and radiograph;
  rejected.csv  the files that could not be read, and why, and those with the
                patient, side and radiograph dates of a file before them;
  dictionary.csv  the unit and meaning of every column.
CSV with a header row, "." as the decimal point, UTF-8, ISO 8601 dates.

)help") + std::string(kRecursiveHelp) +
         R"help(      --follow-up=LIST       follow-up times in months, separated by commas
                             (default 3,6,12,24,36,48,60,84,120)
      --threshold=MM         flag a change at the primary visit of at least MM
                             millimetres (default 1.5, or the protocol's)
      --protocol=FILE        follow the study's protocol in FILE (TOML; by
                             default study.toml of the one FOLDER, if any);
                             the setting options below override its settings
      --pseudonymise         identify the patients only by the patients
                             file's 'patient' column, which every row must fill
      --output-dir=DIR       write the CSV files into DIR, which must exist
                             (default: the current folder)
)help" + std::string(kSettingHelp) +
         R"help(      --report=FILE.pdf      also write the study report
      --figure=FILE          also draw the cohort figure (.png, .svg or .pdf)
)help" + std::string(kDrawingSettingHelp) +
         R"help(
      --help                 display this help and exit
      --version              output version information and exit

Exit status:
  0  every data file was read and every output written;
  1  a file was rejected or an output could not be written;
  2  the command line is wrong.
)help";
}

namespace {

// Rising, each time once, whatever order they were typed in.
std::optional<std::vector<double>> FollowUpTimes(std::string_view list) {
  std::vector<double> times;
  while (true) {
    const std::size_t comma = list.find(',');
    const std::optional<double> months = OptionNumber(list.substr(0, comma));
    if (!months || *months <= 0 || *months > 1200) return std::nullopt;
    times.push_back(*months);
    if (comma == std::string_view::npos) break;
    list.remove_prefix(comma + 1);
  }
  std::sort(times.begin(), times.end());
  times.erase(std::unique(times.begin(), times.end()), times.end());
  return times;
}

// Applies an option of the study's own.
Expected<void, Failure> Apply(const std::string& name, const std::string& value, StudyCommand& command) {
  if (name == "follow-up") {
    const auto times = FollowUpTimes(value);
    if (!times)
      return WrongUsage("--follow-up wants months above 0 separated by commas, not '" + value + "'");
    command.options.followUpMonths = *times;
  } else if (name == "threshold") {
    const std::optional<double> mm = OptionNumber(value);
    if (!mm || *mm < 0 || *mm > 1000)
      return WrongUsage("--threshold wants a number of millimetres of 0 or more, not '" + value + "'");
    command.options.thresholdMm = *mm;
    command.thresholdGiven = true;
  } else if (name == "protocol") {
    if (value.empty()) return WrongUsage("--protocol wants a file");
    command.protocolFile = value;
  } else if (name == "report") {
    if (!HasExtension(value, {".pdf"})) return WrongUsage("--report: '" + value + "' must end in .pdf");
    command.reportFile = value;
  } else if (name == "figure") {
    if (!HasExtension(value, {".png", ".svg", ".pdf"}))
      return WrongUsage("--figure: '" + value + "' must end in .png, .svg or .pdf");
    command.figureFile = value;
  } else {
    return WrongUsage("unknown option '--" + name + "'");
  }
  return {};
}

const std::vector<std::string> kWithValue = {"follow-up", "threshold", "report", "figure", "protocol"};

} // namespace

Expected<StudyCommand, Failure> ParseStudyArguments(const std::vector<std::string>& arguments) {
  StudyCommand command;
  SettingOptions shared;
  bool optionsEnded = false;
  for (std::size_t a = 0; a < arguments.size(); ++a) {
    const std::string& arg = arguments[a];
    if (optionsEnded || arg.size() < 2 || arg[0] != '-') {
      command.folders.push_back(arg);
      continue;
    }
    if (arg == "--") {
      optionsEnded = true;
      continue;
    }
    if (arg == "--help" || arg == "-h" || arg == "--version") {
      command.action = arg == "--version" ? StudyAction::Version : StudyAction::Help;
      return command;
    }
    if (arg == "--pseudonymise") {
      command.pseudonymise = true;
      continue;
    }
    const std::size_t first = a;
    const auto setting = ConsumeSettingOption(arguments, a, shared);
    if (!setting) return Unexpected{setting.error()};
    if (*setting == OptionUse::Taken) {
      command.settingArguments.insert(command.settingArguments.end(), arguments.begin() + first,
                                      arguments.begin() + a + 1);
      continue;
    }
    const std::string name = LongOptionName(arg);
    if (std::find(kWithValue.begin(), kWithValue.end(), name) == kWithValue.end())
      return WrongUsage("unknown option '" + arg + "'");
    const auto value = OptionValue(arguments, a, name);
    if (!value) return Unexpected{value.error()};
    if (auto applied = Apply(name, *value, command); !applied) return Unexpected{applied.error()};
  }
  if (command.folders.empty()) return WrongUsage("no folder given");
  command.options.settings = shared.settings;
  command.options.recursive = shared.recursive;
  command.outputDir = shared.outputDir.value_or(".");
  return command;
}

} // namespace sinkview
