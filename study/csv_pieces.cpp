#include "study/csv_pieces.h"

namespace sinkview {

namespace {

constexpr std::size_t kRowsPiece = 1 << 16;

} // namespace

void HandOnPiece(std::string& out, const PieceSink& sink, bool last) {
  if (!last && out.size() < kRowsPiece) return;
  sink(out);
  out.clear();
}

std::string WholeText(const RowsWriter& rows) {
  std::string text;
  rows([&text](std::string_view piece) { text += piece; });
  return text;
}

Expected<void, Failure> AddRowsFile(FileSet& set, const OutputFolder& folder, std::string_view name,
                                    const RowsWriter& rows) {
  auto file = AtomicFile::Open(folder, name);
  if (!file) return Unexpected(file.error());
  rows([&file = *file](std::string_view piece) { file.Write(piece); });
  set.Add(std::move(*file));
  return {};
}

} // namespace sinkview
