#include "tools/study/report_main_table.h"

#include <QPainter>
#include <algorithm>

#include "rrunner/main_table.h"
#include "tools/study/gui_application.h"
#include "tools/study/study_graphics.h"

namespace sinkview {

namespace {

QString Q(const std::string& text) { return QString::fromStdString(text); }

// A table with its title, or the title and why it has no model columns.
void DrawMain(ReportPages& pages, const MainTable& table) {
  if (table.rows.empty()) {
    pages.Gap(6);
    pages.Text(Q(MainTableTitle(table)), 10, true);
  } else {
    std::vector<QString> headers;
    for (const std::string& header : MainTableHeaders(table)) headers.push_back(Q(header));
    std::vector<std::vector<QString>> rows;
    for (const auto& cells : MainTableCells(table)) {
      std::vector<QString>& row = rows.emplace_back();
      for (const std::string& cell : cells) row.push_back(Q(cell));
    }
    DrawTable(pages, Q(MainTableTitle(table)), headers, rows, {});
  }
  if (!table.note.empty()) pages.Text(Q(table.note), 8);
}

bool HasStemCement(const StudyResult& result) {
  return std::any_of(result.cohort.begin(), result.cohort.end(),
                     [](const CohortRow& row) { return row.series == CohortSeries::StemCement; });
}

} // namespace

void DrawMainResultPage(ReportPages& pages, const StudyResult& result, const ModelResults* model) {
  pages.Text("Main result", 14, true);
  pages.Text("Raw means over the hips measured at each visit; model-based means and differences from the "
             "mixed model (analysis.R); 95 % confidence intervals, p-values not adjusted.",
             8);
  std::vector<CohortSeries> series = {CohortSeries::Subsidence};
  if (HasStemCement(result)) series.push_back(CohortSeries::StemCement);
  for (const CohortSeries s : series) DrawMain(pages, BuildMainTable(result, model, s, kAllHips));
  // The sensitivity analysis: the complete cases' model only, since the
  // cohort's raw statistics are over all hips.
  for (const CohortSeries s : series) {
    const MainTable complete = BuildMainTable(result, model, s, kCompleteCases);
    if (model && (s == CohortSeries::Subsidence || !complete.rows.empty())) DrawMain(pages, complete);
  }
  if (!model) return;

  // The figure as wide as the paper's two columns, or as the room left;
  // below one column's width it takes the next page.
  pages.Gap(8);
  const double pixelsPerMm = PixelsPerMm(pages.painter().device());
  const double heightMm = ModelMeansFigureHeightMm(kOneColumnMm);
  if (!pages.Fits(heightMm * pixelsPerMm)) pages.NewPage();
  const QRectF area = pages.Take(pages.page().bottom() - pages.Top());
  const double perMmOfWidth = ModelMeansFigureHeightMm(1) - ModelMeansFigureHeightMm(0);
  const double widthMm =
      std::min({kTwoColumnsMm, area.width() / pixelsPerMm,
                (area.height() / pixelsPerMm - ModelMeansFigureHeightMm(0)) / perMmOfWidth});
  DrawModelMeansFigure(
      pages.painter(),
      QRectF(area.left(), area.top(), widthMm * pixelsPerMm, ModelMeansFigureHeightMm(widthMm) * pixelsPerMm),
      result, *model);
}

} // namespace sinkview
