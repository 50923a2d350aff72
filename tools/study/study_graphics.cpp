#include "tools/study/study_graphics.h"

#include <QDate>
#include <QFileInfo>
#include <QFontMetricsF>
#include <QGuiApplication>
#include <QPainter>
#include <QPdfWriter>
#include <algorithm>

#include "figures/figure.h"
#include "figures/offscreen.h"
#include "model/prepared_series.h"
#include "model/reader_text.h"
#include "paths/program_paths.h"
#include "study/study_csv.h"
#include "ui/design_units.h"
#include "ui/painter_surface.h"
#include "ui/rendered_file.h"

namespace sinkview {

namespace {

// The figure's size in device-independent pixels.
constexpr QSize kCohortFigureSize(960, 640);

// The command-line program makes no GUI application; the study window has one.
void EnsureGuiApplication() {
  if (QCoreApplication::instance()) return;
  static char name[] = "sinkview-study";
  UseOffscreenPlatform(name);
  static int argc = 1;
  static char* argv[] = {name, nullptr};
  // Kept to the end of the process: destroyed among the static objects, it
  // would outlive parts of Qt it needs.
  static QGuiApplication* application = new QGuiApplication(argc, argv);
  (void)application;
}

} // namespace

CohortPlot CohortPlotOf(const StudyResult& result) {
  CohortPlot plot;
  plot.thresholdMm = result.thresholdMm;
  for (const PatientSummary& patient : result.patients) {
    CohortCourse course;
    for (const CoursePoint& point : patient.subsidence) {
      course.months.push_back(point.months);
      course.changeMm.push_back(point.change);
    }
    plot.courses.push_back(std::move(course));
  }
  // The means of the first group: the figure shows one group's.
  for (const CohortRow& row : result.cohort) {
    if (row.series != CohortSeries::Subsidence || row.group != result.groups.front() || row.n < 1 ||
        !row.mean)
      continue;
    plot.means.push_back({row.followUpMonths, row.n, *row.mean, row.ci95Low, row.ci95High});
  }
  return plot;
}

void DrawCohortFigure(QPainter& painter, const QRectF& area, const StudyResult& result) {
  painter.save();
  PainterSurface surface(painter, area, Qt::white, Qt::black, DesignFont());
  DrawCohortPlot(CohortPlotOf(result), surface);
  painter.restore();
}

Expected<AtomicFile, Failure> CohortFigureInTemporary(const std::string& path, const StudyResult& result) {
  EnsureGuiApplication();
  const QString suffix = QFileInfo(QString::fromLocal8Bit(path)).suffix().toLower();
  if (suffix != "png" && suffix != "pdf" && suffix != "svg")
    return Unexpected(Failure{ShownFileName(path) + ": the figure's name must end in .png, .pdf or .svg."});
  return DrawingInTemporary(path, kCohortFigureSize, [&](QPainter& painter) {
    DrawCohortFigure(painter, QRectF(QPointF(0, 0), kCohortFigureSize), result);
  });
}

namespace {

// Pages of the report are A4 landscape at the figures' kDotsPerInch, so the
// windows' figures keep their proportions and fonts.
constexpr double kMargin = 40;

std::string Number(const std::optional<double>& value) { return value ? CsvNumber(*value) : std::string(); }

std::string Flag(const std::optional<bool>& flag) {
  if (!flag) return "";
  return *flag ? "yes" : "no";
}

// A page being filled from the top: blocks are placed one below the other,
// and a block that does not fit starts a new page.
class ReportPages {
public:
  ReportPages(QPdfWriter& pdf, QPainter& painter) : pdf_(pdf), painter_(painter) {
    page_ = QRectF(QPointF(0, 0), QSizeF(pdf.width(), pdf.height()))
                .adjusted(kMargin, kMargin, -kMargin, -kMargin);
    y_ = page_.top();
  }

  QPainter& painter() { return painter_; }
  const QRectF& page() const { return page_; }

