#pragma once

// The study report's page filling, its tables and the texts its numbers
// are shown with.

#include <QRectF>
#include <QString>
#include <atomic>
#include <optional>
#include <string>
#include <vector>

#include "study/study.h"

class QPainter;
class QPdfWriter;

namespace sinkview {

// A text of study/reading_text.h, which formats every number of the
// report's tables, as the report draws it.
inline QString TableText(const std::string& text) { return QString::fromStdString(text); }
// A month or a limit as short as it is exact ("24", "4.5").
QString Label(double value);
// Millimetres with two decimals; empty for no value.
QString Mm(const std::optional<double>& value);
QString Flag(const std::optional<bool>& flag);

// "3 patients (4 hips)": hips are counted with the patients they belong to;
// with a `group`, that group's only.
QString PatientsAndHips(const std::vector<PatientSummary>& hips, const std::string& group = {});

// Where the report's sections begin and how many pages it has: what a
// first layout finds, for the contents and the page footers of the second.
struct ReportOutline {
  struct Entry {
    QString name;
    int page = 0; // from 1
  };
  std::vector<Entry> sections;
  int pages = 0;
};

// A page being filled from the top: blocks are placed one below the other,
// and a block that does not fit starts a new page. Each page ends with its
// footer "Page N of M", M from the outline of an earlier layout.
class ReportPages {
public:
  // `stop`, once set, leaves the rest undrawn: each page and each table row
  // looks at it (Stopped).
  ReportPages(QPdfWriter& pdf, QPainter& painter, ReportOutline laidOut = {},
              const std::atomic<bool>* stop = nullptr);

  QPainter& painter() { return painter_; }
  const QRectF& page() const { return page_; }

  // The rectangle for a block of `height` below the last, on a new page if need be.
  QRectF Take(double height);
  bool Fits(double height) const { return y_ + height <= page_.bottom(); }
  double Top() const { return y_; }
  // A new page, unless nothing is drawn on this one yet.
  void NewPage();
  void Text(const QString& text, double points, bool bold = false);
  void Gap(double height);

  // Starts the section `name` of the contents, on a page of its own or
  // below the last block: the one call a new section of the report needs.
  // Its page is the one its first block lands on; a section that draws no
  // block before the next section or the end is not listed.
  void Section(const QString& name, bool newPage = true);
  // The contents as laid out before, with each section's page, in `area`.
  void DrawContents(const QRectF& area);
  // Whether this is the layout kept, with the outline of an earlier one: a
  // drawing that moves no block may be left out of the first, which only
  // counts the pages.
  bool Final() const { return laidOut_.pages > 0; }
  // Whether the run was stopped: nothing more is worth drawing.
  bool Stopped() const { return stop_ && stop_->load(); }
  // Ends the last page: where the sections began and how many pages there are.
  ReportOutline Finish();

private:
  void DrawFooter();

  QPdfWriter& pdf_;
  QPainter& painter_;
  QRectF page_;
  double y_ = 0;
  bool blank_ = true;
  int pageNumber_ = 1;
  const ReportOutline laidOut_;
  ReportOutline outline_;
  std::optional<QString> waiting_; // the section whose first block is still to come
  const std::atomic<bool>* stop_;
};

// A table with a header row, repeated on each page it runs onto; `marked`
// rows are drawn in bold red on a light red ground.
void DrawTable(ReportPages& pages, const QString& title, const std::vector<QString>& headers,
               const std::vector<std::vector<QString>>& rows, const std::vector<bool>& marked);
// The same of a table made as text for reading, none of its rows marked.
void DrawTable(ReportPages& pages, const QString& title, const std::vector<std::string>& headers,
               const std::vector<std::vector<std::string>>& rows);

} // namespace sinkview
