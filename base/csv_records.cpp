#include "base/csv_records.h"

namespace sinkview {

namespace {

constexpr std::string_view kByteOrderMark = "\xEF\xBB\xBF";

bool IsLineEnd(char c) { return c == '\n' || c == '\r'; }

// Steps over one line end (CR LF counts once) at `at`.
std::size_t AfterLineEnd(std::string_view text, std::size_t at) {
  return text[at] == '\r' && at + 1 < text.size() && text[at + 1] == '\n' ? at + 2 : at + 1;
}

Expected<char, Failure> HeaderSeparator(std::string_view text, const std::string& shownName) {
  bool comma = false, semicolon = false, quoted = false;
  for (std::size_t at = 0; at < text.size() && (quoted || !IsLineEnd(text[at])); ++at) {
    if (text[at] == '"') quoted = !quoted;
    comma |= !quoted && text[at] == ',';
    semicolon |= !quoted && text[at] == ';';
  }
  if (comma && semicolon)
    return Unexpected(
        Failure{shownName + ": line 1: the header holds both ',' and ';', so the separator cannot be told."});
  return semicolon ? ';' : ',';
}

} // namespace

Expected<CsvRecordReader, Failure> CsvRecordReader::Open(std::string_view text, std::string shownName) {
  if (text.substr(0, kByteOrderMark.size()) == kByteOrderMark) text.remove_prefix(kByteOrderMark.size());
  const auto separator = HeaderSeparator(text, shownName);
  if (!separator) return Unexpected(separator.error());
  return CsvRecordReader(text, *separator, std::move(shownName));
}

Expected<bool, Failure> CsvRecordReader::Next(CsvRecord& record) {
  if (at_ >= text_.size()) return false;
  record.line = line_;
  std::size_t count = 0;
  const auto nextField = [&]() -> std::string& {
    if (count == record.fields.size()) record.fields.emplace_back();
    std::string& field = record.fields[count++];
    field.clear();
    return field;
  };
  while (true) {
    std::string& field = nextField();
    if (text_[at_] != '"') {
      PlainField(field);
    } else if (!QuotedField(field)) {
      return Unexpected(failure_);
    }
    if (at_ >= text_.size()) break;
    if (IsLineEnd(text_[at_])) {
      at_ = AfterLineEnd(text_, at_);
      ++line_;
      break;
    }
    ++at_; // the separator
    if (at_ >= text_.size()) {
      nextField();
      break;
    }
  }
  record.fields.resize(count);
  return true;
}

void CsvRecordReader::PlainField(std::string& field) {
  const std::size_t start = at_;
  while (at_ < text_.size() && text_[at_] != separator_ && !IsLineEnd(text_[at_])) ++at_;
  field.assign(text_.substr(start, at_ - start));
}

bool CsvRecordReader::QuotedField(std::string& field) {
  const int startLine = line_;
  ++at_;
  while (true) {
    if (at_ >= text_.size()) return Fail(startLine, "a quoted field is not closed");
    const char c = text_[at_];
    if (c == '"' && at_ + 1 < text_.size() && text_[at_ + 1] == '"') {
      field += '"';
      at_ += 2;
    } else if (c == '"') {
      ++at_;
      break;
    } else if (IsLineEnd(c)) {
      const std::size_t next = AfterLineEnd(text_, at_);
      field.append(text_.substr(at_, next - at_));
      at_ = next;
      ++line_;
    } else {
      field += c;
      ++at_;
    }
  }
  if (at_ < text_.size() && text_[at_] != separator_ && !IsLineEnd(text_[at_]))
    return Fail(line_, "text follows the closing quote of a field");
  return true;
}

bool CsvRecordReader::Fail(int line, const std::string& what) {
  failure_ = Failure{shownName_ + ": line " + std::to_string(line) + ": " + what + "."};
  return false;
}

Expected<CsvTable, Failure> ReadCsvRecords(std::string_view text, const std::string& shownName) {
  auto reader = CsvRecordReader::Open(text, shownName);
  if (!reader) return Unexpected(reader.error());
  CsvTable table{reader->Separator(), {}};
  CsvRecord record;
  while (true) {
    const auto more = reader->Next(record);
    if (!more) return Unexpected(more.error());
    if (!*more) break;
    table.records.push_back(record);
  }
  return table;
}

} // namespace sinkview
