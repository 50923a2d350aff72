#include "tools/export/batch_export.h"

#include <filesystem>
#include <optional>
#include <unordered_map>
#include <unordered_set>

#include "base/reader_text.h"
#include "base/work_pool.h"
#include "model/data_files.h"
#include "model/prepared_series.h"
#include "model/reader.h"
#include "table/export_file.h"

namespace sinkview {

namespace fs = std::filesystem;

namespace {

void Reject(ExportTally& tally, const Report& report, const std::string& message) {
  report(message);
  ++tally.rejected;
}

// Where the exports go, and the keys that tell whether two paths are one
// file; the working folder is asked once, not for every file, and the
// output folder opened once, so that every export lands in the folder the
// run began with.
class Targets {
public:
  Targets(const std::optional<std::string>& outputDir) {
    std::error_code error;
    workingFolder_ = fs::current_path(error);
    if (outputDir) {
      outputDir_ = *outputDir;
      outputKey_ = Key(*outputDir_);
      if (outputKey_.empty() || outputKey_.back() != '/') outputKey_ += '/';
      outputFolder_.emplace(OutputFolder::Open(*outputDir));
    }
  }

  // The output folder as opened, or nothing when the exports go beside
  // their data files.
  const std::optional<Expected<OutputFolder, Failure>>& OutputFolderOpened() const { return outputFolder_; }

  // Beside the data file (its name with the extension .num, as the reader
  // names it) or in the output folder.
  std::string For(const std::string& file) const {
    std::string target = NumFileNameFor(file);
    if (outputDir_) target = (*outputDir_ / fs::path(target).filename()).native();
    return target;
  }
  std::string KeyFor(const std::string& file) const {
    if (!outputDir_) return Key(For(file));
    return outputKey_ + fs::path(NumFileNameFor(file)).filename().native();
  }
  std::string Key(const fs::path& path) const { return PathKey(path.native(), workingFolder_.native()); }

private:
  fs::path workingFolder_;
  std::optional<fs::path> outputDir_;
  std::string outputKey_;
  std::optional<Expected<OutputFolder, Failure>> outputFolder_;
};

// What became of one data file: written (no message), rejected, or read
// but its export not written.
struct Result {
  std::string message;
  bool notWritten = false;
};

// Reads, prepares and exports one data file, into the output folder when
// there is one.
Result ExportOne(const std::string& name, const Settings& settings, const Targets& targets) {
  const auto loaded = LoadPreparedFile(name, settings);
  if (!loaded) return {loaded.error().message};
  const std::string target = targets.For(name);
  const auto& folder = targets.OutputFolderOpened();
  const Expected<void, Failure> written =
      folder ? WriteExportFile(*loaded, **folder, fs::path(target).filename().native(), FlushToDisk::Later)
             : WriteExportFile(*loaded, target, FlushToDisk::Later);
  if (written) return {};
  return {ShownFileName(name) + ": " + written.error().message, true};
}

// Exports the files in order of the list. Files whose export file no other
// file of the list could claim are done side by side on every core; those
// that share one are done one after the other as they are handed on in
// order, the first readable one writing it and the others refused.
void ExportAll(const std::vector<std::string>& files, const Settings& settings, const Targets& targets,
               ExportTally& tally, const Report& report) {
  std::unordered_map<std::string, int> claims;
  claims.reserve(files.size());
  for (const std::string& file : files) ++claims[targets.KeyFor(file)];
  std::vector<char> alone(files.size());
  for (std::size_t i = 0; i < files.size(); ++i) alone[i] = claims[targets.KeyFor(files[i])] == 1;
  claims = {};
  const auto exportAlone = [&](std::size_t i) -> std::optional<Result> {
    if (!alone[i]) return std::nullopt;
    return ExportOne(files[i], settings, targets);
  };
  // Two data files of one name in different folders would write one export
  // file when --output-dir gathers them; the second is refused, not lost.
  std::unordered_map<std::string, std::string> writtenBy;
  const auto count = [&](std::size_t i, std::optional<Result>&& exported) {
    Result result;
    if (exported) {
      result = std::move(*exported);
    } else {
      const std::string target = targets.For(files[i]);
      std::string key = targets.KeyFor(files[i]);
      if (const auto earlier = writtenBy.find(key); earlier != writtenBy.end()) {
        result.message = ShownFileName(files[i]) + ": its export " + ShownFileName(target) +
                         " would replace that of " + ShownFileName(earlier->second);
      } else {
        result = ExportOne(files[i], settings, targets);
        if (result.message.empty()) writtenBy.emplace(std::move(key), files[i]);
      }
    }
    if (result.message.empty()) {
      ++tally.written;
    } else if (result.notWritten) {
      report(result.message);
      ++tally.unwritten;
    } else {
      Reject(tally, report, result.message);
    }
  };
  RunInOrder<std::optional<Result>>(files.size(), exportAlone, count);
}

// Flushes the file systems the exports went to, each once (sync() would
// flush every disk of the machine), and the folders' entries; a flush that
// fails is reported.
void FlushFolders(const std::vector<std::string>& files, const Targets& targets, ExportTally& tally,
                  const Report& report) {
  const auto flush = [&](const OutputFolder& folder) {
    if (auto flushed = folder.Flush(); !flushed) {
      report(flushed.error().message);
      ++tally.notFlushed;
    }
  };
  if (const auto& output = targets.OutputFolderOpened()) {
    if (*output) flush(**output);
    return;
  }
  std::unordered_set<std::string> folders;
  for (const std::string& file : files) {
    const std::string target = targets.For(file);
    const std::size_t slash = target.rfind('/');
    std::string folder = slash == std::string::npos ? "" : target.substr(0, slash + 1);
    if (!folders.insert(folder).second) continue;
    if (const auto opened = OutputFolder::Open(folder)) flush(*opened);
  }
}

} // namespace

ExportTally ExportStudy(const std::vector<std::string>& paths, bool recursive, const Settings& settings,
                        const std::optional<std::string>& outputDir, const Report& report) {
  ExportTally tally;
  const Targets targets(outputDir);
  DataFileSearch search = FindDataFiles(paths, recursive);
  for (const SearchProblem& problem : search.problems) Reject(tally, report, problem.message);
  tally.skipped = search.skipped;
  if (const auto& output = targets.OutputFolderOpened(); output && !*output) {
    // Nowhere to write: said once, not for every file.
    report(output->error().message);
    tally.unwritten += static_cast<int>(search.files.size());
    return tally;
  }
  ExportAll(search.files, settings, targets, tally, report);
  // The exports reach the disk before the summary says they were written.
  FlushFolders(search.files, targets, tally, report);
  return tally;
}

std::string SummaryLine(const ExportTally& tally) {
  // Files that could not be written were not rejected: they are counted apart.
  std::string line = CountText(static_cast<std::size_t>(tally.written), "file") + " written, " +
                     CountText(static_cast<std::size_t>(tally.rejected), "file") + " rejected";
  if (tally.unwritten > 0) line += ", " + std::to_string(tally.unwritten) + " could not be written";
  if (tally.notFlushed > 0) line += ", not known to have reached the disk";
  if (tally.skipped == 1) line += ", 1 entry skipped: not a regular file";
  if (tally.skipped > 1) line += ", " + std::to_string(tally.skipped) + " entries skipped: not regular files";
  return line + '\n';
}

} // namespace sinkview
