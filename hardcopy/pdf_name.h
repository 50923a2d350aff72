#pragma once

#include <string>
#include <string_view>

namespace sinkview {

// The name proposed for a hard copy saved as a PDF file: the patient, then
// the window, as in "Bauer Helene HB-1948 - graphics.pdf". `patient` is
// UTF-8; a character no file name should hold becomes "-", and without a
// patient the document's name "Hardcopy" stands in.
std::string HardcopyPdfName(std::string_view patient, std::string_view window);

} // namespace sinkview
