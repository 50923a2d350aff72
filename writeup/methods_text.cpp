#include "writeup/methods_text.h"

#include <algorithm>

#include "base/numtext.h"
#include "model/settings.h"
#include "protocol/calendar_date.h"
#include "study/reading_text.h"
#include "writeup/markdown_text.h"
#include "writeup/phrasing.h"
#include "writeup/say.h"
#include "writeup/sign_convention.h"

namespace sinkview {

namespace {

namespace say = phrasing;

std::string Label(double value) { return LabelText(value, kFileDecimalPoint); }

std::vector<std::string> DesignSentences(const StudyResult& result) {
  const Protocol& protocol = result.protocol;
  const Settings& settings = protocol.settings;
  std::vector<std::string> windows;
  for (const Visit& visit : protocol.visits)
    windows.push_back(Say(say::kVisitWindow, {visit.name, Label(visit.months), Label(visit.windowMonths[0]),
                                              Label(visit.windowMonths[1])}));
  return {
      Say(say::kClock, {StudyClockText(result.patients)}),
      std::none_of(result.patients.begin(), result.patients.end(),
                   [](const PatientSummary& hip) { return !hip.surgeryDate.empty(); })
          ? std::string(say::kBaselineUndated)
          : Say(say::kBaselineWindow,
                {std::to_string(protocol.baselineDays[0]), std::to_string(protocol.baselineDays[1])}),
      Say(say::kVisitWindows, {ListText(windows)}),
      Say(say::kPrimaryVisit, {protocol.primaryVisit}),
      std::string(protocol.valueAtVisit == ValueAtVisit::Nearest ? say::kValueNearest
                                                                 : say::kValueInterpolated),
      std::string(say::kNoExtrapolation),
      Say(say::kCutoff, {IsoDate(protocol.cutoff)}),
      Say(say::kMagnification,
          {settings.MagnificationSource == MagnificationBasis::HeadRadius ? say::kHeadRadius
                                                                          : say::kStemLength,
           settings.UseMeanMagnification == FactorChoice::Mean ? say::kMeanFactor : say::kEachFactor}),
      Say(say::kComparability,
          {Label(MonthsForDays(settings.TimeLimitDays)), std::to_string(settings.ComparabilityLimit)}),
      Say(say::kReference,
          {settings.ReferencePoint == Reference::StemShoulder ? say::kStemShoulder : say::kHeadCentre,
           settings.TrochanterChoice == Trochanter::Major ? say::kMajor : say::kMinor}),
      SignConventionText(),
  };
}

std::string DfMethodText(const std::string& method) {
  if (method == "satterthwaite") return std::string(say::kSatterthwaite);
  if (method == "containment") return std::string(say::kContainment);
  if (method == "residual") return std::string(say::kResidualDf);
  return method;
}

// "age; sex" as R wrote them, in words.
std::string CovariatesText(const std::string& covariates) {
  std::vector<std::string> names;
  for (std::size_t from = 0; from < covariates.size();) {
    const std::size_t to = std::min(covariates.find("; ", from), covariates.size());
    names.push_back(covariates.substr(from, to - from));
    from = to + 2;
  }
  return ListText(names);
}

std::vector<std::string> PatternSentences(const StudyResult& result) {
  const std::optional<PatternRule> rule = PatternRuleOf(result.protocol, result.repeat);
  if (!rule) return {};
  // The rule's visits count the baseline first.
  const auto visit = [&](std::size_t k) { return result.protocol.visits.at(rule->visits[k] - 1).name; };
  return {Say(rule->limitOfRepeatReadings ? say::kPatternRepeat : say::kPatternProtocol,
              {visit(0), visit(1), Label(rule->limitMm)})};
}

} // namespace

const ModelFit* PrimaryFit(const ModelResults* model) {
  if (!model) return nullptr;
  for (const ModelFit& fit : model->fits)
    if (fit.analysis == "all" && fit.series == SeriesName(CohortSeries::Subsidence)) return &fit;
  return nullptr;
}

std::string ModelMethodText(const WriteupInputs& in) {
  const ModelFit* fit = PrimaryFit(in.model);
  if (!fit)
    return Say(say::kNotFitted,
               {!in.notFitted.empty() ? in.notFitted
                                      : std::string(in.model ? say::kNoSubsidenceFit : say::kNoModelAsked)});
  const bool groups = in.result.groups.size() > 1;
  std::string effects(groups ? say::kFixedEffectsGroups : say::kFixedEffectsOneGroup);
  if (!fit->covariates.empty()) effects = Say(say::kCovariates, {effects, CovariatesText(fit->covariates)});
  std::vector<std::string> sentences;
  if (!fit->fallback.empty()) sentences.push_back(Say(say::kFallback, {fit->fallback}));
  sentences.push_back(Say(
      fit->structure == "unstructured" ? say::kModelUnstructured : say::kModelRandomIntercept, {effects}));
  sentences.emplace_back(say::kMissingAtRandom);
  sentences.push_back(groups ? Say(say::kMeansAndDf, {in.result.groups.front(), DfMethodText(fit->dfMethod)})
                             : Say(say::kMeansAndDfOneGroup, {DfMethodText(fit->dfMethod)}));
  const bool tested = std::any_of(in.model->tests.begin(), in.model->tests.end(),
                                  [](const ModelTest& test) { return test.analysis == "all"; });
  if (groups && tested) sentences.emplace_back(say::kJointTests);
  std::vector<std::string> sensitivity;
  for (const auto& [name, words] : {std::pair{"unadjusted", say::kUnadjusted},
                                    {"complete_cases", say::kCompleteCases},
                                    {"one_hip_per_patient", say::kOneHipPerPatient}}) {
    const std::string_view analysis = name; // a lambda may not capture a structured binding
    if (std::any_of(in.model->fits.begin(), in.model->fits.end(),
                    [&](const ModelFit& f) { return f.analysis == analysis && f.series == fit->series; }))
      sensitivity.emplace_back(words);
  }
  if (!sensitivity.empty()) sentences.push_back(Say(say::kSensitivity, {ListText(sensitivity)}));
  std::string text;
  for (const std::string& sentence : sentences) text += (text.empty() ? "" : " ") + sentence;
  return text;
}

std::string MethodsMarkdown(const WriteupInputs& in) {
  const StudyResult& result = in.result;
  const Protocol& protocol = result.protocol;
  MarkdownText md;
  md.Heading(say::kMethodsTitle);
  md.Heading(Say(say::kHeading, {say::kDesignHeading}));
  md.Paragraph(DesignSentences(result));

  md.Heading(Say(say::kHeading, {say::kAnalysisHeading}));
  const bool groups = result.groups.size() > 1;
  if (!groups)
    md.Paragraph({std::string(say::kOneGroupAnalysis)});
  else if (in.model)
    md.Paragraph({std::string(protocol.primaryAnalysis == PrimaryAnalysis::Model ? say::kPrimaryIsModel
                                                                                 : say::kPrimaryIsWelch)});
  md.Paragraph({ModelMethodText(in)});
  if (groups) md.Paragraph({Say(say::kWelch, {result.groups.front()})});
  std::vector<std::string> bands{
      Say(say::kBands, {protocol.primaryVisit, Label(protocol.bandsMm[0]), Label(protocol.bandsMm[1])})};
  for (std::string& sentence : PatternSentences(result)) bands.push_back(std::move(sentence));
  md.Paragraph(bands);

  if (result.repeat) {
    md.Heading(Say(say::kHeading, {say::kPrecisionHeading}));
    md.Paragraph({std::string(say::kPrecisionMethod)});
  }
  if (in.survival) {
    md.Heading(Say(say::kHeading, {say::kSurvivalHeading}));
    md.Paragraph({std::string(say::kSurvivalMethod), groups ? std::string(say::kGray) : std::string()});
  }
  if (in.provenance) {
    md.Heading(Say(say::kHeading, {say::kSoftwareHeading}));
    std::vector<std::string> software;
    for (const auto& [component, version] : in.provenance->software)
      software.push_back(Say(say::kComponent, {component, version}));
    md.Paragraph(
        {Say(say::kSoftware, {ListText(software)}), Say(say::kFingerprint, {in.provenance->inputsSha256})});
  }
  return md.Text();
}

} // namespace sinkview
