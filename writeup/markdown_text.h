#pragma once

// The write-up's texts as Markdown: headings and paragraphs of sentences,
// LF line ends, one blank line between blocks.

#include <string>
#include <string_view>
#include <vector>

namespace sinkview {

class MarkdownText {
public:
  void Heading(std::string_view line);
  // The sentences as one paragraph; none, no paragraph.
  void Paragraph(const std::vector<std::string>& sentences);
  void Bullets(const std::vector<std::string>& items);
  const std::string& Text() const { return text_; }

private:
  void Block(const std::string& block);
  std::string text_;
};

} // namespace sinkview
