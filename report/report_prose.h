#pragma once

// The write-up's Markdown drawn as the report's text: headings in bold,
// paragraphs and list items wrapped to the page's width.

#include <string>

#include "report/report_pages.h"

namespace sinkview {

// The text's first heading is left out: the section's own title stands for it.
void DrawProse(ReportPages& pages, const std::string& markdown);

// `text` in lines that fit the page, broken between words.
void DrawWrapped(ReportPages& pages, const QString& text, double points, bool bold = false);

} // namespace sinkview