  // The rectangle for a block of `height` below the last, on a new page if need be.
  QRectF Take(double height) {
    if (y_ + height > page_.bottom() && y_ > page_.top()) NewPage();
    const QRectF block(page_.left(), y_, page_.width(), height);
    y_ += height;
    return block;
  }
  bool Fits(double height) const { return y_ + height <= page_.bottom(); }
  double Top() const { return y_; }
  void NewPage() {
    pdf_.newPage();
    y_ = page_.top();
  }

  void Text(const QString& text, double points, bool bold = false) {
    QFont font = DesignFont();
    font.setPointSizeF(points);
    font.setBold(bold);
    painter_.setFont(font);
    painter_.setPen(Qt::black);
    const QFontMetricsF metrics(font, painter_.device());
    const QRectF r = Take(metrics.height() * 1.25);
    painter_.drawText(QPointF(r.left(), r.top() + metrics.ascent()), text);
  }
  void Gap(double height) { y_ = std::min(y_ + height, page_.bottom()); }

private:
  QPdfWriter& pdf_;
  QPainter& painter_;
  QRectF page_;
  double y_ = 0;
};

// A table with a header row, repeated on each page it runs onto; `marked`
// rows are drawn in bold red on a light red ground.
void DrawTable(ReportPages& pages, const QString& title, const std::vector<QString>& headers,
               const std::vector<std::vector<QString>>& rows, const std::vector<bool>& marked) {
  QFont font = DesignFont();
  font.setPointSizeF(7);
  font.setBold(false);
  QFont bold = font;
  bold.setBold(true);
  QPainter& painter = pages.painter();
  const QFontMetricsF metrics(bold, painter.device());
  std::vector<double> widths(headers.size());
  for (std::size_t c = 0; c < headers.size(); ++c) {
    widths[c] = metrics.horizontalAdvance(headers[c]);
    for (const auto& row : rows) widths[c] = std::max(widths[c], metrics.horizontalAdvance(row[c]));
  }
  // Columns wider than the page share its width.
  double total = 0;
  for (double& w : widths) total += (w += 8);
  if (total > pages.page().width())
    for (double& w : widths) w *= pages.page().width() / total;
  const double rowHeight = metrics.height() + 3;

  const auto drawRow = [&](const std::vector<QString>& cells, bool header, bool mark) {
    const QRectF r = pages.Take(rowHeight);
    if (mark)
      painter.fillRect(QRectF(r.left(), r.top(), std::min(total, r.width()), r.height()),
                       QColor(255, 222, 222));
    painter.setFont(header || mark ? bold : font);
    painter.setPen(mark ? QColor(190, 0, 0) : QColor(Qt::black));
    double x = r.left();
    for (std::size_t c = 0; c < cells.size(); ++c) {
      painter.drawText(QRectF(x + 2, r.top(), widths[c] - 4, r.height()), Qt::AlignVCenter | Qt::AlignLeft,
                       cells[c]);
      x += widths[c];
    }
    if (header) {
      painter.setPen(Qt::black);
      painter.drawLine(QPointF(r.left(), r.bottom()), QPointF(x, r.bottom()));
    }
  };

  pages.Gap(rowHeight);
  pages.Text(title, 10, true);
  drawRow(headers, true, false);
  for (std::size_t i = 0; i < rows.size(); ++i) {
    if (!pages.Fits(rowHeight)) { // a page break repeats the header
      pages.NewPage();
      drawRow(headers, true, false);
    }
    drawRow(rows[i], false, i < marked.size() && marked[i]);
  }
}

QString SettingsText(const StudyOptions& options) {
  const Settings& s = options.settings;
  QString text =
      QString("Subsidence related to the %1 trochanter, reference point %2; time limit %3 months; ")
          .arg(s.TrochanterChoice == Trochanter::Major ? "major" : "minor",
               s.ReferencePoint == Reference::StemShoulder ? "stem shoulder" : "head center",
               QString::fromStdString(CsvNumber(MonthsForDays(s.TimeLimitDays))));
  text +=
      QString("magnification by %1, %2.")
          .arg(s.MagnificationSource == MagnificationBasis::HeadRadius ? "head radius" : "stem length",
               s.UseMeanMagnification == FactorChoice::Mean ? "the mean factor" : "each radiograph's factor");
  return text;
}

void DrawFrontPage(ReportPages& pages, const StudyResult& result, const StudyOptions& options) {
  pages.Text("Sinkview study report", 16, true);
  pages.Gap(6);
  QStringList folders;
  for (const std::string& folder : result.folders) folders << QString::fromStdString(folder);
  pages.Text("Study: " + folders.join(", ") + (options.recursive ? " (with sub-folders)" : ""), 9);
  pages.Text("Made on " + QDate::currentDate().toString(Qt::ISODate), 9);
  pages.Text(SettingsText(options), 9);
  QStringList times;
  for (const Visit& visit : result.protocol.visits) times << QString::fromStdString(CsvNumber(visit.months));
  pages.Text(QString("Follow-up at %1 months; threshold %2 mm at %3.")
                 .arg(times.join(", "), QString::fromStdString(CsvNumber(result.thresholdMm)),
                      QString::fromStdString(result.protocol.primaryVisit)),
             9);
  const auto flagged = std::count_if(result.patients.begin(), result.patients.end(),
                                     [](const PatientSummary& p) { return p.overThreshold.value_or(false); });
  pages.Text(QString("%1 data files read, %2 rejected; %3 patients over the threshold.")
                 .arg(result.patients.size())
                 .arg(result.rejected.size())
                 .arg(flagged),
             9, true);
  if (result.cancelled) pages.Text("The reading was cancelled: the study is incomplete.", 9, true);
  pages.Gap(10);
  const QRectF area = pages.Take(pages.page().bottom() - pages.Top());
  const double height =
      std::min(area.height(), area.width() * kCohortFigureSize.height() / kCohortFigureSize.width());
  DrawCohortFigure(pages.painter(), QRectF(area.left(), area.top(), height * 1.5, height), result);
}

void DrawStudyTables(ReportPages& pages, const StudyResult& result) {
  std::vector<std::vector<QString>> rows;
  for (const CohortRow& row : result.cohort) {
    rows.push_back({row.series == CohortSeries::Subsidence ? "subsidence" : "stem/cement",
                    QString::fromStdString(CsvNumber(row.followUpMonths)), QString::number(row.n),
                    QString::fromStdString(Number(row.mean)), QString::fromStdString(Number(row.sd)),
                    QString::fromStdString(Number(row.median)), QString::fromStdString(Number(row.min)),
                    QString::fromStdString(Number(row.max)), QString::fromStdString(Number(row.ci95Low)),
                    QString::fromStdString(Number(row.ci95High))});
  }
  DrawTable(pages, "Cohort statistics (mm)",
            {"series", "months", "n", "mean", "sd", "median", "min", "max", "95 % CI low", "95 % CI high"},
            rows, {});

  rows.clear();
  std::vector<bool> marked;
  for (const PatientSummary& p : result.patients) {
    rows.push_back({QString::fromStdString(p.file), QString::fromStdString(p.patient),
                    QString::fromStdString(p.side), QString::number(p.radiographs),
                    QString::fromStdString(CsvNumber(p.observationMonths)), QString::number(p.isolated),
                    QString::number(p.breaks), QString::fromStdString(Number(p.subsidenceLastMm)),
                    QString::fromStdString(Number(p.subsidencePrimaryMm)),
                    QString::fromStdString(Number(p.stemCementLastMm)),
                    QString::fromStdString(Number(p.angleChangeLastDeg)),
                    QString::fromStdString(Flag(p.overThreshold))});
    marked.push_back(p.overThreshold.value_or(false));
  }
  DrawTable(pages,
            QString("Patients (over the threshold of %1 mm in red)")
                .arg(QString::fromStdString(CsvNumber(result.thresholdMm))),
            {"file", "patient", "side", "x-rays", "months", "isolated", "breaks", "last mm", "primary mm",
             "stem/cement mm", "angle deg", "over"},
            rows, marked);

  if (result.rejected.empty()) return;
  rows.clear();
  for (const RejectedFile& r : result.rejected)
    rows.push_back({QString::fromStdString(r.file), QString::fromStdString(r.reason)});
  DrawTable(pages, "Rejected files", {"file", "reason"}, rows, {});
}

// One patient's page, from the series read for the rest of the study.
void DrawPatientPage(ReportPages& pages, const PatientSummary& patient, const std::string& programDirectory) {
  pages.NewPage();
  pages.Text(QString::fromStdString(patient.file), 10, true);
  if (!patient.prepared) return;
  const PreparedSeries& prepared = *patient.prepared;
  QPainter& painter = pages.painter();
  const QRectF area = pages.Take(pages.page().bottom() - pages.Top());
  // The graphics figure on the left, the table on the right, each at its
  // design size scaled to half the page.
  const auto place = [&](QRectF box, QSize design, const auto& draw) {
    const double scale = std::min(box.width() / design.width(), box.height() / design.height());
    painter.save();
    painter.translate(box.topLeft());
    painter.scale(scale, scale);
    draw(design);
    painter.restore();
  };
  const double half = area.width() / 2 - 5;
  place(QRectF(area.left(), area.top(), half, area.height()), GraphicsDesignSize(),
        [&](QSize size) { DrawGraphicsFigure(painter, size, prepared, programDirectory); });
  place(QRectF(area.left() + half + 10, area.top(), half, area.height()), TableDesignSize(),
        [&](QSize size) { DrawTableFigure(painter, size, prepared); });
}

} // namespace

Expected<AtomicFile, Failure> StudyReportInTemporary(const std::string& path, const StudyResult& result,
                                                     const StudyOptions& options) {
  EnsureGuiApplication();
  const std::string programDirectory = ResolveProgramPaths(RunningProgramDirectory(), "").ProgramDirectory;
  // Drawn whole into memory by the program's one writer for Qt's devices.
  const std::string cannotBeDrawn = "cannot be drawn";
  const auto draw = [&](QIODevice& out) -> std::string {
    QPdfWriter pdf(&out);
    pdf.setResolution(kDotsPerInch);
    pdf.setPageSize(QPageSize(QPageSize::A4));
    pdf.setPageOrientation(QPageLayout::Landscape);
    pdf.setPageMargins(QMarginsF(0, 0, 0, 0));
    pdf.setTitle("Sinkview study report");
    QPainter painter;
    if (!painter.begin(&pdf)) return cannotBeDrawn;
    ReportPages pages(pdf, painter);
    DrawFrontPage(pages, result, options);
    pages.NewPage();
    DrawStudyTables(pages, result);
    for (const PatientSummary& patient : result.patients) DrawPatientPage(pages, patient, programDirectory);
    return painter.end() ? std::string() : cannotBeDrawn;
  };
  return RenderToTemporary(path, draw, [&](const std::string& reason) {
    if (reason == cannotBeDrawn) return Failure{ShownFileName(path) + ": the report cannot be drawn."};
    return Failure{ShownFileName(path) + ": the report is not written (" + reason +
                   "). An older file of that name is unchanged."};
  });
}

namespace {

Expected<void, Failure> Committed(Expected<AtomicFile, Failure> file) {
  if (!file) return Unexpected(file.error());
  return file->Commit();
}

} // namespace

Expected<void, Failure> WriteCohortFigure(const std::string& path, const StudyResult& result) {
  return Committed(CohortFigureInTemporary(path, result));
}

Expected<void, Failure> WriteStudyReport(const std::string& path, const StudyResult& result,
                                         const StudyOptions& options) {
  return Committed(StudyReportInTemporary(path, result, options));
}

} // namespace sinkview
