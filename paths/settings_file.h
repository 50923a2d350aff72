#pragma once

#include <optional>
#include <string>

#include "base/expected.h"
#include "base/failure.h"

namespace sinkview {

// SINKVIEW.INI holds one line: the last used folder in double quotes,
// followed by CR LF.
inline constexpr const char* kSettingsFileName = "SINKVIEW.INI";

// The folder stored in the settings file; empty when the file cannot be read
// or is not a regular file (a pipe would block the start).
[[nodiscard]] std::optional<std::string> ReadStartFolder(const std::string& settingsPath);

// Writes the folder through a temporary file that replaces the old one, so
// a failure leaves the old file as it was; else a message naming the file
// and the reason.
Expected<void, Failure> WriteStartFolder(const std::string& settingsPath, const std::string& folder);

} // namespace sinkview
