#pragma once

#include <string>
#include <string_view>

namespace sinkview {

// How texts from a file appear in messages and where they are shown or
// written.

// A field of the file as a message quotes it: in double quotes, at most
// about 40 characters, cut with "…" and the field's length; blanks and
// control characters made visible, so the message stays one short line.
std::string QuotedField(std::string_view field);

// A file's name for a message: as it is, or in single quotes with control
// characters made visible when it holds any, so one message stays one line.
std::string ShownFileName(std::string_view path);

// The system's words for an errno value; safe on any thread, where
// strerror may share one buffer between them.
std::string ErrorText(int error);

// The text with every control character (line ends, tabs, ...) turned into a
// blank, so that a name from the file cannot break the lines it is put in.
std::string WithoutControlCharacters(std::string text);

} // namespace sinkview
