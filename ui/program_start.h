#pragma once

// The start of a windowed program before its window: --help and --version
// answer without a display (the manual pages are made from them while
// building), and a start without a display ends with one line saying what
// is missing, where Qt would abort.

#include <QApplication>
#include <QCommandLineParser>
#include <memory>

namespace sinkview {

// Whether the arguments ask for help or the version (before a "--").
bool AsksForHelpOrVersion(int argc, char** argv);

// Until EndStartMessages, Qt's messages are held back, and a fatal one (no
// display found) ends the program with status 1 after the line
// "PROGRAM: WHAT needs a graphical session (no display found); INSTEAD
// works without one.", PROGRAM the name it was started by.
void HoldStartMessages(const char* argv0, const char* what, const char* instead);
// Shows the messages held back, as Qt would have.
void EndStartMessages();

// Answers --help and --version from `parser` without a display, else makes
// the application with its start messages held back as above.
std::unique_ptr<QApplication> StartApplication(int& argc, char** argv, QCommandLineParser& parser,
                                               const char* what, const char* instead);

} // namespace sinkview
