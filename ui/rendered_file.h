#pragma once

#include <functional>
#include <string>

#include "model/failure.h"

class QIODevice;

namespace sinkview {

// Draws a whole file into `out` (an image's encoder, a PDF or SVG writer):
// "" once it is complete, else why it is not.
using RenderInto = std::function<std::string(QIODevice& out)>;

// Writes what `render` draws to `path`: drawn into memory first, then handed
// to WriteFileAtomically, so a drawing that fails or runs out of memory
// never replaces an older file. A drawing that fails is told in the words
// `refused` makes of its reason.
[[nodiscard]] MaybeFailure
WriteRenderedFile(const std::string& path, const RenderInto& render,
                  const std::function<Failure(const std::string& reason)>& refused);

} // namespace sinkview
