#pragma once

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>

namespace sinkview {

// Reads the items of a measurement data file: fields separated by commas or
// line ends (text fields optionally in double quotes, number fields ending at
// a comma, blank or line end) and whole lines. Line ends may be CR LF, LF or CR.
class FieldStream {
public:
  explicit FieldStream(std::string_view text) : text_(text) {}

  // True when nothing but blank space (and a DOS end-of-file mark) is left.
  bool AtEndOfData();

  // Empty at the end of the text or at a quote that is never closed. Both
  // point into the text, which must outlive them.
  std::optional<std::string_view> ReadTextField();
  // The raw characters of a number field; empty at the end of the text.
  std::optional<std::string_view> ReadNumberToken();
  // Skips the rest of the current line with its line end; false at the end.
  bool SkipLine();

  // Where the last item read began, and the line (from 1) of a place.
  std::size_t ItemStart() const { return itemStart_; }
  std::size_t LineAt(std::size_t position) const;
  // The last text field began with a quote that is never closed.
  bool QuoteUnclosed() const { return quoteUnclosed_; }
  // Characters stood between the last text field's closing quote and its
  // separator: likely the opening quote of the next field closed it.
  bool TextAfterClosingQuote() const { return textAfterQuote_; }
  // The last field ended at a comma and another field follows on its line.
  bool FieldFollowsOnItsLine() const;

private:
  bool AtEnd() const { return pos_ >= text_.size(); }
  char Peek() const { return text_[pos_]; }
  bool AtLineEnd() const { return !AtEnd() && (Peek() == '\r' || Peek() == '\n'); }
  void SkipBlanks();
  void ConsumeLineEnd();
  void ConsumeSeparator();

  std::string_view text_;
  std::size_t pos_ = 0;
  std::size_t itemStart_ = 0;
  bool quoteUnclosed_ = false;
  bool textAfterQuote_ = false;
  bool endedAtComma_ = false;
};

// The length of the decimal number that `s` starts with,
// [+-]digits[.digits][(e|E)[+-]digits] with at least one digit in the
// mantissa; 0 when it starts with none. An "e" without exponent digits ends it.
std::size_t DecimalNumberLength(std::string_view s);

// A number field as a 32-bit float: optional sign, digits with an optional
// decimal point, optional exponent. Empty when the text is not such a number
// or lies outside the range of a float.
std::optional<float> ParseNumber(std::string_view token);

} // namespace sinkview
