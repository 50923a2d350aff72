#include "report/main_table.h"

#include <algorithm>

#include "study/reading_text.h"

namespace sinkview {

namespace {

const ModelEstimate* Estimate(const ModelResults& model, std::string_view analysis, std::string_view series,
                              std::string_view kind, const std::string& group, const std::string& visit) {
  const auto found =
      std::find_if(model.estimates.begin(), model.estimates.end(), [&](const ModelEstimate& e) {
        return e.analysis == analysis && e.series == series && e.kind == kind && e.group == group &&
               e.visit == visit;
      });
  return found == model.estimates.end() ? nullptr : &*found;
}

// Why R gave nothing for this series and analysis: why it gave no model at
// all, else its reason for this fit ("model: not fitted: stem_cement,
// complete_cases: REASON").
std::string NotFittedNote(const ModelResults* model, std::string_view series, std::string_view analysis,
                          std::string_view notFitted) {
  if (!model) {
    // The step the message comes from goes: the sentence names it.
    if (notFitted.starts_with("model: ")) notFitted.remove_prefix(7);
    const std::string why = notFitted.empty() ? "" : " (" + std::string(notFitted) + ")";
    return "The model was not fitted: the raw statistics only" + why + ".";
  }
  const std::string prefix = "not fitted: " + std::string(series) + ", " + std::string(analysis) + ": ";
  for (const std::string& note : model->notes) {
    if (const auto at = note.find(prefix); at != std::string::npos)
      return "The model was not fitted: " + note.substr(at + prefix.size());
  }
  return "The model was not fitted for these hips.";
}

// The rows' groups and visits: the cohort's for all hips, else the model's
// means, by visit and then group.
std::vector<MainTableRow> RowsOf(const StudyResult& result, const ModelResults* model, CohortSeries series,
                                 std::string_view analysis) {
  std::vector<MainTableRow> rows;
  if (analysis == kAllHips) {
    for (const Visit& visit : result.protocol.visits) {
      for (const CohortRow& c : result.cohort) {
        if (c.series == series && c.visit == visit.name)
          rows.push_back({c.visit, c.group, c.n, c.mean, c.ci95Low, c.ci95High, {}, {}});
      }
    }
  } else if (model) {
    for (const ModelEstimate& e : model->estimates) {
      if (e.analysis == analysis && e.series == SeriesName(series) && e.kind == "mean")
        rows.push_back({e.visit, e.group, {}, {}, {}, {}, {}, {}});
    }
  }
  return rows;
}

} // namespace

MainTable BuildMainTable(const StudyResult& result, const ModelResults* model, CohortSeries series,
                         std::string_view analysis, std::string_view notFitted) {
  MainTable table;
  table.series = series;
  table.analysis = analysis;
  table.raw = analysis == kAllHips;
  table.rows = RowsOf(result, model, series, analysis);
  const std::string_view name = SeriesName(series);
  if (model) {
    for (MainTableRow& row : table.rows) {
      if (const ModelEstimate* mean = Estimate(*model, analysis, name, "mean", row.group, row.visit)) {
        row.mean = *mean;
        table.modelled = true;
      }
      if (const ModelEstimate* difference =
              Estimate(*model, analysis, name, "difference", row.group, row.visit)) {
        row.difference = *difference;
        table.differences = true;
        table.referenceGroup = difference->referenceGroup;
      }
    }
    for (const ModelFit& fit : model->fits)
      if (fit.analysis == analysis && fit.series == name) table.hips = fit.hips;
  }
  if (!table.modelled) table.note = NotFittedNote(model, name, analysis, notFitted);
  return table;
}

std::vector<std::string> MainTableHeaders(const MainTable& table) {
  const std::string interval = WithUnit("95 % CI", "mm");
  std::vector<std::string> headers = {"Visit", "Group"};
  if (table.raw) headers.insert(headers.end(), {"n", WithUnit("Raw mean", "mm"), interval});
  if (table.modelled) headers.insert(headers.end(), {WithUnit("Model mean", "mm"), interval});
  if (table.differences) headers.insert(headers.end(), {WithUnit("Difference", "mm"), interval, "p"});
  return headers;
}

std::vector<std::vector<std::string>> MainTableCells(const MainTable& table) {
  std::vector<std::vector<std::string>> cells;
  for (const MainTableRow& row : table.rows) {
    std::vector<std::string> line = {row.visit, row.group};
    if (table.raw)
      line.insert(line.end(), {row.n ? std::to_string(*row.n) : std::string(), MmText(row.rawMeanMm),
                               MmIntervalText(row.rawLowMm, row.rawHighMm)});
    const ModelEstimate none;
    const ModelEstimate& mean = row.mean ? *row.mean : none;
    if (table.modelled)
      line.insert(line.end(), {MmText(mean.estimateMm), MmIntervalText(mean.ci95LowMm, mean.ci95HighMm)});
    if (table.differences) {
      if (row.group == table.referenceGroup) {
        line.insert(line.end(), {"reference", "", ""});
      } else {
        const ModelEstimate& d = row.difference ? *row.difference : none;
        line.insert(line.end(),
                    {MmText(d.estimateMm), MmIntervalText(d.ci95LowMm, d.ci95HighMm), PValueText(d.pValue)});
      }
    }
    cells.push_back(std::move(line));
  }
  return cells;
}

std::string MainTableTitle(const MainTable& table) {
  std::string title(SeriesTitle(table.series));
  title += table.analysis == kAllHips
               ? ", all hips"
               : ", complete cases: the hips measured at every visit up to the primary one";
  if (table.hips) title += " (" + std::to_string(*table.hips) + " in the model)";
  if (table.differences) title += "; differences from " + table.referenceGroup;
  return title;
}

} // namespace sinkview
