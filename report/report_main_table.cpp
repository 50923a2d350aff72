#include "report/report_main_table.h"

#include <QPainter>
#include <algorithm>

#include "report/analysis_text.h"
#include "report/gui_application.h"
#include "report/main_table.h"
#include "report/study_graphics.h"
#include "report/welch_table.h"
#include "ui/design_units.h"

namespace sinkview {

namespace {

// A table with its title, or the title and why it has no model columns.
void DrawMain(ReportPages& pages, const MainTable& table) {
  if (table.rows.empty()) {
    pages.Gap(6);
    pages.Text(TableText(MainTableTitle(table)), 10, true);
  } else {
    DrawTable(pages, TableText(MainTableTitle(table)), MainTableHeaders(table), MainTableCells(table));
  }
  if (!table.note.empty()) pages.Text(TableText(table.note), 8);
}

// A sentence longer than the page is wide, word by word over as many lines.
void DrawWrapped(ReportPages& pages, const std::string& text, double points) {
  QFont font = DesignFont();
  font.setPointSizeF(points);
  const QFontMetricsF metrics(font, pages.painter().device());
  QString line;
  for (const QString& word : TableText(text).split(' ')) {
    const QString longer = line.isEmpty() ? word : line + ' ' + word;
    if (!line.isEmpty() && metrics.horizontalAdvance(longer) > pages.page().width()) {
      pages.Text(line, points);
      line = word;
    } else {
      line = longer;
    }
  }
  if (!line.isEmpty()) pages.Text(line, points);
}

// Welch's differences, none with one group.
void DrawWelch(ReportPages& pages, const StudyResult& result, CohortSeries series) {
  const WelchTable table =
      BuildWelchTable(result, series, result.protocol.primaryAnalysis == PrimaryAnalysis::Welch);
  if (!table.cells.empty()) DrawTable(pages, TableText(table.title), table.headers, table.cells);
}

bool HasStemCement(const StudyResult& result) {
  return std::any_of(result.cohort.begin(), result.cohort.end(),
                     [](const CohortRow& row) { return row.series == CohortSeries::StemCement; });
}

// All hips, then the complete cases where R fitted them: the model only,
// since the cohort's raw statistics are over all hips. Welch's differences
// come first where they are primary, else after the model's.
void DrawSeries(ReportPages& pages, const StudyResult& result, const ModelResults* model,
                const std::string& notFitted, CohortSeries series) {
  const bool welchFirst = result.protocol.primaryAnalysis == PrimaryAnalysis::Welch;
  if (welchFirst) DrawWelch(pages, result, series);
  DrawMain(pages, BuildMainTable(result, model, series, kAllHips, notFitted));
  const MainTable complete = BuildMainTable(result, model, series, kCompleteCases);
  if (model && (series == CohortSeries::Subsidence || !complete.rows.empty())) DrawMain(pages, complete);
  if (!welchFirst) DrawWelch(pages, result, series);
}

// The figure as wide as the paper's two columns, or as the room left
// allows; below one column's width it takes the next page.
void DrawFigure(ReportPages& pages, const StudyResult& result, const ModelResults& model) {
  pages.Gap(8);
  const double pixelsPerMm = PixelsPerMm(pages.painter().device());
  if (!pages.Fits(ModelMeansFigureHeightMm(kOneColumnMm) * pixelsPerMm)) pages.NewPage();
  const double roomMm = (pages.page().bottom() - pages.Top()) / pixelsPerMm;
  const double perMmOfWidth = ModelMeansFigureHeightMm(1) - ModelMeansFigureHeightMm(0);
  const double widthMm = std::min({kTwoColumnsMm, pages.page().width() / pixelsPerMm,
                                   (roomMm - ModelMeansFigureHeightMm(0)) / perMmOfWidth});
  const QRectF area = pages.Take(ModelMeansFigureHeightMm(widthMm) * pixelsPerMm);
  DrawModelMeansFigure(pages.painter(), QRectF(area.topLeft(), QSizeF(widthMm * pixelsPerMm, area.height())),
                       result, model);
}

} // namespace

void DrawMainResultPage(ReportPages& pages, const ReportInputs& inputs) {
  const StudyResult& result = inputs.result;
  const ModelResults* model = inputs.model;
  const std::string& notFitted = inputs.notFitted;
  pages.Text("Main result", 14, true);
  pages.Text(model ? "Raw means over the hips measured at each visit; model-based means and differences from "
                     "the mixed model (analysis.R); 95 % confidence intervals, p-values not adjusted."
                   : "Means over the hips measured at each visit with their 95 % confidence intervals.",
             8);
  DrawWrapped(pages, PrimaryAnalysisText(result, model), 8);
  DrawWrapped(pages, BilateralText(result, model), 8);
  // The paper's table, its sensitivity analysis and the figure on the page;
  // the stem/cement interface after them.
  DrawSeries(pages, result, model, notFitted, CohortSeries::Subsidence);
  if (model) DrawFigure(pages, result, *model);
  if (HasStemCement(result)) DrawSeries(pages, result, model, notFitted, CohortSeries::StemCement);
}

} // namespace sinkview
