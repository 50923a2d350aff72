#pragma once

// The study report's page filling, its tables and the texts its numbers
// are shown with.

#include <QRectF>
#include <QString>
#include <optional>
#include <string>
#include <vector>

#include "study/study.h"

class QPainter;
class QPdfWriter;

namespace sinkview {

// Numbers for reading: `decimals` after the point, never the locale's comma.
QString Fixed(double value, int decimals);
// A month or a limit as short as it is exact ("24", "4.5").
QString Label(double value);
// Millimetres with two decimals; empty for no value.
QString Mm(const std::optional<double>& value);
// Every digit, as the CSV files have it; empty for no value.
QString Number(const std::optional<double>& value);
QString Flag(const std::optional<bool>& flag);

// "3 patients (4 hips)": hips are counted with the patients they belong to;
// with a `group`, that group's only.
QString PatientsAndHips(const std::vector<PatientSummary>& hips, const std::string& group = {});

// A page being filled from the top: blocks are placed one below the other,
// and a block that does not fit starts a new page.
class ReportPages {
public:
  ReportPages(QPdfWriter& pdf, QPainter& painter);

  QPainter& painter() { return painter_; }
  const QRectF& page() const { return page_; }

  // The rectangle for a block of `height` below the last, on a new page if need be.
  QRectF Take(double height);
  bool Fits(double height) const { return y_ + height <= page_.bottom(); }
  double Top() const { return y_; }
  void NewPage();
  void Text(const QString& text, double points, bool bold = false);
  void Gap(double height);

private:
  QPdfWriter& pdf_;
  QPainter& painter_;
  QRectF page_;
  double y_ = 0;
};

// A table with a header row, repeated on each page it runs onto; `marked`
// rows are drawn in bold red on a light red ground.
void DrawTable(ReportPages& pages, const QString& title, const std::vector<QString>& headers,
               const std::vector<std::vector<QString>>& rows, const std::vector<bool>& marked);

} // namespace sinkview
