#pragma once

// A file of a row or more per hip goes out a piece at a time: whole, the
// visits of 100,000 hips would be 90 MB held twice while it grows.

#include <functional>
#include <string>
#include <string_view>

#include "base/expected.h"
#include "base/failure.h"
#include "base/file_set.h"

namespace sinkview {

using PieceSink = std::function<void(std::string_view piece)>;
// Writes a file's rows, handing them on to the sink a piece at a time.
using RowsWriter = std::function<void(const PieceSink&)>;

// Hands `out` on and empties it once it has grown to a piece, or when it is
// the `last`.
void HandOnPiece(std::string& out, const PieceSink& sink, bool last);

// The rows as one text, for a file that is written whole and for tests.
std::string WholeText(const RowsWriter& rows);

// Adds the file `rows` writes to `set`, written into its temporary a piece
// at a time.
[[nodiscard]] Expected<void, Failure> AddRowsFile(FileSet& set, const OutputFolder& folder,
                                                  std::string_view name, const RowsWriter& rows);

} // namespace sinkview
