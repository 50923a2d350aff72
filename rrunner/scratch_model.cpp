#include "rrunner/scratch_model.h"

#include <cerrno>
#include <charconv>
#include <csignal>
#include <filesystem>
#include <stdlib.h>
#include <sys/stat.h>
#include <unistd.h>

#include "model/file_set.h"
#include "protocol/small_text_file.h"
#include "study/analysis_script.h"
#include "study/study_csv.h"

namespace fs = std::filesystem;

namespace sinkview {

namespace {

// A scratch folder is named for the process that made it, so that one left
// by a killed process can be told apart from one in use.
constexpr std::string_view kScratchPrefix = "sinkview-model-";
constexpr std::size_t kScratchUnique = 6; // mkdtemp's XXXXXX

fs::path TemporaryFolder() {
  std::error_code noTemp;
  const fs::path folder = fs::temp_directory_path(noTemp);
  return noTemp ? fs::path("/tmp") : folder;
}

// The process a scratch folder of this name belongs to; 0 when the name is
// not one of a scratch folder.
pid_t ScratchOwner(std::string_view name) {
  if (!name.starts_with(kScratchPrefix)) return 0;
  name.remove_prefix(kScratchPrefix.size());
  const std::size_t dash = name.find('-');
  if (dash == std::string_view::npos || name.size() - dash - 1 != kScratchUnique) return 0;
  pid_t owner = 0;
  const auto [end, error] = std::from_chars(name.data(), name.data() + dash, owner);
  return error == std::errc() && end == name.data() + dash && owner > 0 ? owner : 0;
}

// A folder made by mkdtemp (mode 0700) and removed with all it holds.
class ScratchFolder {
public:
  ScratchFolder() {
    std::string pattern = (TemporaryFolder() / (std::string(kScratchPrefix) + std::to_string(::getpid()) +
                                                "-" + std::string(kScratchUnique, 'X')))
                              .native();
    if (::mkdtemp(pattern.data()) != nullptr) path_ = pattern;
  }
  ~ScratchFolder() {
    std::error_code ignored; // a folder left in the temporary folder harms nothing
    if (!path_.empty()) fs::remove_all(path_, ignored);
  }
  ScratchFolder(const ScratchFolder&) = delete;
  ScratchFolder& operator=(const ScratchFolder&) = delete;

  // Empty when none could be made.
  const std::string& Path() const { return path_; }

private:
  std::string path_;
};

// The study's tables and analysis.R, written as the study's set writes them.
Expected<void, Failure> WriteModelInputs(const StudyResult& result, const std::string& folderPath) {
  const auto folder = OutputFolder::Open(folderPath);
  if (!folder) return Unexpected(folder.error());
  FileSet set;
  if (auto added = AddStudyCsvFiles(set, result, *folder); !added) return added;
  auto script = AtomicFile::Open(*folder, kAnalysisScript);
  if (!script) return Unexpected(script.error());
  script->Write(AnalysisScriptText());
  set.Add(std::move(*script));
  return set.Commit();
}

Unexpected<ModelNotFitted> CannotFit(const Failure& why) {
  return Unexpected(ModelNotFitted{false, Failure{"model: " + why.message}});
}

// R names the groups and visits as the CSV files print them, where two may
// read alike; the study's own names are put back by their numbers.
Expected<void, Failure> NameAsTheStudy(ModelResults& results, const StudyResult& study) {
  const auto name = [](const auto& names, int number,
                       std::string_view what) -> Expected<std::string, Failure> {
    if (number < 1 || static_cast<std::size_t>(number) > names.size())
      return Unexpected(Failure{std::string(kModelCsv) + " names " + std::string(what) + " " +
                                std::to_string(number) + ", which the study does not have"});
    return std::string(names[static_cast<std::size_t>(number - 1)]);
  };
  std::vector<std::string_view> visits;
  for (const Visit& visit : study.protocol.visits) visits.push_back(visit.name);
  for (ModelEstimate& e : results.estimates) {
    auto group = name(study.groups, e.groupNumber, "group");
    auto visit = name(visits, e.visitNumber, "visit");
    auto reference = e.referenceGroupNumber ? name(study.groups, *e.referenceGroupNumber, "group")
                                            : Expected<std::string, Failure>(std::string());
    for (const auto* named : {&group, &visit, &reference})
      if (!*named) return Unexpected(named->error());
    e.group = std::move(*group);
    e.visit = std::move(*visit);
    e.referenceGroup = std::move(*reference);
  }
  return {};
}

} // namespace

void RemoveOrphanedScratchFolders() {
  std::error_code error;
  for (fs::directory_iterator it(TemporaryFolder(), error), end; !error && it != end; it.increment(error)) {
    const pid_t owner = ScratchOwner(it->path().filename().native());
    struct stat info {};
    if (owner == 0 || ::lstat(it->path().c_str(), &info) != 0 || !S_ISDIR(info.st_mode) ||
        info.st_uid != ::geteuid())
      continue;
    if (::kill(owner, 0) == 0 || errno != ESRCH) continue; // its process runs
    std::error_code ignored;                               // one that stays is tried again at the next start
    fs::remove_all(it->path(), ignored);
  }
}

Expected<FittedModel, ModelNotFitted>
FitModelInScratch(const StudyResult& result, const std::atomic<bool>* cancel, ModelRunOptions options) {
  const ScratchFolder scratch;
  if (scratch.Path().empty())
    return CannotFit(Failure{"no scratch folder can be made in the temporary folder"});
  if (auto written = WriteModelInputs(result, scratch.Path()); !written) return CannotFit(written.error());
  options.cancel = cancel;
  // R killed when cancelled leaves its own temporary folder: in the scratch folder, it goes too.
  options.temporaryFolder = scratch.Path();
  auto results = RunModel(scratch.Path(), options);
  if (!results) return Unexpected(results.error());
  if (auto named = NameAsTheStudy(*results, result); !named) return CannotFit(named.error());
  FittedModel fitted{std::move(*results), {}, {}, {}, {}};
  for (auto [name, bytes] : {std::pair{kModelCsv, &fitted.modelCsv},
                             {kModelFitCsv, &fitted.modelFitCsv},
                             {kModelTestsCsv, &fitted.modelTestsCsv},
                             {kRSoftwareCsv, &fitted.rSoftwareCsv}}) {
    auto text = ReadSmallTextFile((fs::path(scratch.Path()) / name).native(), kMaxModelFileBytes);
    if (!text) return CannotFit(text.error());
    *bytes = std::move(*text);
  }
  return fitted;
}

} // namespace sinkview
