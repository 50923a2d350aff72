#include "model/figure_files.h"

#include "model/data_files.h"

namespace sinkview {

std::optional<FigureFormat> FigureFormatOf(const std::string& path) {
  if (HasExtension(path, {".png"})) return FigureFormat::Png;
  if (HasExtension(path, {".tif", ".tiff"})) return FigureFormat::Tiff;
  if (HasExtension(path, {".pdf"})) return FigureFormat::Pdf;
  if (HasExtension(path, {".svg"})) return FigureFormat::Svg;
  return std::nullopt;
}

std::string FigureEndings(bool svg) {
  return svg ? ".png, .tif, .tiff, .pdf or .svg" : ".png, .tif, .tiff or .pdf";
}

} // namespace sinkview
