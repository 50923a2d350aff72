#include "report/report_sections.h"

#include <QDate>
#include <QFontMetricsF>
#include <QPainter>
#include <algorithm>
#include <filesystem>

#include "base/folder_name.h"
#include "base/numtext.h"
#include "protocol/calendar_date.h"
#include "report/gui_application.h"
#include "report/study_graphics.h"
#include "study/reading_text.h"
#include "study/study_csv.h"
#include "ui/design_units.h"

namespace sinkview {

namespace {

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

// A folder as given, but "." or ".." by the folder's own name: they say
// nothing to one who reads the report elsewhere.
QString StudyFolderText(const std::string& folder) {
  for (const std::filesystem::path& part : std::filesystem::path(folder).lexically_normal())
    if (part == "." || part == "..") return QString::fromStdString(FolderName(folder));
  return QString::fromStdString(folder);
}

QString Since(const StudyResult& result) { return QString::fromUtf8(StudyClockText(result.patients)); }

} // namespace

void DrawFrontPage(ReportPages& pages, const ReportInputs& inputs) {
  const StudyResult& result = inputs.result;
  const StudyOptions& options = inputs.options;
  const Provenance* provenance = inputs.provenance;
  pages.Text(QString::fromStdString(result.protocol.title), 16, true);
  pages.Text("Sinkview study report", 10);
  pages.Gap(6);
  QStringList folders;
  for (const std::string& folder : result.folders) folders << StudyFolderText(folder);
  pages.Text("Study: " + folders.join(", ") + (options.recursive ? " (with sub-folders)" : ""), 9);
  pages.Text("Made on " + QDate::currentDate().toString(Qt::ISODate), 9);
  if (provenance) {
    pages.Text(TableText("Data fingerprint (SHA-256 of inputs.csv): " + provenance->inputsSha256), 9);
    QStringList software;
    for (const auto& [component, version] : provenance->software)
      software << TableText(component + " " + version);
    pages.Text("Software: " + software.join(", "), 9);
  }
  pages.Text(SettingsText(options), 9);
  QStringList times;
  for (const Visit& visit : result.protocol.visits) times << Label(visit.months);
  pages.Text(QString("Visits at %1 months %2; threshold %3 mm at %4.")
                 .arg(times.join(", "), Since(result), Mm(result.thresholdMm),
                      QString::fromStdString(result.protocol.primaryVisit)),
             9);
  const auto flagged = std::count_if(result.patients.begin(), result.patients.end(),
                                     [](const PatientSummary& p) { return p.overThreshold.value_or(false); });
  pages.Text(QString("%1 read, %2 files rejected; hips over the threshold: %3.")
                 .arg(PatientsAndHips(result.patients))
                 .arg(result.rejected.size())
                 .arg(flagged),
             9, true);
  if (const std::string left = AfterCutoffText(result); !left.empty())
    pages.Text(QString::fromStdString(left) + ".", 9, true);
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
  // The contents beside the figure, where they move nothing the pages hold.
  const double gap = 10 * pixelsPerMm;
  pages.DrawContents(area.adjusted(widthMm * pixelsPerMm + gap, 0, 0, 0));
}

void DrawProtocolTable(ReportPages& pages, const ReportInputs& inputs) {
  const StudyResult& result = inputs.result;
  const Protocol& protocol = result.protocol;
  std::vector<std::vector<QString>> rows;
  for (const Visit& visit : protocol.visits)
    rows.push_back({QString::fromStdString(visit.name), Label(visit.months), Label(visit.windowMonths[0]),
                    Label(visit.windowMonths[1]), visit.name == protocol.primaryVisit ? "primary" : ""});
  DrawTable(pages, "Protocol: visits and their windows (months " + Since(result) + ")",
            {"Visit", "Target (months)", "Window from (months)", "Window to (months)", ""}, rows, {});
}

namespace {

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

} // namespace

// The participant flow: a chain of boxes per group, from the hips enrolled
// down through every visit.
void DrawFlowDiagram(ReportPages& pages, const ReportInputs& inputs) {
  const StudyResult& result = inputs.result;
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
void DrawTimingTable(ReportPages& pages, const ReportInputs& inputs) {
  const StudyResult& result = inputs.result;
  std::vector<std::vector<QString>> rows;
  for (const FlowRow& row : result.flow) {
    const Description& d = row.days;
    rows.push_back({QString::fromStdString(row.group), QString::fromStdString(row.visit),
                    QString::number(d.n), TableText(DaysText(d.mean)), TableText(DaysText(d.sd)),
                    TableText(IntervalText(DaysText(d.min), DaysText(d.max)))});
  }
  const QString days = "Days " + Since(result);
  DrawTable(pages, "Timing of the radiographs used (days " + Since(result) + ")",
            {"Group", "Visit", "Hips", days + ", mean", days + ", SD", days + ", range"}, rows, {});
}

void DrawBandsTable(ReportPages& pages, const ReportInputs& inputs) {
  const StudyResult& result = inputs.result;
  std::vector<std::vector<QString>> rows;
  for (const BandRow& row : result.bands) {
    const auto percent = [](double share) { return PercentText(100 * share); };
    rows.push_back(
        {QString::fromStdString(row.group), QString::fromUtf8(row.band).replace('_', ' '),
         QString("%1 of %2").arg(row.n).arg(row.of),
         row.of > 0 ? TableText(percent(static_cast<double>(row.n) / row.of)) : QString(),
         row.ci95 ? TableText(IntervalText(percent((*row.ci95)[0]), percent((*row.ci95)[1]))) : QString()});
  }
  DrawTable(pages,
            QString("Bands at %1 (%2 to %3 mm; Wilson 95 % interval)")
                .arg(QString::fromStdString(result.protocol.primaryVisit), Mm(result.protocol.bandsMm[0]),
                     Mm(result.protocol.bandsMm[1])),
            {"Group", "Band", "Hips", "Share (%)", "95 % CI (%)"}, rows, {});
}

void DrawStudyTables(ReportPages& pages, const ReportInputs& inputs) {
  const StudyResult& result = inputs.result;
  std::vector<std::vector<QString>> rows;
  for (const CohortRow& row : result.cohort) {
    rows.push_back({QString::fromUtf8(SeriesLabel(row.series)), QString::fromStdString(row.group),
                    QString::fromStdString(row.visit), QString::number(row.n), Mm(row.mean), Mm(row.sd),
                    Mm(row.median), Mm(row.min), Mm(row.max),
                    TableText(MmIntervalText(row.ci95Low, row.ci95High))});
  }
  DrawTable(pages, "Cohort statistics per group and visit",
            {"Series", "Group", "Visit", "Hips", "Mean (mm)", "SD (mm)", "Median (mm)", "Min (mm)",
             "Max (mm)", "95 % CI (mm)"},
            rows, {});

  rows.clear();
  std::vector<bool> marked;
  for (const PatientSummary& p : result.patients) {
    rows.push_back({QString::fromStdString(p.file), QString::fromStdString(p.patient),
                    QString::fromStdString(p.side), QString::number(p.radiographs),
                    TableText(MonthsText(p.observationMonths)), QString::number(p.isolated),
                    QString::number(p.breaks), Mm(p.subsidenceLastMm), Mm(p.subsidencePrimaryMm),
                    Mm(p.stemCementLastMm), TableText(DegreesText(p.angleChangeLastDeg)),
                    Flag(p.overThreshold)});
    marked.push_back(p.overThreshold.value_or(false));
  }
  DrawTable(pages, QString("Patients (over the threshold of %1 mm in red)").arg(Mm(result.thresholdMm)),
            {"File", "Patient", "Side", "Radiographs", "Follow-up (months)", "Isolated", "Breaks",
             TableText(WithUnit("Subsidence, last", "mm")),
             TableText(WithUnit("Subsidence at " + result.protocol.primaryVisit, "mm")),
             TableText(WithUnit("Stem/cement, last", "mm")), TableText(WithUnit("Angle change, last", "°")),
             "Over threshold"},
            rows, marked);

  // What the patients file says of each hip.
  rows.clear();
  const auto date = [](const std::optional<CalendarDate>& day) {
    return day ? QString::fromStdString(IsoDate(*day)) : QString();
  };
  for (const PatientSummary& p : result.patients)
    rows.push_back({QString::fromStdString(p.file), QString::fromStdString(p.patient),
                    QString::fromStdString(p.group), QString::fromStdString(p.surgeryDate),
                    date(p.events.revision), date(p.events.death), date(p.events.withdrawn),
                    QString::fromStdString(p.exclusion)});
  DrawTable(pages, "Patients: groups, events and exclusions",
            {"File", "Patient", "Group", "Surgery", "Revision", "Death", "Withdrawn", "Excluded (reason)"},
            rows, {});

  if (result.rejected.empty()) return;
  rows.clear();
  for (const RejectedFile& r : result.rejected)
    rows.push_back({QString::fromStdString(r.file), QString::fromStdString(r.reason)});
  DrawTable(pages, "Rejected files", {"File", "Reason"}, rows, {});
}

} // namespace sinkview
