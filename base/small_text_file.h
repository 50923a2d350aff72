#pragma once

#include <cstddef>
#include <string>

#include "base/expected.h"
#include "base/failure.h"

namespace sinkview {

// The text of a study's own small file (protocol, patients), or why it
// cannot be had, naming the file.
Expected<std::string, Failure> ReadSmallTextFile(const std::string& path, std::size_t maxBytes);

} // namespace sinkview
