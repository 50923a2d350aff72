#include "report/analysis_text.h"

#include <algorithm>

#include "study/baseline_table.h"

namespace sinkview {

namespace {

constexpr std::string_view kOneHipPerPatient = "one_hip_per_patient";

std::string StructureWords(std::string_view structure) {
  if (structure == "unstructured")
    return "unstructured covariance (a correlation per two visits, a variance per visit)";
  if (structure == "random_intercept") return "a random intercept per hip";
  return "the structure \"" + std::string(structure) + "\"";
}

std::string DfWords(std::string_view method) {
  if (method == "satterthwaite") return "Satterthwaite degrees of freedom";
  if (method == "containment") return "containment degrees of freedom";
  if (method == "residual") return "residual degrees of freedom";
  return "degrees of freedom by \"" + std::string(method) + "\"";
}

// The subsidence of all hips, the fit the primary model's result is.
std::string ModelWords(const ModelResults& model) {
  const ModelFit* fit = FitOf(model, "all", "subsidence");
  return fit ? "the model's differences (" + ModelStructureText(*fit) + ")" : "the model's differences";
}

// Why R left the analysis out, from its notes; empty when it said nothing.
std::string WhyNotFitted(const ModelResults& model, std::string_view analysis) {
  const std::string marker = "subsidence, " + std::string(analysis) + ": ";
  for (const std::string& note : model.notes)
    if (const auto at = note.find(marker); at != std::string::npos) return note.substr(at + marker.size());
  return {};
}

} // namespace

const ModelFit* FitOf(const ModelResults& model, std::string_view analysis, std::string_view series) {
  const auto found = std::find_if(model.fits.begin(), model.fits.end(), [&](const ModelFit& fit) {
    return fit.analysis == analysis && fit.series == series;
  });
  return found == model.fits.end() ? nullptr : &*found;
}

std::string ModelStructureText(const ModelFit& fit) {
  std::string text = StructureWords(fit.structure) + ", " + DfWords(fit.dfMethod);
  if (!fit.fallback.empty()) text += "; the fallback, since " + fit.fallback;
  return text;
}

std::string PrimaryAnalysisText(const StudyResult& result, const ModelResults* model) {
  const std::string welch = "Welch's differences of the raw means at each visit (comparison.csv)";
  if (result.protocol.primaryAnalysis == PrimaryAnalysis::Welch)
    return "Primary analysis (primary_analysis = \"welch\"): " + welch +
           ". Secondary: " + (model ? ModelWords(*model) : std::string("the model, which was not fitted")) +
           ".";
  if (!model)
    return "Primary analysis (primary_analysis = \"model\"): the model, which was not fitted; " + welch +
           ", the secondary analysis, stand alone.";
  return "Primary analysis (primary_analysis = \"model\"): " + ModelWords(*model) + ". Secondary: " + welch +
         ".";
}

std::string BilateralText(const StudyResult& result, const ModelResults* model) {
  const auto rows = BaselineTable(result);
  const auto found = std::find_if(rows.begin(), rows.end(), [](const BaselineRow& row) {
    return row.characteristic == "bilateral_patients" && row.group == kAllGroups;
  });
  const int bilateral = found == rows.end() ? 0 : found->n;
  if (bilateral == 0) return "No patient has two hips in the study.";
  std::string text = std::to_string(bilateral) + (bilateral == 1 ? " patient has" : " patients have") +
                     " two hips in the study, each hip counted on its own in the analysis of all hips. ";
  const ModelFit* fit = model ? FitOf(*model, kOneHipPerPatient, "subsidence") : nullptr;
  if (fit)
    return text +
           "The analysis one_hip_per_patient (each patient's hip operated first; on the same day, the "
           "left one) was fitted as well: " +
           std::to_string(fit->hips) + " hips.";
  if (!model) return text + "The analysis one_hip_per_patient was not fitted, since the model was not.";
  const std::string why = WhyNotFitted(*model, kOneHipPerPatient);
  return text + "The analysis one_hip_per_patient was not fitted" + (why.empty() ? "." : ": " + why);
}

} // namespace sinkview
