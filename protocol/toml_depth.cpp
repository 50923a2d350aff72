#include "protocol/toml_depth.h"

namespace sinkview {

namespace {

// Where the scan stands: in the TOML itself or inside a text or a comment.
enum class In { Toml, Comment, Basic, Literal, MultiBasic, MultiLiteral };

} // namespace

std::optional<int> LineNestedTooDeep(std::string_view text) {
  In in = In::Toml;
  int line = 1, dots = 0, depth = 0;
  for (std::size_t i = 0; i < text.size(); ++i) {
    const char c = text[i];
    const std::string_view rest = text.substr(i);
    if (c == '\n') {
      ++line;
      dots = 0;
      if (in == In::Comment || in == In::Basic || in == In::Literal) in = In::Toml;
      continue;
    }
    switch (in) {
    case In::Toml:
      if (c == '#') {
        in = In::Comment;
      } else if (rest.starts_with("\"\"\"")) {
        in = In::MultiBasic;
        i += 2;
      } else if (rest.starts_with("'''")) {
        in = In::MultiLiteral;
        i += 2;
      } else if (c == '"') {
        in = In::Basic;
      } else if (c == '\'') {
        in = In::Literal;
      } else if (c == '.') {
        if (++dots > kMaxTomlDepth) return line;
      } else if (c == '[' || c == '{') {
        if (++depth > kMaxTomlDepth) return line;
      } else if ((c == ']' || c == '}') && depth > 0) {
        --depth;
      }
      break;
    case In::Basic:
    case In::MultiBasic:
      if (c == '\\' && i + 1 < text.size() && text[i + 1] != '\n') {
        ++i; // an escaped quote or backslash ends nothing
      } else if (in == In::Basic && c == '"') {
        in = In::Toml;
      } else if (in == In::MultiBasic && rest.starts_with("\"\"\"")) {
        in = In::Toml;
        i += 2;
      }
      break;
    case In::Literal:
      if (c == '\'') in = In::Toml;
      break;
    case In::MultiLiteral:
      if (rest.starts_with("'''")) {
        in = In::Toml;
        i += 2;
      }
      break;
    case In::Comment:
      break;
    }
  }
  return std::nullopt;
}

} // namespace sinkview
