#include "app/settings_file.h"

#include "model/atomic_file.h"
#include "model/field_stream.h"
#include "model/whole_file.h"

namespace sinkview {

std::optional<std::string> ReadStartFolder(const std::string& settingsPath) {
  // One short line; anything large is not a settings file.
  const WholeFile file = ReadWholeFile(settingsPath, 64 * 1024);
  if (file.problem != WholeFile::Problem::None) return std::nullopt;
  FieldStream in(file.text);
  if (in.AtEndOfData()) return std::nullopt;
  auto folder = in.ReadTextField();
  if (!folder || folder->empty()) return std::nullopt;
  return folder;
}

std::string WriteStartFolder(const std::string& settingsPath, const std::string& folder) {
  return WriteFileAtomically(settingsPath, "\"" + folder + "\"\r\n");
}

} // namespace sinkview
