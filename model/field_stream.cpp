#include "model/field_stream.h"

#include <algorithm>
#include <cctype>
#include <charconv>

namespace sinkview {

namespace {

bool IsBlank(char c) { return c == ' ' || c == '\t'; }

bool IsDigit(char c) { return c >= '0' && c <= '9'; }

} // namespace

std::size_t DecimalNumberLength(std::string_view s) {
  std::size_t i = 0, digits = 0;
  if (i < s.size() && (s[i] == '+' || s[i] == '-')) ++i;
  while (i < s.size() && IsDigit(s[i])) ++i, ++digits;
  if (i < s.size() && s[i] == '.') {
    ++i;
    while (i < s.size() && IsDigit(s[i])) ++i, ++digits;
  }
  if (digits == 0) return 0;
  if (i < s.size() && (s[i] == 'e' || s[i] == 'E')) {
    std::size_t j = i + 1;
    if (j < s.size() && (s[j] == '+' || s[j] == '-')) ++j;
    const std::size_t exponentStart = j;
    while (j < s.size() && IsDigit(s[j])) ++j;
    if (j > exponentStart) i = j;
  }
  return i;
}

bool FieldStream::AtEndOfData() {
  std::size_t p = pos_;
  while (p < text_.size()) {
    const char c = text_[p];
    if (!(IsBlank(c) || c == '\r' || c == '\n' || c == '\x1a')) break;
    ++p;
  }
  if (p >= text_.size()) return true;
  // Blank lines before a record are passed over; blanks at the start of the
  // record's first line are part of that line, which is ignored anyway.
  pos_ = p;
  return false;
}

void FieldStream::SkipBlanks() {
  while (!AtEnd() && IsBlank(Peek())) ++pos_;
}

void FieldStream::ConsumeLineEnd() {
  if (AtEnd()) return;
  if (Peek() == '\r') {
    ++pos_;
    if (!AtEnd() && Peek() == '\n') ++pos_;
  } else if (Peek() == '\n') {
    ++pos_;
  }
}

void FieldStream::ConsumeSeparator() {
  SkipBlanks();
  endedAtComma_ = false;
  if (AtEnd()) return;
  if (Peek() == ',') {
    ++pos_;
    endedAtComma_ = true;
  } else if (AtLineEnd()) {
    ConsumeLineEnd();
  }
}

std::optional<std::string_view> FieldStream::ReadTextField() {
  SkipBlanks();
  itemStart_ = pos_;
  quoteUnclosed_ = textAfterQuote_ = false;
  if (AtEnd()) return std::nullopt;
  std::string_view value;
  if (Peek() == '"') {
    const std::size_t close = text_.find('"', pos_ + 1);
    if (close == std::string_view::npos) {
      quoteUnclosed_ = true;
      return std::nullopt;
    }
    value = text_.substr(pos_ + 1, close - pos_ - 1);
    pos_ = close + 1;
    // Anything between the closing quote and the separator is not part of it.
    SkipBlanks();
    textAfterQuote_ = !AtEnd() && Peek() != ',' && !AtLineEnd();
    while (!AtEnd() && Peek() != ',' && !AtLineEnd()) ++pos_;
  } else {
    const std::size_t start = pos_;
    while (!AtEnd() && Peek() != ',' && !AtLineEnd()) ++pos_;
    value = text_.substr(start, pos_ - start);
    while (!value.empty() && IsBlank(value.back())) value.remove_suffix(1);
  }
  ConsumeSeparator();
  return value;
}

std::optional<std::string_view> FieldStream::ReadNumberToken() {
  // A number may stand on the line after the comma that precedes it.
  while (!AtEnd() && (IsBlank(Peek()) || AtLineEnd())) ++pos_;
  itemStart_ = pos_;
  if (AtEnd()) return std::nullopt;
  const std::size_t start = pos_;
  while (!AtEnd() && Peek() != ',' && !IsBlank(Peek()) && !AtLineEnd()) ++pos_;
  const std::string_view token = text_.substr(start, pos_ - start);
  ConsumeSeparator();
  return token;
}

bool FieldStream::SkipLine() {
  itemStart_ = pos_;
  if (AtEnd()) return false;
  while (!AtEnd() && !AtLineEnd()) ++pos_;
  ConsumeLineEnd();
  return true;
}

std::size_t FieldStream::LineAt(std::size_t position) const {
  std::size_t line = 1;
  const std::size_t end = std::min(position, text_.size());
  for (std::size_t i = 0; i < end; ++i) {
    // CR LF is one line end, a CR or an LF alone is one too.
    if (text_[i] == '\n' || (text_[i] == '\r' && (i + 1 >= text_.size() || text_[i + 1] != '\n'))) ++line;
  }
  return line;
}

bool FieldStream::FieldFollowsOnItsLine() const {
  if (!endedAtComma_) return false;
  for (std::size_t p = pos_; p < text_.size() && text_[p] != '\r' && text_[p] != '\n'; ++p) {
    if (!IsBlank(text_[p]) && text_[p] != '\x1a') return true;
  }
  return false;
}

std::optional<float> ParseNumber(std::string_view token) {
  // from_chars alone would also take "inf" and "nan".
  if (token.empty() || DecimalNumberLength(token) != token.size()) return std::nullopt;
  if (token.front() == '+') token.remove_prefix(1);
  float value = 0;
  const auto [end, error] = std::from_chars(token.data(), token.data() + token.size(), value);
  if (error != std::errc() || end != token.data() + token.size()) return std::nullopt;
  return value;
}

} // namespace sinkview
