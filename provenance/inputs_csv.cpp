#include "provenance/inputs_csv.h"

#include <filesystem>

#include "base/content_digest.h"
#include "study/csv_columns.h"
#include "study/csv_text.h"
#include "study/repeat_readings.h"

namespace fs = std::filesystem;

namespace sinkview {

namespace {

// `path` relative to `folder` when it lies in it, else as given.
std::string RelativeTo(const std::string& path, const std::string& folder) {
  if (folder.empty() || !LiesIn(path, folder)) return path;
  std::error_code error;
  const fs::path relative = fs::relative(path, folder, error);
  return error ? path : relative.generic_string();
}

} // namespace

std::vector<InputFile> StudyInputs(const StudyResult& result, const std::string& protocolFile) {
  // With several folders given, a data file's path is the one found.
  const std::string folder = result.folders.size() == 1 ? result.folders.front() : std::string();
  std::vector<InputFile> files;
  for (const PatientSummary& hip : result.patients) files.push_back({"data", hip.path, hip.file, hip.digest});
  // The second readings the study read, each lying under the path its first
  // has in the study folder (as the repeat readings are found).
  if (result.repeat) {
    for (const SecondReadingFile& second : result.repeat->files)
      files.push_back({"second_reading", second.path,
                       result.protocol.pseudonymise ? second.hipFile : RelativeTo(second.path, folder),
                       second.digest});
  }
  if (!protocolFile.empty())
    files.push_back({"protocol", protocolFile, RelativeTo(protocolFile, folder), result.protocolDigest});
  if (!result.protocol.patientsFile.empty())
    files.push_back({"patients", result.protocol.patientsFile,
                     RelativeTo(result.protocol.patientsFile, folder), result.patientsDigest});
  return files;
}

Expected<std::string, Failure> InputsCsv(const std::vector<InputFile>& files) {
  std::string out = CsvHeader(kInputsCsv);
  for (const InputFile& file : files) {
    const auto digest = file.digest ? Expected<ContentDigest, Failure>(*file.digest) : DigestFile(file.path);
    if (!digest) return Unexpected(digest.error());
    for (std::string_view field : {std::string_view(file.role), std::string_view(file.shown)}) {
      AppendCsvField(out, field);
      out += ',';
    }
    out += std::to_string(digest->bytes) + "," + Sha256Hex(*digest);
    out += kCsvLineEnd;
  }
  return out;
}

} // namespace sinkview
