#pragma once

#include <QFont>
#include <QRect>

namespace sinkview {

// The windows are designed in twips (1/1440 inch). At the platform's
// logical 96 dots per inch one device-independent pixel is 15 twips; Qt
// scales device-independent pixels to the screen, so layouts stay right on
// high-DPI screens.
inline constexpr double kTwipsPerPixel = 15.0;
// Device-independent pixels per inch: figures and reports are laid out like
// the windows.
inline constexpr int kDotsPerInch = 96;

int TwipsToPixels(double twips);
QRect TwipsRect(double left, double top, double width, double height);

// The windows' font, bold 7.8 points: the design face is not available on
// this platform, an Arial-metric sans takes its place.
QFont DesignFont();

} // namespace sinkview
