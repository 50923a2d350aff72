#pragma once

#include <functional>
#include <string>

#include "base/atomic_file.h"

class QIODevice;

namespace sinkview {

// Draws a whole file into `out` (an image's encoder, a PDF or SVG writer):
// "" once it is complete, else why it is not.
using RenderInto = std::function<std::string(QIODevice& out)>;

// What `render` draws for `target`, whole in its temporary file and not yet
// in place, in the target's folder as opened: drawn into memory first, so a drawing that fails or runs out of
// memory never replaces an older file. A drawing that fails is told in the
// words `refused` makes of its reason.
[[nodiscard]] Expected<AtomicFile, Failure>
RenderToTemporary(const OutputFile& target, const RenderInto& render,
                  const std::function<Failure(const std::string& reason)>& refused);

// The same, put in place at once.
[[nodiscard]] Expected<void, Failure>
WriteRenderedFile(const std::string& path, const RenderInto& render,
                  const std::function<Failure(const std::string& reason)>& refused);

} // namespace sinkview
