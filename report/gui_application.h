#pragma once

// What the study's drawings need of Qt before they draw.

class QPaintDevice;

namespace sinkview {

// The command-line program makes no GUI application; the study window has
// one. Makes one on the offscreen platform when there is none.
void EnsureGuiApplication();

// Device pixels per millimetre on paper.
double PixelsPerMm(const QPaintDevice* device);

} // namespace sinkview
