#pragma once

#include <string>
#include <string_view>

namespace sinkview {

// Data files come from Windows machines in Windows-1252 or UTF-8. Texts keep
// their bytes in the model (an export repeats them unchanged); for display
// they are turned into UTF-8: valid UTF-8 stays as it is, anything else is
// read as Windows-1252.
std::string DisplayUtf8(std::string_view bytes);

// Whether the bytes are UTF-8 (the choice DisplayUtf8 makes).
bool IsValidUtf8(std::string_view bytes);

} // namespace sinkview
