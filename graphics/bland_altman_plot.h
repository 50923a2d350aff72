#pragma once

// The Bland-Altman plot of a study's repeat readings: for one series, each
// pair's difference (first - second reading) against the mean of the two,
// with the bias and the limits of agreement as lines. A paper figure: drawn
// for a column 85 mm wide, texts of 7 pt.

#include <string>
#include <vector>

#include "ui/surface.h"

namespace sinkview {

struct BlandAltmanPanel {
  std::string title; // the series
  std::vector<double> meansMm, differencesMm;
  double biasMm = 0, lowMm = 0, highMm = 0; // the bias and the limits of agreement
  double pixelsPerMm = 96 / 25.4;           // the device's resolution, for the lines' width
};

// A panel's height on paper; its width is the column's.
inline constexpr double kBlandAltmanPanelHeightMm = 64;

inline constexpr const char* kBlandAltmanXTitle = "Mean of the two readings (mm)";
inline constexpr const char* kBlandAltmanYTitle = "Difference, first \u2212 second (mm)";
inline constexpr double kBlandAltmanFontPoints = 7;
inline constexpr Rgb kAgreementColour{200, 0, 0};

// The line labels, rounded to 0.01 mm: "Bias 0.1", "+1.96 SD 0.21",
// "\u22121.96 SD -0.19".
std::string BiasLabel(double biasMm);
std::string LimitLabel(bool upper, double limitMm);

// Draws one panel over the whole surface (which it clears first).
void DrawBlandAltmanPanel(const BlandAltmanPanel& panel, Surface& surface);

} // namespace sinkview
