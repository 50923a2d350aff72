#include "provenance/provenance_files.h"

#include "provenance/file_digest.h"
#include "provenance/inputs_csv.h"
#include "provenance/software_csv.h"
#include "study/csv_columns.h"

namespace sinkview {

Expected<Provenance, Failure> AddProvenanceFiles(FileSet& set, const OutputFolder& folder,
                                                 const StudyResult& result, const std::string& protocolFile,
                                                 std::string_view rSoftwareCsv) {
  auto inputs = InputsCsv(StudyInputs(result, protocolFile));
  if (!inputs) return Unexpected(inputs.error());
  auto components = SoftwareComponents(rSoftwareCsv);
  if (!components) return Unexpected(components.error());
  std::string software = SoftwareCsv(*components);
  for (const auto& [name, text] : {std::pair{kInputsCsv, &*inputs}, {kSoftwareCsv, &software}}) {
    auto file = AtomicFile::Open(folder, name);
    if (!file) return Unexpected(file.error());
    file->Write(*text);
    set.Add(std::move(*file));
  }
  return Provenance{Sha256Hex(*inputs), std::move(*components)};
}

} // namespace sinkview
