#pragma once

#include <optional>
#include <string>

namespace sinkview {

// The formats a figure is written in, chosen by its file's ending in any
// case: PNG; TIFF (.tif, .tiff) at 600 dpi, LZW-compressed, for journals
// that ask for it; PDF and SVG as vectors.
enum class FigureFormat { Png, Tiff, Pdf, Svg };

// A TIFF's resolution: what journals ask for.
inline constexpr int kTiffDotsPerInch = 600;
// Any other image's resolution for print: papers ask for 300 dpi.
inline constexpr int kPrintDotsPerInch = 300;

// The widths of a figure for a paper: one journal column or the whole page.
inline constexpr double kOneColumnMm = 85, kTwoColumnsMm = 170;

// The format of a figure's file; none for an ending no figure is written in.
std::optional<FigureFormat> FigureFormatOf(const std::string& path);

// The endings a figure may have, for messages: ".png, .tif, .tiff, .pdf or
// .svg"; without `svg` for a figure that is no vector drawing in SVG.
std::string FigureEndings(bool svg = true);

} // namespace sinkview
