#pragma once

#include <cstddef>
#include <string>
#include <string_view>

namespace sinkview {

// How texts from a file appear in messages and where they are shown or
// written.

// A field of the file as a message quotes it: in double quotes, at most
// about 40 characters, cut with "…" and the field's length; blanks and
// control characters made visible, so the message stays one short line (the
// C1 and bidirectional ones, see WithoutControlCharacters, as blanks).
std::string QuotedField(std::string_view field);

// A file's name for a message: as it is, or in single quotes with control
// characters made visible when it holds any, so one message stays one line
// (the C1 and bidirectional ones as blanks, so it is not reordered).
std::string ShownFileName(std::string_view path);

// `message` with every field it quotes (see QuotedField) as "…": a reader's
// message without what the file holds, such as the patient's code.
std::string WithoutQuotedFields(std::string_view message);

// `message` with the file at `path`, as ShownFileName shows it, called
// `shownAs` instead: a message of the reader without the file's name.
std::string Renamed(std::string message, std::string_view path, std::string_view shownAs);

// "1 file", "3 files": a count with its noun, plural by an "s".
std::string CountText(std::size_t n, std::string_view what);

// The system's words for an errno value; safe on any thread, where
// strerror may share one buffer between them.
std::string ErrorText(int error);

// The text with every control character turned into a blank: the C0 ones
// (line ends, tabs, ESC) and DEL, so that a name from the file cannot break
// the lines it is put in, and in UTF-8 text also the C1 ones (U+0080 to
// U+009F) and the bidirectional overrides and isolates (U+202A to U+202E,
// U+2066 to U+2069), which would reorder what is shown around them. A
// Windows-1252 text keeps its bytes 0x80 to 0x9F: there they are letters.
std::string WithoutControlCharacters(std::string text);

// Whether a spreadsheet would run the text as a formula where it starts a
// cell: it starts with =, +, -, @, a tab or a carriage return, and is no
// plain number ("-2.1", "+3", "-1,5", "1e-07" stay numbers).
bool StartsLikeAFormula(std::string_view text);

// A text of a file, or a file's name, as UTF-8 (see DisplayUtf8) without
// control characters: as files for other programs hold it.
std::string PlainUtf8(std::string_view bytes);

} // namespace sinkview
