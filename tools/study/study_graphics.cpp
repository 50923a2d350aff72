#include "tools/study/study_graphics.h"

#include <QDate>
#include <QFileInfo>
#include <QFontMetricsF>
#include <QGuiApplication>
#include <QPainter>
#include <QPdfWriter>
#include <algorithm>
#include <set>

#include "figures/figure.h"
#include "figures/offscreen.h"
#include "model/numtext.h"
#include "model/prepared_series.h"
#include "model/reader_text.h"
#include "paths/program_paths.h"
#include "study/study_csv.h"
#include "ui/design_units.h"
#include "ui/painter_surface.h"
#include "ui/rendered_file.h"

namespace sinkview {

namespace {

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

double PixelsPerMm(const QPaintDevice* device) { return device->logicalDpiX() / 25.4; }

} // namespace

CohortPlot CohortPlotOf(const StudyResult& result, double widthMm, double pixelsPerMm) {
  CohortPlot plot;
  plot.thresholdMm = result.thresholdMm;
  plot.widthMm = widthMm;
  plot.heightMm = CohortFigureHeightMm(widthMm);
  plot.pixelsPerMm = pixelsPerMm;
  for (const Visit& visit : result.protocol.visits) {
    if (visit.name != result.protocol.primaryVisit) continue;
    plot.primaryMonths = visit.months;
    plot.primaryVisit = visit.name;
  }
  for (const std::string& name : result.groups) plot.groups.push_back({name, 0, {}});
  const auto groupIndex = [&](const std::string& name) {
    return static_cast<int>(std::find(result.groups.begin(), result.groups.end(), name) -
                            result.groups.begin());
  };
  for (const PatientSummary& hip : result.patients) {
    const int group = groupIndex(hip.group);
    if (hip.events.excluded || group >= static_cast<int>(plot.groups.size())) continue;
    ++plot.groups[static_cast<std::size_t>(group)].hips;
    // The hip on the study clock: its measured visits, baseline first.
    CohortCourse course;
    course.group = group;
    for (const VisitValue& value : hip.visits) {
      if (value.status != VisitStatus::Measured || !value.days || !value.subsidence) continue;
      course.months.push_back(*value.days / kDaysPerMonth);
      course.changeMm.push_back(*value.subsidence);
    }
    plot.courses.push_back(std::move(course));
  }
  for (const CohortRow& row : result.cohort) {
    const int group = groupIndex(row.group);
    if (row.series != CohortSeries::Subsidence || group >= static_cast<int>(plot.groups.size())) continue;
    plot.groups[static_cast<std::size_t>(group)].means.push_back(
        {row.followUpMonths, row.n, row.mean, row.ci95Low, row.ci95High});
  }
  return plot;
}

void DrawCohortFigure(QPainter& painter, const QRectF& area, const StudyResult& result) {
  painter.save();
  PainterSurface surface(painter, area, Qt::white, Qt::black, DesignFont());
  const double pixelsPerMm = PixelsPerMm(painter.device());
  CohortPlot plot = CohortPlotOf(result, area.width() / pixelsPerMm, pixelsPerMm);
  plot.heightMm = area.height() / pixelsPerMm;
  DrawCohortPlot(plot, surface);
  painter.restore();
}

Expected<AtomicFile, Failure> CohortFigureInTemporary(const std::string& path, const StudyResult& result,
                                                      double widthMm) {
  EnsureGuiApplication();
  const QString suffix = QFileInfo(QString::fromLocal8Bit(path)).suffix().toLower();
  if (suffix != "png" && suffix != "pdf" && suffix != "svg")
    return Unexpected(Failure{ShownFileName(path) + ": the figure's name must end in .png, .pdf or .svg."});
  const double pixelsPerMm = kFigureDotsPerInch / 25.4;
  const QSize size(static_cast<int>(std::lround(widthMm * pixelsPerMm)),
                   static_cast<int>(std::lround(CohortFigureHeightMm(widthMm) * pixelsPerMm)));
  return DrawingInTemporary(
      path, size,
      [&](QPainter& painter) {
        PainterSurface surface(painter, QRectF(QPointF(0, 0), size), Qt::white, Qt::black, DesignFont());
        DrawCohortPlot(CohortPlotOf(result, widthMm, pixelsPerMm), surface);
      },
      kFigureDotsPerInch);
}

std::vector<BlandAltmanPanel> BlandAltmanPanelsOf(const StudyResult& result) {
  std::vector<BlandAltmanPanel> panels;
  if (!result.repeat) return panels;
  for (const AgreementRow& row : result.repeat->rows) {
    if (!row.bias || !row.limits) continue;
    BlandAltmanPanel panel;
    panel.title = row.series == CohortSeries::Subsidence ? "Subsidence" : "Stem/cement interface";
    for (const ReadingPair& pair : result.repeat->pairs) {
      if (pair.series != row.series) continue;
      panel.meansMm.push_back((pair.first + pair.second) / 2);
      panel.differencesMm.push_back(pair.first - pair.second);
    }
    panel.biasMm = *row.bias;
    panel.lowMm = (*row.limits)[0];
    panel.highMm = (*row.limits)[1];
    panels.push_back(std::move(panel));
  }
  return panels;
}

Expected<AtomicFile, Failure> BlandAltmanFigureInTemporary(const std::string& path,
                                                           const StudyResult& result) {
  EnsureGuiApplication();
  const QString suffix = QFileInfo(QString::fromLocal8Bit(path)).suffix().toLower();
  if (suffix != "png" && suffix != "pdf" && suffix != "svg")
    return Unexpected(Failure{ShownFileName(path) + ": the figure's name must end in .png, .pdf or .svg."});
  const std::vector<BlandAltmanPanel> panels = BlandAltmanPanelsOf(result);
  if (panels.empty())
    return Unexpected(
        Failure{ShownFileName(path) + ": no Bland-Altman plot without two pairs of repeat readings."});
  // A column of 85 mm, a panel 64 mm high; a PNG is drawn at 300 dpi.
  const double pixelsPerMm = kDotsPerInch / 25.4;
  const QSizeF panel(85 * pixelsPerMm, 64 * pixelsPerMm);
  const double scale = suffix == "png" ? 300.0 / kDotsPerInch : 1;
  const QSize size =
      (QSizeF(panel.width(), panel.height() * static_cast<double>(panels.size())) * scale).toSize();
  return DrawingInTemporary(path, size, [&](QPainter& painter) {
    painter.scale(scale, scale);
    for (std::size_t i = 0; i < panels.size(); ++i) {
      PainterSurface surface(painter, QRectF(QPointF(0, panel.height() * static_cast<double>(i)), panel),
                             Qt::white, Qt::black, DesignFont());
      DrawBlandAltmanPanel(panels[i], surface);
    }
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

// The report's numbers: millimetres with two decimals, percentages with
// one, days whole.
QString Fixed(double value, int decimals) {
  return QString::fromStdString(FixedText(value, decimals, kFileDecimalPoint));
}
QString Label(double value) { return QString::fromStdString(LabelText(value, kFileDecimalPoint)); }
QString Mm(const std::optional<double>& value) { return value ? Fixed(*value, 2) : QString(); }

// "3 patients (4 hips)": hips are counted with the patients they belong to.
QString PatientsAndHips(const std::vector<PatientSummary>& hips, const std::string& group = {}) {
  std::set<std::string> patients;
  int count = 0;
  for (const PatientSummary& hip : hips) {
    if (!group.empty() && hip.group != group) continue;
    patients.insert(hip.patient);
    ++count;
  }
  const auto n = static_cast<int>(patients.size());
  return QString("%1 patient%2 (%3 hip%4)")
      .arg(n)
      .arg(n == 1 ? "" : "s")
      .arg(count)
      .arg(count == 1 ? "" : "s");
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
  pages.Text(QString::fromStdString(result.protocol.title), 16, true);
  pages.Text("Sinkview study report", 10);
  pages.Gap(6);
  QStringList folders;
  for (const std::string& folder : result.folders) folders << QString::fromStdString(folder);
  pages.Text("Study: " + folders.join(", ") + (options.recursive ? " (with sub-folders)" : ""), 9);
  pages.Text("Made on " + QDate::currentDate().toString(Qt::ISODate), 9);
  pages.Text(SettingsText(options), 9);
  QStringList times;
  for (const Visit& visit : result.protocol.visits) times << Label(visit.months);
  pages.Text(QString("Visits at %1 months since surgery; threshold %2 mm at %3.")
                 .arg(times.join(", "), Fixed(result.thresholdMm, 2),
                      QString::fromStdString(result.protocol.primaryVisit)),
             9);
  const auto flagged = std::count_if(result.patients.begin(), result.patients.end(),
                                     [](const PatientSummary& p) { return p.overThreshold.value_or(false); });
  pages.Text(QString("%1 read, %2 files rejected; hips over the threshold: %3.")
                 .arg(PatientsAndHips(result.patients))
                 .arg(result.rejected.size())
                 .arg(flagged),
             9, true);
  if (result.cancelled) pages.Text("The reading was cancelled: the study is incomplete.", 9, true);
  pages.Gap(10);
  const QRectF area = pages.Take(pages.page().bottom() - pages.Top());
  // The paper's two-column width, or as much as the page has room for.
  const double pixelsPerMm = PixelsPerMm(pages.painter().device());
  const double widthMm =
      std::min({kTwoColumnsMm, area.width() / pixelsPerMm, (area.height() / pixelsPerMm - 40) / 0.35});
  DrawCohortFigure(
      pages.painter(),
      QRectF(area.left(), area.top(), widthMm * pixelsPerMm, CohortFigureHeightMm(widthMm) * pixelsPerMm),
      result);
}

void DrawProtocolTable(ReportPages& pages, const Protocol& protocol) {
  std::vector<std::vector<QString>> rows;
  for (const Visit& visit : protocol.visits)
    rows.push_back({QString::fromStdString(visit.name), Label(visit.months), Label(visit.windowMonths[0]),
                    Label(visit.windowMonths[1]), visit.name == protocol.primaryVisit ? "primary" : ""});
  DrawTable(pages, "Protocol: visits and their windows (months since surgery)",
            {"visit", "target", "window from", "window to", ""}, rows, {});
}

// What became of a hip at a visit other than a measurement, in words.
QString NotMeasured(const FlowRow& row) {
  QStringList reasons;
  for (int status = 0; status < kVisitStatusCount; ++status) {
    const auto count = row.counts[static_cast<std::size_t>(status)];
    if (status == static_cast<int>(VisitStatus::Measured) || count == 0) continue;
    QString name = QString::fromUtf8(StatusName(static_cast<VisitStatus>(status)));
    reasons << QString("%1 %2").arg(name.replace('_', ' ')).arg(count);
  }
  return reasons.join(", ");
}

// The participant flow: a chain of boxes per group, from the hips enrolled
// down through every visit.
void DrawFlowDiagram(ReportPages& pages, const StudyResult& result) {
  pages.NewPage();
  pages.Text("Participant flow", 10, true);
  QPainter& painter = pages.painter();
  QFont font = DesignFont();
  font.setPointSizeF(7);
  painter.setFont(font);
  const QFontMetricsF metrics(font, painter.device());
  const double line = metrics.height(), gap = 0.8 * line;
  const double columns = static_cast<double>(std::max<std::size_t>(1, result.groups.size()));
  const double columnWidth = pages.page().width() / columns;
  const double top = pages.Top();
  double bottom = top;
  for (std::size_t g = 0; g < result.groups.size(); ++g) {
    const std::string& group = result.groups[g];
    const double left = pages.page().left() + static_cast<double>(g) * columnWidth + 4;
    const double width = columnWidth - 8;
    double y = top;
    const auto box = [&](const QStringList& lines) {
      if (y > top) {
        painter.setPen(QPen(Qt::black, 1));
        painter.drawLine(QPointF(left + width / 2, y - gap), QPointF(left + width / 2, y));
      }
      const QRectF r(left, y, width, line * (static_cast<double>(lines.size()) + 0.4));
      painter.setPen(QPen(Qt::black, 1));
      painter.drawRect(r);
      painter.drawText(r.adjusted(4, 0, -4, 0), Qt::AlignCenter | Qt::TextWordWrap, lines.join('\n'));
      y = r.bottom() + gap;
    };
    box({QString("Group %1").arg(QString::fromStdString(group)),
         "Enrolled: " + PatientsAndHips(result.patients, group)});
    for (const FlowRow& row : result.flow) {
      if (row.group != group) continue;
      const auto measured = row.counts[static_cast<std::size_t>(VisitStatus::Measured)];
      QStringList lines{QString("%1: %2 of %3 hips measured")
                            .arg(QString::fromStdString(row.visit))
                            .arg(measured)
                            .arg(row.hips)};
      if (const QString reasons = NotMeasured(row); !reasons.isEmpty()) lines << "not measured: " + reasons;
      box(lines);
    }
    bottom = std::max(bottom, y);
  }
  pages.Gap(bottom - top);
}

// When the radiographs used were taken: study days per group and visit.
void DrawTimingTable(ReportPages& pages, const StudyResult& result) {
  std::vector<std::vector<QString>> rows;
  for (const FlowRow& row : result.flow) {
    const Description& d = row.days;
    rows.push_back({QString::fromStdString(row.group), QString::fromStdString(row.visit),
                    QString::number(d.n), d.mean ? Fixed(*d.mean, 0) : QString(),
                    d.sd ? Fixed(*d.sd, 0) : QString(),
                    d.min ? Fixed(*d.min, 0) + " to " + Fixed(*d.max, 0) : QString()});
  }
  DrawTable(pages, "Timing of the radiographs used (days since surgery)",
            {"group", "visit", "n", "mean", "SD", "range"}, rows, {});
}

void DrawBandsTable(ReportPages& pages, const StudyResult& result) {
  std::vector<std::vector<QString>> rows;
  for (const BandRow& row : result.bands) {
    const QString percent = row.of > 0 ? Fixed(100.0 * row.n / row.of, 1) : QString();
    rows.push_back(
        {QString::fromStdString(row.group), QString::fromUtf8(row.band).replace('_', ' '),
         QString("%1 of %2").arg(row.n).arg(row.of), percent,
         row.ci95 ? Fixed(100 * (*row.ci95)[0], 1) + " to " + Fixed(100 * (*row.ci95)[1], 1) : QString()});
  }
  DrawTable(pages,
            QString("Bands at %1 (%2 to %3 mm; Wilson 95 % interval)")
                .arg(QString::fromStdString(result.protocol.primaryVisit),
                     Fixed(result.protocol.bandsMm[0], 2), Fixed(result.protocol.bandsMm[1], 2)),
            {"group", "band", "hips", "%", "95 % CI (%)"}, rows, {});
}

void DrawStudyTables(ReportPages& pages, const StudyResult& result) {
  std::vector<std::vector<QString>> rows;
  for (const CohortRow& row : result.cohort) {
    rows.push_back({row.series == CohortSeries::Subsidence ? "subsidence" : "stem/cement",
                    QString::fromStdString(row.group), QString::fromStdString(row.visit),
                    QString::number(row.n), Mm(row.mean), Mm(row.sd), Mm(row.median), Mm(row.min),
                    Mm(row.max), Mm(row.ci95Low), Mm(row.ci95High)});
  }
  DrawTable(pages, "Cohort statistics per group and visit (mm)",
            {"series", "group", "visit", "hips", "mean", "SD", "median", "min", "max", "95 % CI low",
             "95 % CI high"},
            rows, {});

  rows.clear();
  std::vector<bool> marked;
  for (const PatientSummary& p : result.patients) {
    rows.push_back({QString::fromStdString(p.file), QString::fromStdString(p.patient),
                    QString::fromStdString(p.side), QString::number(p.radiographs),
                    QString::fromStdString(CsvNumber(p.observationMonths)), QString::number(p.isolated),
                    QString::number(p.breaks), Mm(p.subsidenceLastMm), Mm(p.subsidencePrimaryMm),
                    Mm(p.stemCementLastMm), QString::fromStdString(Number(p.angleChangeLastDeg)),
                    QString::fromStdString(Flag(p.overThreshold))});
    marked.push_back(p.overThreshold.value_or(false));
  }
  DrawTable(pages, QString("Patients (over the threshold of %1 mm in red)").arg(Fixed(result.thresholdMm, 2)),
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
    DrawProtocolTable(pages, result.protocol);
    DrawTimingTable(pages, result);
    DrawBandsTable(pages, result);
    DrawFlowDiagram(pages, result);
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

Expected<void, Failure> WriteCohortFigure(const std::string& path, const StudyResult& result,
                                          double widthMm) {
  return Committed(CohortFigureInTemporary(path, result, widthMm));
}

Expected<void, Failure> WriteStudyReport(const std::string& path, const StudyResult& result,
                                         const StudyOptions& options) {
  return Committed(StudyReportInTemporary(path, result, options));
}

} // namespace sinkview
