#include "studyrun/study_options.h"

#include <algorithm>

#include "model/data_files.h"
#include "model/figure_files.h"

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
  bands.csv     each group's hips by band at the primary visit, and by
                migration pattern where there is a detection limit;
  precision.csv, pairs.csv  with repeat readings: the agreement of the two
                readings per series, and every pair of values;
  long.csv      one row per hip and radiograph;
  rejected.csv  the files that could not be read, and why, and those with the
                patient, side and radiograph dates of a file before them;
  dictionary.csv  the unit and meaning of every column;
  comparison.csv  each group against the first at each visit (Welch);
  analysis.R    the mixed model, which R fits when it is installed, giving
                model.csv and model_fit.csv; to rerun it there:
                Rscript --vanilla analysis.R
CSV with a header row, "." as the decimal point, UTF-8, ISO 8601 dates.

)help") + std::string(kRecursiveHelp) +
         R"help(      --threshold=MM         flag a change at the primary visit of at least MM
                             millimetres (default 1.5, or the protocol's)
      --protocol=FILE        follow the study's protocol in FILE (TOML; by
                             default study.toml of the one FOLDER, if any);
                             the setting options below override its settings
      --repeat-readings=DIR  second readings of some hips, in a folder inside
                             the FOLDER, each under the path its first reading
                             has in the FOLDER (default: the protocol's
                             repeat_readings)
      --pseudonymise         identify the patients only by the patients
                             file's 'patient' column, which every row must
                             fill: a hip is P017-L, a second one of that side
                             P017-L2 (in order of surgery); no folder is named;
                             covariates the protocol does not declare are left
                             out
      --output-dir=DIR       write the CSV files into DIR, which must exist
                             (default: the current folder)
      --no-model             write analysis.R but do not run R
)help" + std::string(kSettingHelp) +
         R"help(      --report=FILE.pdf      also write the study report (PDF/A-1b, for
                             archiving)
      --figure=FILE          also draw the cohort figure (.png, .tif or .tiff
                             at 600 dpi, .svg or .pdf)
      --model-figure=FILE    also draw the model's means per group and visit
                             with their 95 % intervals (as --figure); needs
                             the model, so not with --no-model
      --survival-figure=FILE also draw the cumulative incidence of revision
                             per group with its 95 % band, 1 - Kaplan-Meier
                             dashed and the hips at risk at each year (as
                             --figure); needs R, so not with --no-model
      --workbook=FILE.xlsx   also write every table as a sheet of one workbook,
                             with numbers, dates and texts as cells of their
                             kind, for spreadsheets in any language
      --bland-altman=FILE    with repeat readings, also draw their Bland-Altman
                             plot (.png at 300 dpi, .tif or .tiff at 600
                             dpi, .svg or .pdf), a panel per series
      --figure-width=MM      the figures' width on paper: 85 (one column) or
                             170 (two columns, the default); the Bland-Altman
                             panels stand one above the other in one column,
                             side by side in two; a PNG is drawn at 300 dpi,
                             a TIFF at 600 dpi
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

// Applies an option of the study's own.
// Where the figure an option names goes; nullptr for an option of no figure.
std::string* FigureFileOf(const std::string& name, StudyCommand& command) {
  if (name == "figure") return &command.figureFile;
  if (name == "model-figure") return &command.modelFigureFile;
  if (name == "survival-figure") return &command.survivalFigureFile;
  if (name == "bland-altman") return &command.blandAltmanFile;
  return nullptr;
}

Expected<void, Failure> Apply(const std::string& name, const std::string& value, StudyCommand& command) {
  if (name == "threshold") {
    const std::optional<double> mm = OptionNumber(value);
    if (!mm || *mm < 0 || *mm > 1000)
      return WrongUsage("--threshold wants a number of millimetres of 0 or more, not '" + value + "'");
    command.options.thresholdMm = *mm;
    command.thresholdGiven = true;
  } else if (name == "protocol") {
    if (value.empty()) return WrongUsage("--protocol wants a file");
    command.protocolFile = value;
  } else if (name == "repeat-readings") {
    if (value.empty()) return WrongUsage("--repeat-readings wants a folder");
    command.repeatReadings = value;
  } else if (name == "report") {
    if (!HasExtension(value, {".pdf"})) return WrongUsage("--report: '" + value + "' must end in .pdf");
    command.reportFile = value;
  } else if (std::string* figure = FigureFileOf(name, command)) {
    if (!FigureFormatOf(value))
      return WrongUsage("--" + name + ": '" + value + "' must end in " + FigureEndings());
    *figure = value;
  } else if (name == "workbook") {
    if (!HasExtension(value, {".xlsx"})) return WrongUsage("--workbook: '" + value + "' must end in .xlsx");
    command.workbookFile = value;
  } else if (name == "figure-width") {
    const std::optional<double> mm = OptionNumber(value);
    if (!mm || (*mm != kOneColumnMm && *mm != kTwoColumnsMm))
      return WrongUsage("--figure-width wants 85 (one column) or 170 (two columns), not '" + value + "'");
    command.figureWidthMm = *mm;
  } else {
    return WrongUsage("unknown option '--" + name + "'");
  }
  return {};
}

const std::vector<std::string> kWithValue = {
    "threshold", "report",          "figure",       "figure-width", "protocol",
    "workbook",  "repeat-readings", "bland-altman", "model-figure", "survival-figure"};

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
    if (arg == "--no-model") {
      command.runModel = false;
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
    if (name == "follow-up")
      return WrongUsage("--follow-up is no longer an option: the visits come from the protocol's [[visit]] "
                        "tables in study.toml");
    if (std::find(kWithValue.begin(), kWithValue.end(), name) == kWithValue.end())
      return WrongUsage("unknown option '" + arg + "'");
    const auto value = OptionValue(arguments, a, name);
    if (!value) return Unexpected{value.error()};
    if (auto applied = Apply(name, *value, command); !applied) return Unexpected{applied.error()};
  }
  if (command.folders.empty()) return WrongUsage("no folder given");
  if (!command.runModel && !command.modelFigureFile.empty())
    return WrongUsage("--model-figure draws the model, which --no-model leaves unfitted");
  if (!command.runModel && !command.survivalFigureFile.empty())
    return WrongUsage("--survival-figure draws R's survival estimates, which --no-model leaves unmade");
  command.options.settings = shared.settings;
  command.options.recursive = shared.recursive;
  command.outputDir = shared.outputDir.value_or(".");
  return command;
}

} // namespace sinkview
