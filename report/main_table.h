#pragma once

// The paper's main table: each group's raw and model-based mean at each
// visit, and each group's difference from the reference group there, as
// texts for reading. It joins the study's cohort rows with R's model, so it
// lives beside the model's reader rather than in study/, which knows
// nothing of R.

#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "rrunner/model_results.h"
#include "study/study.h"

namespace sinkview {

inline constexpr std::string_view kAllHips = "all", kCompleteCases = "complete_cases";

// A group at a visit.
struct MainTableRow {
  std::string visit, group;
  std::optional<int> n;                                 // the cohort's hips; none for the complete cases
  std::optional<double> rawMeanMm, rawLowMm, rawHighMm; // the cohort row's, over all hips
  std::optional<ModelEstimate> mean, difference;        // the model's; no difference for the reference
};

struct MainTable {
  CohortSeries series = CohortSeries::Subsidence;
  std::string analysis;           // kAllHips or kCompleteCases
  bool raw = true;                // with the cohort's n and raw means (all hips only)
  bool modelled = false;          // with the model's columns
  bool differences = false;       // with difference columns: modelled, two groups or more
  std::string referenceGroup;     // the group the differences are from
  std::optional<int> hips;        // the fit's, when modelled
  std::vector<MainTableRow> rows; // by visit, then group
  std::string note;               // why there are no model columns; empty when there are
};

// The table of one series and analysis. All hips take the groups and
// visits of the cohort rows (none without rows of the series), the complete
// cases those of the model (none without its fit). `model` is null when R
// did not fit one, and `notFitted` then says why (empty: no fit was asked for).
MainTable BuildMainTable(const StudyResult& result, const ModelResults* model, CohortSeries series,
                         std::string_view analysis, std::string_view notFitted = {});

// The headers, with their units, and the cells, as the report shows them.
std::vector<std::string> MainTableHeaders(const MainTable& table);
std::vector<std::vector<std::string>> MainTableCells(const MainTable& table);

// "Subsidence, all hips (10 in the model); differences from A".
std::string MainTableTitle(const MainTable& table);

} // namespace sinkview
