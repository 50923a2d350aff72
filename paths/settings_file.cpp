#include "paths/settings_file.h"

#include "base/atomic_file.h"
#include "base/whole_file.h"
#include "model/field_stream.h"

namespace sinkview {

std::optional<std::string> ReadStartFolder(const std::string& settingsPath) {
  // One short line; anything large is not a settings file.
  const WholeFile file = ReadWholeFile(settingsPath, 64 * 1024);
  if (file.problem != WholeFile::Problem::None) return std::nullopt;
  // The folder is the text between the first and the last quote, so a name
  // that holds a quote (or a line end) comes back whole.
  const std::size_t first = file.text.find('"');
  const std::size_t last = file.text.rfind('"');
  if (first != std::string::npos && last > first) {
    std::string folder = file.text.substr(first + 1, last - first - 1);
    if (folder.empty()) return std::nullopt;
    return folder;
  }
  FieldStream in(file.text);
  if (in.AtEndOfData()) return std::nullopt;
  auto folder = in.ReadTextField();
  if (!folder || folder->empty()) return std::nullopt;
  return std::string(*folder);
}

Expected<void, Failure> WriteStartFolder(const std::string& settingsPath, const std::string& folder) {
  return WriteFileAtomically(settingsPath, "\"" + folder + "\"\r\n");
}

} // namespace sinkview
