#include "base/reader_text.h"

#include <algorithm>
#include <string.h>

#include "base/text_encoding.h"

namespace sinkview {

namespace {

// strerror_r is either GNU's, returning its text, or POSIX's, returning 0
// when it filled the buffer; one of these is used.
[[maybe_unused]] const char* ErrorTextOf(const char* text, const char*) { return text; }
[[maybe_unused]] const char* ErrorTextOf(int result, const char* buffer) {
  return result == 0 ? buffer : "unknown error";
}

constexpr std::size_t kShownCharacters = 40;

bool IsControl(unsigned char c) { return c < 0x20 || c == 0x7f; }

// The control pictures of Unicode: U+2400 to U+241F for the C0 controls,
// U+2421 for DEL, U+2423 (an open box) for a blank.
void AppendVisible(std::string& out, unsigned char c) {
  const unsigned code = c == ' ' ? 0x2423 : c == 0x7f ? 0x2421 : 0x2400 + c;
  out += static_cast<char>(0xe0 | (code >> 12));
  out += static_cast<char>(0x80 | ((code >> 6) & 0x3f));
  out += static_cast<char>(0x80 | (code & 0x3f));
}

bool IsContinuationByte(unsigned char c) { return (c & 0xc0) == 0x80; }

// The bytes of a C1 control or a bidirectional override or isolate at the
// start of UTF-8 text, or 0.
std::size_t HiddenCharacterLength(std::string_view s) {
  const auto byte = [&](std::size_t i) { return i < s.size() ? static_cast<unsigned char>(s[i]) : 0u; };
  if (byte(0) == 0xc2 && byte(1) >= 0x80 && byte(1) <= 0x9f) return 2;
  const bool override = byte(0) == 0xe2 && byte(1) == 0x80 && byte(2) >= 0xaa && byte(2) <= 0xae;
  const bool isolate = byte(0) == 0xe2 && byte(1) == 0x81 && byte(2) >= 0xa6 && byte(2) <= 0xa9;
  return override || isolate ? 3 : 0;
}

// In UTF-8 text, those characters turned into blanks; in Windows-1252 text
// the bytes 0x80 to 0x9F are letters.
std::string WithoutHiddenCharacters(std::string_view text) {
  if (!IsValidUtf8(text)) return std::string(text);
  std::string out;
  out.reserve(text.size());
  for (std::size_t i = 0; i < text.size();) {
    const std::size_t length = HiddenCharacterLength(text.substr(i));
    out += length > 0 ? ' ' : text[i];
    i += std::max<std::size_t>(length, 1);
  }
  return out;
}

} // namespace

std::string ErrorText(int error) {
  char buffer[256] = "";
  return ErrorTextOf(::strerror_r(error, buffer, sizeof buffer), buffer);
}

std::string QuotedField(std::string_view field) {
  const std::string text = WithoutHiddenCharacters(field);
  std::string out = "\"";
  std::size_t shown = 0, i = 0;
  for (; i < text.size(); ++i) {
    const auto c = static_cast<unsigned char>(text[i]);
    // A character of several bytes counts once and is never cut.
    if (!IsContinuationByte(c) && shown++ == kShownCharacters) break;
    if (c == ' ' || IsControl(c)) {
      AppendVisible(out, c);
    } else {
      out += static_cast<char>(c);
    }
  }
  if (i < text.size()) return out + "…\" (" + std::to_string(field.size()) + " characters)";
  return out + "\"";
}

std::string ShownFileName(std::string_view path) {
  const std::string text = WithoutHiddenCharacters(path);
  bool plain = text == path;
  for (char c : text) plain = plain && !IsControl(static_cast<unsigned char>(c));
  if (plain) return text;
  std::string out = "'";
  for (char c : text) {
    const auto u = static_cast<unsigned char>(c);
    if (IsControl(u)) {
      AppendVisible(out, u);
    } else {
      out += c;
    }
  }
  return out + "'";
}

std::string WithoutQuotedFields(std::string_view message) {
  std::string out;
  bool quoted = false;
  for (const char c : message) {
    // A quote left open hides the rest: nothing of a field gets through.
    if (c == '"') {
      if (!quoted) out += "\"…\"";
      quoted = !quoted;
    } else if (!quoted) {
      out += c;
    }
  }
  return out;
}

std::string Renamed(std::string message, std::string_view path, std::string_view shownAs) {
  if (path.empty()) return message;
  for (const std::string& named : {ShownFileName(path), std::string(path)})
    for (auto at = message.find(named); at != std::string::npos;
         at = message.find(named, at + shownAs.size()))
      message.replace(at, named.size(), shownAs);
  return message;
}

std::string CountText(std::size_t n, std::string_view what) {
  return std::to_string(n) + " " + std::string(what) + (n == 1 ? "" : "s");
}

std::string WithoutControlCharacters(std::string text) {
  for (char& c : text) {
    if (IsControl(static_cast<unsigned char>(c))) c = ' ';
  }
  return WithoutHiddenCharacters(text);
}

namespace {

// [+-]digits[.digits][e[+-]digits], the point a comma as well: a number to
// any spreadsheet, which runs nothing of it.
bool IsPlainNumber(std::string_view text) {
  std::size_t at = 0, digits = 0;
  const auto skipDigits = [&] {
    const std::size_t start = at;
    while (at < text.size() && text[at] >= '0' && text[at] <= '9') ++at;
    return at - start;
  };
  if (at < text.size() && (text[at] == '+' || text[at] == '-')) ++at;
  digits = skipDigits();
  if (at < text.size() && (text[at] == '.' || text[at] == ',')) {
    ++at;
    digits += skipDigits();
  }
  if (digits == 0) return false;
  if (at < text.size() && (text[at] == 'e' || text[at] == 'E')) {
    ++at;
    if (at < text.size() && (text[at] == '+' || text[at] == '-')) ++at;
    if (skipDigits() == 0) return false;
  }
  return at == text.size();
}

} // namespace

bool StartsLikeAFormula(std::string_view text) {
  return !text.empty() && std::string_view("=+-@\t\r").find(text.front()) != std::string_view::npos &&
         !IsPlainNumber(text);
}

std::string PlainUtf8(std::string_view bytes) { return WithoutControlCharacters(DisplayUtf8(bytes)); }

} // namespace sinkview
