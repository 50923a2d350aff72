#include "writeup/reporting_facts.h"

#include "study/analysis_script.h"
#include "study/csv_columns.h"
#include "study/csv_text.h"
#include "study/reading_text.h"
#include "writeup/methods_text.h"
#include "writeup/phrasing.h"
#include "writeup/results_text.h"
#include "writeup/say.h"

namespace sinkview {

namespace {

namespace say = phrasing;

// The report's sections the answers are found in.
constexpr std::string_view kMainResult = "Main result", kTiming = "Timing of the radiographs",
                           kFlow = "Participant flow", kPrecision = "Precision of the measurements",
                           kMethods = "Statistical methods", kResults = "Results in brief",
                           kPatients = "Patients", kFront = "Study and cohort figure";

std::string Where(std::string_view section, std::string_view file = {}) {
  return file.empty() ? Say(say::kWhere, {section}) : Say(say::kWhereFile, {section, file});
}

std::string NotAvailable(std::string_view why) { return Say(say::kNotAvailable, {why}); }

// Per group "A: text; B: text", or the text alone for one group.
template <typename Text> std::string ByGroup(const StudyResult& result, const std::string& visit, Text text) {
  std::string out;
  for (const FlowRow& row : result.flow) {
    if (row.visit != visit) continue;
    const std::string part = text(row);
    if (part.empty()) continue;
    if (!out.empty()) out += say::kAnswerSeparator;
    out += result.groups.size() > 1 ? Say(say::kGroupAnswer, {row.group, part}) : part;
  }
  return out;
}

} // namespace

std::vector<ReportingFact> ReportingFacts(const WriteupInputs& in) {
  const StudyResult& result = in.result;
  const Protocol& protocol = result.protocol;
  const bool groups = result.groups.size() > 1;
  std::vector<ReportingFact> facts;
  facts.push_back({std::string(say::kItemPrimaryEndpoint),
                   Say(say::kPrimaryEndpoint, {protocol.primaryVisit}), Where(kMethods)});
  const auto days = [](const FlowRow& row) { return DaysDescriptionText(row.days); };
  const std::string baseline = ByGroup(result, "baseline", days);
  facts.push_back({std::string(say::kItemDaysToBaseline),
                   baseline.empty() ? NotAvailable(say::kNoBaseline) : baseline, Where(kTiming, kFlowCsv)});
  for (const Visit& visit : protocol.visits) {
    const std::string answer = ByGroup(result, visit.name, days);
    facts.push_back({Say(say::kItemDaysToVisit, {visit.name}),
                     answer.empty() ? NotAvailable(say::kNoVisitHips) : answer, Where(kTiming, kFlowCsv)});
  }
  for (const Visit& visit : protocol.visits)
    facts.push_back({Say(say::kItemAnalysed, {visit.name}), ByGroup(result, visit.name, FlowRowText),
                     Where(kFlow, kFlowCsv)});
  std::string precision;
  if (result.repeat)
    for (const AgreementRow& row : result.repeat->rows)
      if (row.series == CohortSeries::Subsidence && row.detectionLimit)
        precision = Say(say::kPrecisionFact,
                        {std::to_string(row.pairs), std::to_string(row.hips), MmText(row.detectionLimit)});
  facts.push_back({std::string(say::kItemPrecision),
                   precision.empty() ? NotAvailable(say::kNoRepeatReadings) : precision,
                   Where(kPrecision, kPrecisionCsv)});
  const ModelFit* fit = PrimaryFit(in.model);
  facts.push_back({std::string(say::kItemModel),
                   fit ? ModelMethodText(in) : NotAvailable(ModelMethodText(in)), Where(kMethods)});
  for (const Visit& visit : protocol.visits) {
    std::string answer;
    for (const ModelEstimate* mean : PrimaryEstimates(in.model, visit.name, "mean")) {
      const std::string text = MmWithInterval(mean->estimateMm, mean->ci95LowMm, mean->ci95HighMm);
      if (!answer.empty()) answer += say::kAnswerSeparator;
      answer += groups ? Say(say::kGroupAnswer, {mean->group, text}) : text;
    }
    facts.push_back({Say(say::kItemMeans, {visit.name}),
                     answer.empty() ? NotAvailable(say::kNoModelMean) : answer,
                     Where(kMainResult, kModelCsv)});
  }
  for (const Visit& visit : protocol.visits) {
    std::string answer;
    for (const ModelEstimate* d : PrimaryEstimates(in.model, visit.name, "difference")) {
      if (!answer.empty()) answer += say::kAnswerSeparator;
      answer += Say(say::kDifferenceAnswer,
                    {d->group, d->referenceGroup, MmWithInterval(d->estimateMm, d->ci95LowMm, d->ci95HighMm),
                     PText(d->pValue)});
    }
    facts.push_back({Say(say::kItemDifference, {visit.name}),
                     !answer.empty() ? answer
                     : groups        ? NotAvailable(say::kNoModelDifference)
                                     : NotAvailable(say::kOneGroupOnly),
                     Where(kMainResult, kModelCsv)});
  }
  std::string migrators = ListText(MigratorTexts(result));
  facts.push_back({std::string(say::kItemMigrators),
                   migrators.empty() ? NotAvailable(say::kNoPattern) : migrators,
                   Where(kResults, kBandsCsv)});
  facts.push_back({std::string(say::kItemPlots), std::string(say::kPlots), Where(kPatients)});
  std::vector<std::string> software;
  if (in.provenance)
    for (const auto& [component, version] : in.provenance->software)
      software.push_back(Say(say::kComponent, {component, version}));
  facts.push_back({std::string(say::kItemSoftware),
                   software.empty() ? NotAvailable(say::kNoSoftware) : ListText(software),
                   Where(kFront, kSoftwareCsv)});
  return facts;
}

std::string ReportingCsv(const std::vector<ReportingFact>& facts) {
  std::string out = CsvHeader(kReportingCsv);
  for (const ReportingFact& fact : facts) {
    AppendCsvField(out, fact.item);
    out += ',';
    AppendCsvField(out, fact.answer);
    out += ',';
    AppendCsvField(out, fact.where);
    out += kCsvLineEnd;
  }
  return out;
}

} // namespace sinkview
