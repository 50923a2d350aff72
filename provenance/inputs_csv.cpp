#include "provenance/inputs_csv.h"

#include <filesystem>

#include "base/content_digest.h"
#include "study/csv_columns.h"
#include "study/csv_text.h"
#include "study/repeat_readings.h"

namespace fs = std::filesystem;

namespace sinkview {

namespace {

// A data file's row: its role, name, size and 64 digits.
constexpr std::size_t kRowBytes = 112;

// `path` relative to `folder` when it lies in it, else as given.
std::string RelativeTo(const std::string& path, const std::string& folder) {
  if (folder.empty() || !LiesIn(path, folder)) return path;
  std::error_code error;
  const fs::path relative = fs::relative(path, folder, error);
  return error ? path : relative.generic_string();
}

} // namespace

Expected<std::string, Failure> InputsCsv(const StudyResult& result, const std::string& protocolFile) {
  // With several folders given, a data file's path is the one found.
  const std::string folder = result.folders.size() == 1 ? result.folders.front() : std::string();
  // Written row by row, never gathered first: a large study's list of
  // paths would weigh more than the file.
  std::string out = CsvHeader(kInputsCsv);
  out.reserve(out.size() + (result.patients.size() + 2) * kRowBytes);
  std::optional<Failure> failed;
  const auto row = [&](std::string_view role, const std::string& path, std::string_view shown,
                       const std::optional<ContentDigest>& read) {
    if (failed) return;
    const auto digest = read ? Expected<ContentDigest, Failure>(*read) : DigestFile(path);
    if (!digest) {
      failed = digest.error();
      return;
    }
    for (std::string_view field : {role, shown}) {
      AppendCsvField(out, field);
      out += ',';
    }
    out += std::to_string(digest->bytes);
    out += ',';
    out += Sha256Hex(*digest);
    out += kCsvLineEnd;
  };
  for (const PatientSummary& hip : result.patients) row("data", hip.path, hip.file, hip.digest);
  // The second readings the study read, each lying under the path its first
  // has in the study folder (as the repeat readings are found).
  if (result.repeat) {
    for (const SecondReadingFile& second : result.repeat->files)
      row("second_reading", second.path,
          result.protocol.pseudonymise ? second.hipFile : RelativeTo(second.path, folder), second.digest);
  }
  if (!protocolFile.empty())
    row("protocol", protocolFile, RelativeTo(protocolFile, folder), result.protocolDigest);
  if (!result.protocol.patientsFile.empty())
    row("patients", result.protocol.patientsFile, RelativeTo(result.protocol.patientsFile, folder),
        result.patientsDigest);
  if (failed) return Unexpected(*failed);
  return out;
}

} // namespace sinkview
