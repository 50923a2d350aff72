// Feeds arbitrary bytes to the data file reader and, for input it accepts,
// runs everything that follows a load: the magnification correction, the
// analyses, the four diagrams, the table text and the export text, for both
// reference points, and the return to the main window.
#include <cstddef>
#include <cstdint>
#include <string_view>

#include "graphics/diagram_assignment.h"
#include "model/prepared_series.h"
#include "model/reader.h"
#include "table/export_file.h"
#include "table/table_text.h"
#include "ui/recording_surface.h"

namespace {

// The diagrams' segments are drawn but not kept: keeping up to a hundred
// thousand of them per input took half of the fuzzer's time.
struct DiagramSurface : sinkview::RecordingSurface {
  void Line(double, double, double, double, std::optional<sinkview::Rgb>, bool) override {}
};

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string_view text(reinterpret_cast<const char*>(data), size);
  auto read = sinkview::ParseDataText(text, "/fuzz/input.vok");
  if (!read) return 0;
  for (const auto reference : {sinkview::Reference::HeadCenter, sinkview::Reference::StemShoulder}) {
    sinkview::Settings settings;
    settings.ReferencePoint = reference;
    const auto prepared = sinkview::PrepareSeries(*read, settings, "/fuzz/input.vok");
    if (!prepared) continue;
    for (int box = 2; box <= 5; ++box) {
      DiagramSurface diagram;
      sinkview::PaintPicture(box, *prepared, "/nonexistent/", diagram);
    }
    sinkview::RecordingSurface table;
    sinkview::RenderTable(*prepared, table);
    const std::string exported = sinkview::ExportText(*prepared);
    if (exported.empty()) __builtin_trap();
  }
  return 0;
}
