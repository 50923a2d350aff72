#pragma once

#include <string>

namespace sinkview {

// Drawing text needs a GUI application, which a command-line program that
// only draws into files makes on the offscreen platform (no display needed),
// unless QT_QPA_PLATFORM names another. Call before the application is
// made; Qt's messages then go to stderr, warnings after "PROGRAM: ".
void UseOffscreenPlatform(const std::string& program);

} // namespace sinkview
