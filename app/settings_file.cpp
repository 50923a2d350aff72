#include "app/settings_file.h"

#include <fstream>
#include <sstream>

#include "model/atomic_file.h"
#include "model/field_stream.h"

namespace sinkview {

std::optional<std::string> ReadStartFolder(const std::string& settingsPath) {
  std::ifstream file(settingsPath, std::ios::binary);
  if (!file) return std::nullopt;
  std::ostringstream text;
  text << file.rdbuf();
  const std::string contents = text.str();
  FieldStream in(contents);
  if (in.AtEndOfData()) return std::nullopt;
  auto folder = in.ReadTextField();
  if (!folder || folder->empty()) return std::nullopt;
  return folder;
}

std::string WriteStartFolder(const std::string& settingsPath, const std::string& folder) {
  return WriteFileAtomically(settingsPath, "\"" + folder + "\"\r\n");
}

} // namespace sinkview
