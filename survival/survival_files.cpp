#include "survival/survival_files.h"

#include <utility>

#include "survival/survival_hips.h"
#include "survival/survival_script.h"

namespace sinkview {

Expected<void, Failure> AddSurvivalFiles(FileSet& set, const StudyResult& result,
                                         const SurvivalEstimates* estimates, const OutputFolder& folder) {
  const SurvivalHips hips = SurvivalHipsOf(result);
  std::vector<std::pair<std::string_view, std::string>> files = {
      {kSurvivalHipsCsv, SurvivalHipsCsv(hips)},
      {kSurvivalRejectedCsv, SurvivalRejectedCsv(hips)},
      {kSurvivalScript, SurvivalScriptText(result.protocol.survivalYears)}};
  if (estimates) {
    files.emplace_back(kSurvivalCsv, estimates->survivalCsv);
    files.emplace_back(kSurvivalTestsCsv, estimates->testsCsv);
  }
  for (const auto& [name, text] : files) {
    auto file = AtomicFile::Open(folder, name);
    if (!file) return Unexpected(file.error());
    file->Write(text);
    set.Add(std::move(*file));
  }
  return {};
}

} // namespace sinkview
