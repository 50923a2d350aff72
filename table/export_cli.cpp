// sinkview-export: writes the export file of every data file of a study,
// exactly as the table window's "WRITE FILE ( *.NUM)" would, without a window;
// or figures of one data file, drawn as the windows draw them.

#include <algorithm>
#include <atomic>
#include <cctype>
#include <charconv>
#include <cmath>
#include <cstdint>
#include <filesystem>
#include <iostream>
#include <map>
#include <optional>
#include <set>
#include <string>
#include <string_view>
#include <thread>
#include <unistd.h>
#include <vector>

#include <QGuiApplication>
#include <QSize>

#include "app/program_paths.h"
#include "graphics/figure.h"
#include "model/preparation.h"
#include "model/reader.h"
#include "model/reader_text.h"
#include "model/settings.h"
#include "table/export_file.h"
#include "table/finite_values.h"

namespace fs = std::filesystem;
using namespace sinkview;

namespace {

constexpr int kAllWritten = 0, kSomeRejected = 1, kUsageError = 2;
constexpr std::string_view kProgram = "sinkview-export";

constexpr std::string_view kHelp =
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

struct FigureSize {
  int width = 0, height = 0;
};

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

struct Settings {
  std::int16_t referencePoint = 1;   // stem shoulder
  std::int16_t trochanterChoice = 0; // major
  float timeLimitDays = 1825;
  std::optional<fs::path> outputDir;
  std::vector<std::string> paths;
  bool recursive = false;
  // Figures.
  std::string graphicsFile, tableFile;
  std::optional<FigureSize> size;
  float zoomRange = 3;
  std::int16_t showRawData = 0;
  bool WantsFigures() const { return !graphicsFile.empty() || !tableFile.empty(); }
};

enum class Action { Run, Help, Version, Fail };

// Whether the name ends in one of the extensions, in any case.
bool HasExtension(const fs::path& path, const std::vector<std::string>& extensions) {
  std::string extension = path.extension().string();
  std::transform(extension.begin(), extension.end(), extension.begin(),
                 [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
  return std::find(extensions.begin(), extensions.end(), extension) != extensions.end();
}

// ".vok" alone is a hidden file without an extension, not a data file.
bool IsDataFileName(const fs::path& path) { return HasExtension(path, {".vok"}); }

// Ends in .vok, in any case (".vok" alone too).
bool EndsInVok(const std::string& name) {
  if (name.size() < 4) return false;
  std::string extension = name.substr(name.size() - 4);
  std::transform(extension.begin(), extension.end(), extension.begin(),
                 [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
  return extension == ".vok";
}

void UsageError(const std::string& message) {
  std::cerr << kProgram << ": " << message << "\nTry '" << kProgram << " --help'.\n";
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

bool ApplyOption(const std::string& name, const std::string& value, Settings& settings) {
  if (name == "reference-point" && (value == "head" || value == "shoulder")) {
    settings.referencePoint = value == "head" ? 0 : 1;
  } else if (name == "trochanter" && (value == "major" || value == "minor")) {
    settings.trochanterChoice = value == "minor" ? 1 : 0;
  } else if (name == "time-limit") {
    const std::optional<float> days = TimeLimitDays(value);
    if (!days) {
      UsageError("--time-limit wants a number of months of 0 or more, not '" + value + "'");
      return false;
    }
    settings.timeLimitDays = *days;
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
    settings.zoomRange = static_cast<float>(*zoom);
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

Action ParseArguments(int argc, char** argv, Settings& settings) {
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
    if (arg == "--help" || arg == "-h") return Action::Help;
    if (arg == "--version") return Action::Version;
    if (arg == "--raw-data") {
      settings.showRawData = 1;
      continue;
    }
    if (arg == "-r" || arg == "--recursive") {
      settings.recursive = true;
      continue;
    }
    if (arg.rfind("--", 0) != 0) {
      UsageError("unknown option '" + arg + "'");
      return Action::Fail;
    }
    const std::size_t equals = arg.find('=');
    const std::string name = equals == std::string::npos ? arg.substr(2) : arg.substr(2, equals - 2);
    static const std::vector<std::string> withValue = {
        "reference-point", "trochanter", "time-limit", "output-dir", "graphics", "table", "size", "zoom"};
    if (std::find(withValue.begin(), withValue.end(), name) == withValue.end()) {
      UsageError("unknown option '" + arg + "'");
      return Action::Fail;
    }
    std::string value;
    if (equals != std::string::npos) {
      value = arg.substr(equals + 1);
    } else if (a + 1 < argc) {
      value = argv[++a];
    } else {
      UsageError("--" + name + " wants a value");
      return Action::Fail;
    }
    if (!ApplyOption(name, value, settings)) return Action::Fail;
  }
  if (settings.paths.empty()) {
    UsageError("no data file or folder given");
    return Action::Fail;
  }
  if (settings.WantsFigures() && settings.paths.size() != 1) {
    UsageError("--graphics and --table draw one data file; give exactly one");
    return Action::Fail;
  }
  return Action::Run;
}

struct Tally {
  int written = 0;
  int rejected = 0;
  int unwritten = 0; // read and prepared, but the export could not be written
  int skipped = 0;   // folder entries with a data file's name that are no regular file
};

void Reject(Tally& tally, const std::string& message) {
  std::cerr << kProgram << ": " << message << '\n';
  ++tally.rejected;
}

// Adds the data files of a folder (and of its sub-folders, not following
// links to folders, if asked); a folder that cannot be read is reported and
// the others are still searched.
void AddFolderFiles(const fs::path& folder, bool recursive, std::vector<fs::path>& files, Tally& tally) {
  std::error_code error;
  std::vector<fs::path> subfolders;
  for (fs::directory_iterator it(folder, error), end; !error && it != end; it.increment(error)) {
    std::error_code typeError;
    if (recursive && it->is_directory(typeError) && !it->is_symlink(typeError)) {
      subfolders.push_back(it->path());
    } else if (IsDataFileName(it->path())) {
      // Pipes, devices, folders, dangling links and link loops are passed
      // over and counted; a pipe would block the reader.
      if (it->is_regular_file(typeError)) {
        files.push_back(it->path());
      } else {
        ++tally.skipped;
      }
    }
  }
  if (error)
    Reject(tally, ShownFileName(folder.string()) + ": the folder cannot be read (" + error.message() + ")");
  for (const fs::path& subfolder : subfolders) AddFolderFiles(subfolder, recursive, files, tally);
}

// The data files a PATH names, in name order; a PATH that names none is
// reported and counted as rejected.
std::vector<fs::path> DataFiles(const std::string& path, bool recursive, Tally& tally) {
  std::error_code error;
  std::vector<fs::path> files;
  const std::string shown = ShownFileName(path);
  const fs::file_status status = fs::status(path, error);
  if (fs::is_directory(status)) {
    const int rejectedBefore = tally.rejected;
    AddFolderFiles(path, recursive, files, tally);
    std::sort(files.begin(), files.end());
    if (files.empty() && tally.rejected == rejectedBefore) {
      Reject(tally, shown + (recursive ? ": neither the folder nor its sub-folders hold a data file (*.vok)"
                                       : ": the folder holds no data file (*.vok)"));
    }
  } else if (error && error != std::errc::no_such_file_or_directory) {
    // A link loop, a folder without access on the way: say which.
    Reject(tally, shown + ": " + error.message());
  } else if (!fs::exists(status)) {
    Reject(tally, shown + ": no such file or folder");
  } else if (!IsDataFileName(path)) {
    // Its export name would be made from a name that is not a data file's,
    // and could even be the file itself.
    Reject(tally, shown + (EndsInVok(fs::path(path).filename().string())
                               ? ": not a data file (the name has nothing before .vok)"
                               : ": not a data file (the name does not end in .vok)"));
  } else {
    files.push_back(path);
  }
  return files;
}

// Two data files of one name in different folders would write one export
// file when --output-dir gathers them; the second is refused, not lost.
using WrittenBy = std::map<fs::path, std::string>;

// Where the export of a data file goes: beside it (its name with the
// extension .num, as the reader names it) or into the output folder.
fs::path ExportTarget(const fs::path& file, const Settings& settings) {
  fs::path target = NumFileNameFor(file.string());
  if (settings.outputDir) target = *settings.outputDir / target.filename();
  return target;
}

// An empty model holding the settings the command line chose.
MeasurementModel WithSettings(const Settings& settings) {
  MeasurementModel m;
  m.ReferencePoint = settings.referencePoint;
  m.TrochanterChoice = settings.trochanterChoice;
  m.TimeLimitDays = settings.timeLimitDays;
  m.ZoomRange = settings.zoomRange;
  m.ShowRawData = settings.showRawData;
  return m;
}

fs::path Key(const fs::path& path) {
  std::error_code error;
  return fs::absolute(path, error).lexically_normal();
}

// What became of one data file: written (no message), rejected, or read
// but its export not written.
struct Result {
  std::string message;
  bool notWritten = false;
};

// Reads, prepares and exports one data file.
Result ExportOne(const fs::path& file, const Settings& settings, const fs::path& target) {
  const std::string name = file.string();
  const std::string shown = ShownFileName(name);
  MeasurementModel m = WithSettings(settings);
  const ReadOutcome read = ReadDataFile(name, m);
  if (!read.ok()) {
    const std::string& message = read.error.message;
    return {message.find(shown) == std::string::npos ? shown + ": " + message : message};
  }
  PrepareSeries(m);
  if (std::string problem = NotFiniteProblem(m, name); !problem.empty()) return {std::move(problem)};
  const std::string failure = WriteExportFile(m, target.string(), FlushToDisk::Later);
  if (failure.empty()) return {};
  return {shown + ": " + failure, true};
}

// Exports the files in order of the list. Files whose export file no other
// file of the list could claim are done side by side on every core; those
// that share one are done one after the other, the first readable one
// writing it and the others refused.
void ExportAll(const std::vector<fs::path>& files, const Settings& settings, Tally& tally) {
  std::vector<fs::path> targets, keys;
  std::map<fs::path, int> claims;
  for (const fs::path& file : files) {
    targets.push_back(ExportTarget(file, settings));
    keys.push_back(Key(targets.back()));
    ++claims[keys.back()];
  }
  std::vector<char> alone(files.size());
  for (std::size_t i = 0; i < files.size(); ++i) alone[i] = claims[keys[i]] == 1;
  std::vector<std::optional<Result>> results(files.size());
  std::atomic<std::size_t> next = 0;
  const auto worker = [&] {
    for (std::size_t i = next++; i < files.size(); i = next++) {
      if (alone[i]) results[i] = ExportOne(files[i], settings, targets[i]);
    }
  };
  const unsigned cores = std::clamp(std::thread::hardware_concurrency(), 1U, 8U);
  std::vector<std::thread> workers;
  for (unsigned c = 1; c < cores; ++c) workers.emplace_back(worker);
  worker();
  for (std::thread& w : workers) w.join();

  WrittenBy writtenBy;
  for (std::size_t i = 0; i < files.size(); ++i) {
    Result result;
    if (results[i]) {
      result = std::move(*results[i]);
    } else if (const auto earlier = writtenBy.find(keys[i]); earlier != writtenBy.end()) {
      result.message = ShownFileName(files[i].string()) + ": its export " +
                       ShownFileName(targets[i].string()) + " would replace that of " +
                       ShownFileName(earlier->second);
    } else {
      result = ExportOne(files[i], settings, targets[i]);
      if (result.message.empty()) writtenBy.emplace(keys[i], files[i].string());
    }
    if (result.message.empty()) {
      ++tally.written;
    } else if (result.notWritten) {
      std::cerr << kProgram << ": " << result.message << '\n';
      ++tally.unwritten;
    } else {
      Reject(tally, result.message);
    }
  }
}

// Draws the figures of one data file with the same reader and preparation
// as its export.
int WriteFigures(const Settings& settings, const std::string& programDirectory) {
  const std::string& name = settings.paths.front();
  const int wanted = settings.graphicsFile.empty() || settings.tableFile.empty() ? 1 : 2;
  const auto summary = [](int written, int failed) {
    std::cout << written << (written == 1 ? " figure" : " figures") << " written, " << failed << " failed\n";
  };
  MeasurementModel m = WithSettings(settings);
  std::error_code error;
  std::string problem;
  if (fs::is_directory(name, error)) {
    problem = name + ": a folder; --graphics and --table draw one data file";
  } else if (const ReadOutcome read = ReadDataFile(name, m); !read.ok()) {
    problem = read.error.message;
  }
  if (!problem.empty()) {
    std::cerr << kProgram << ": " << problem << '\n';
    summary(0, wanted);
    return kSomeRejected;
  }
  PrepareSeries(m);
  if (const std::string problem = NotFiniteProblem(m, name); !problem.empty()) {
    std::cerr << kProgram << ": " << problem << '\n';
    return kSomeRejected;
  }
  int failed = 0, written = 0;
  for (const auto& [file, figure] :
       {std::pair{settings.graphicsFile, Figure::Graphics}, std::pair{settings.tableFile, Figure::Table}}) {
    if (file.empty()) continue;
    const QSize size = settings.size
                           ? QSize(settings.size->width, settings.size->height)
                           : (figure == Figure::Graphics ? GraphicsDesignSize() : TableDesignSize());
    // Each figure from the prepared series: the distance diagrams re-base
    // theirs in place, which the table must not see.
    MeasurementModel prepared = m;
    const std::string failure = WriteFigure(figure, file, size, prepared, programDirectory);
    if (failure.empty()) {
      ++written;
    } else {
      std::cerr << kProgram << ": " << failure << '\n';
      ++failed;
    }
  }
  summary(written, failed);
  return failed == 0 ? kAllWritten : kSomeRejected;
}

std::string Count(int n, std::string_view what) {
  return std::to_string(n) + " " + std::string(what) + (n == 1 ? "" : "s");
}

} // namespace

int main(int argc, char** argv) {
  Settings settings;
  switch (ParseArguments(argc, argv, settings)) {
  case Action::Help:
    std::cout << kHelp;
    return kAllWritten;
  case Action::Version:
    std::cout << kProgram << ' ' << SINKVIEW_VERSION << '\n';
    return kAllWritten;
  case Action::Fail:
    return kUsageError;
  case Action::Run:
    break;
  }
  if (settings.WantsFigures()) {
    // Drawing text needs a GUI application; no display is needed.
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    // Without a desktop session Qt complains of a missing runtime folder,
    // which a program that only draws into files never uses.
    qInstallMessageHandler([](QtMsgType type, const QMessageLogContext&, const QString& message) {
      if (!message.startsWith(QLatin1String("QStandardPaths:"))) {
        std::cerr << (type == QtDebugMsg || type == QtInfoMsg ? "" : "sinkview-export: ")
                  << message.toLocal8Bit().constData() << '\n';
      }
    });
    QGuiApplication app(argc, argv);
    const ProgramPaths paths = ResolveProgramPaths(
        QCoreApplication::applicationDirPath().toLocal8Bit().toStdString(), std::string());
    if (!settings.graphicsFile.empty() && !fs::exists(paths.ProgramDirectory + "clskonli.sys")) {
      std::cerr << kProgram << ": warning: no sketch files in " << paths.ProgramDirectory
                << "; the reference-system box names the missing files\n";
    }
    return WriteFigures(settings, paths.ProgramDirectory);
  }
  Tally tally;
  std::vector<fs::path> files;
  std::set<fs::path> seen;
  for (const std::string& path : settings.paths) {
    for (const fs::path& file : DataFiles(path, settings.recursive, tally)) {
      if (seen.insert(Key(file)).second) files.push_back(file); // a file named twice is done once
    }
  }
  ExportAll(files, settings, tally);
  // The exports reach the disk before the summary says they were written.
  ::sync();
  // Files that could not be written were not rejected: they are counted apart.
  std::cout << Count(tally.written, "file") << " written, " << Count(tally.rejected, "file") << " rejected";
  if (tally.unwritten > 0) std::cout << ", " << tally.unwritten << " could not be written";
  if (tally.skipped == 1) std::cout << ", 1 entry skipped: not a regular file";
  if (tally.skipped > 1) std::cout << ", " << tally.skipped << " entries skipped: not regular files";
  std::cout << '\n';
  return tally.rejected == 0 && tally.unwritten == 0 ? kAllWritten : kSomeRejected;
}
