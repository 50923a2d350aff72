#include "writeup/markdown_text.h"

#include "writeup/phrasing.h"
#include "writeup/say.h"

namespace sinkview {

void MarkdownText::Block(const std::string& block) {
  if (!text_.empty()) text_ += '\n';
  text_ += block;
  text_ += '\n';
}

void MarkdownText::Heading(std::string_view line) { Block(std::string(line)); }

void MarkdownText::Paragraph(const std::vector<std::string>& sentences) {
  std::string paragraph;
  for (const std::string& sentence : sentences) {
    if (sentence.empty()) continue;
    if (!paragraph.empty()) paragraph += ' ';
    paragraph += sentence;
  }
  if (!paragraph.empty()) Block(paragraph);
}

void MarkdownText::Bullets(const std::vector<std::string>& items) {
  std::string list;
  for (const std::string& item : items) {
    if (!list.empty()) list += '\n';
    list += Say(phrasing::kBullet, {item});
  }
  if (!list.empty()) Block(list);
}

} // namespace sinkview
