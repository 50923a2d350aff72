#include "provenance/provenance_files.h"

#include "base/content_digest.h"
#include "provenance/inputs_csv.h"
#include "provenance/software_csv.h"
#include "study/csv_columns.h"
#include "study/study_csv.h"

namespace sinkview {

Expected<Provenance, Failure> AddProvenanceFiles(FileSet& set, const OutputFolder& folder,
                                                 const StudyResult& result, const std::string& protocolFile,
                                                 std::string_view rSoftwareCsv,
                                                 std::string_view survivalSoftwareCsv) {
  auto inputs = InputsCsv(result, protocolFile);
  if (!inputs) return Unexpected(inputs.error());
  auto components = SoftwareComponents(rSoftwareCsv, survivalSoftwareCsv);
  if (!components) return Unexpected(components.error());
  Provenance provenance{Sha256Hex(*inputs), std::move(*components)};
  if (auto added = AddTextFiles(
          set, folder, {{kInputsCsv, std::move(*inputs)}, {kSoftwareCsv, SoftwareCsv(provenance.software)}});
      !added)
    return Unexpected(added.error());
  return provenance;
}

} // namespace sinkview
