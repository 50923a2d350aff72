#pragma once

#include <array>
#include <string>
#include <string_view>

#include "model/model.h"
#include "model/prepared_series.h"
#include "ui/surface.h"

namespace sinkview {

// The graphics window's client area at design size, in twips.
inline constexpr double kGrafClientWidth = 8856, kGrafClientHeight = 6552;

// A rectangle in twips in the client area; labels size themselves to their
// text, so for them only the position counts.
struct DesignRect {
  double left, top, width, height;
  friend bool operator==(const DesignRect&, const DesignRect&) = default;
};

// What a resize of the window does to a control.
enum class OnResize {
  Rectangle, // position and size grow with the client area
  Position,  // the position grows with the client area, the size follows the text
  None,      // stays at its design position
};

struct GrafControl {
  std::string_view name;
  DesignRect rect;
  OnResize resize;
};

// The controls of the graphics window with their design rectangles, in the
// order in which they are created.
inline constexpr std::array<GrafControl, 17> kGrafControls = {{
    {"Picture1", {3120, 720, 2652, 5292}, OnResize::Rectangle},
    {"Picture2", {120, 720, 2892, 2892}, OnResize::Rectangle},
    {"Picture3", {120, 3960, 2892, 2052}, OnResize::Rectangle},
    {"Picture4", {5880, 720, 2892, 2892}, OnResize::Rectangle},
    {"Picture5", {5880, 3960, 2892, 2052}, OnResize::Rectangle},
    {"Command1", {120, 6120, 1812, 372}, OnResize::Rectangle},
    {"Command2", {6960, 6120, 1812, 372}, OnResize::Rectangle},
    {"Label1", {3360, 6120, 0, 0}, OnResize::Position},
    {"Label2", {120, 480, 0, 0}, OnResize::Position},
    {"Label3", {120, 3720, 0, 0}, OnResize::Position},
    {"Label4", {5880, 480, 0, 0}, OnResize::Position},
    {"Label5", {5880, 3720, 0, 0}, OnResize::Position},
    {"Label6", {120, 0, 0, 0}, OnResize::None},
    {"Label7", {1680, 3720, 0, 0}, OnResize::None},
    {"Label8", {7440, 3720, 0, 0}, OnResize::None},
    {"Label9", {1560, 3720, 0, 0}, OnResize::None},
    {"Label10", {7320, 3720, 0, 0}, OnResize::None},
}};

// The rectangle of a control in a client area `ratioX` times as wide and
// `ratioY` times as high as at design size.
DesignRect ResizedRect(const GrafControl& control, double ratioX, double ratioY);

// The centre box with the sketch is light grey; the diagrams are on white.
inline constexpr Rgb kSketchBackground{224, 224, 224};

// The captions of the window.
inline constexpr std::string_view kFileMenuCaption = "<< FILE MENUE ";
inline constexpr std::string_view kPrintGraphicsCaption = "PRINT GRAPHICS";
inline constexpr std::string_view kReferenceSystemCaption = "X-Ray / Reference System";
inline constexpr std::string_view kSlashCaption = "/";

// The titles above the four diagrams and which pair of stem/cement labels
// (the slash and the red title after the subsidence title) is shown.
struct DiagramTitles {
  std::string upperLeft, lowerLeft, upperRight, lowerRight, stemCement;
  bool leftStemCementShown = false;  // Label7 and Label9
  bool rightStemCementShown = false; // Label8 and Label10
  friend bool operator==(const DiagramTitles&, const DiagramTitles&) = default;
};

// The titles for the side of the replacement: a right one ("right" exactly)
// exchanges the left and right titles.
DiagramTitles TitlesForSide(const MeasurementModel& m);

// The two-line header: the patient, then the observation period, the number
// of radiographs and the comparability limit. UTF-8 for display.
std::string HeaderText(const PreparedSeries& p);

} // namespace sinkview
