#include "rrunner/scratch_model.h"

#include <filesystem>

#include "base/file_set.h"
#include "base/small_text_file.h"
#include "rrunner/scratch_folder.h"
#include "study/analysis_script.h"
#include "study/study_csv.h"

namespace fs = std::filesystem;

namespace sinkview {

namespace {

// What R reads to fit the model, in the scratch folder.
Expected<void, Failure> WriteModelInputs(const StudyResult& result, const std::string& folderPath) {
  const auto folder = OutputFolder::Open(folderPath);
  if (!folder) return Unexpected(folder.error());
  FileSet set;
  if (auto added = AddModelInputFiles(set, result, *folder); !added) return added;
  return set.Commit();
}

Unexpected<ModelNotFitted> CannotFit(const Failure& why) {
  return Unexpected(ModelNotFitted{false, false, Failure{"model: " + why.message}});
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
