#include "writeup/sign_convention.h"

#include "writeup/phrasing.h"

namespace sinkview {

// The statement the study's values make today (a stem that sinks gives a
// negative change), until dictionary.csv states the convention itself.
std::string SignConventionText() { return std::string(phrasing::kSignConvention); }

} // namespace sinkview
