#include "writeup/results_text.h"

#include <algorithm>
#include <cstdlib>
#include <set>

#include "base/csv_records.h"
#include "base/numtext.h"
#include "study/baseline_table.h"
#include "study/comparison.h"
#include "study/reading_text.h"
#include "study/survival_columns.h"
#include "study/visits.h"
#include "writeup/markdown_text.h"
#include "writeup/phrasing.h"
#include "writeup/say.h"

namespace sinkview {

namespace {

namespace say = phrasing;

std::string Percent(std::optional<double> fraction) {
  return PercentText(fraction ? std::optional(100 * *fraction) : std::nullopt);
}

std::string PercentInterval(std::optional<double> low, std::optional<double> high) {
  if (!low || !high) return {};
  return Say(say::kInterval, {Percent(low), Percent(high), "%"});
}

// Per-group parts whose own lists have commas and "and".
std::string JoinGroups(const std::vector<std::string>& parts) {
  std::string out;
  for (const std::string& part : parts) out += (out.empty() ? "" : std::string(say::kGroupSeparator)) + part;
  return out;
}

// "text in group A", or the text alone in a study of one group.
std::string InGroup(const StudyResult& result, const std::string& text, const std::string& group) {
  return result.groups.size() > 1 ? Say(say::kMeanInGroup, {text, group}) : text;
}

const BaselineRow* FindRow(const std::vector<BaselineRow>& table, std::string_view characteristic,
                           const std::string& group) {
  for (const BaselineRow& row : table)
    if (row.characteristic == characteristic && row.group == group) return &row;
  return nullptr;
}

int CountOf(const std::vector<BaselineRow>& table, std::string_view characteristic,
            const std::string& group) {
  const BaselineRow* row = FindRow(table, characteristic, group);
  return row ? row->n : 0;
}

std::vector<std::string> FlowSentences(const StudyResult& result, const std::vector<BaselineRow>& table) {
  const std::string all(kAllGroups);
  const bool groups = result.groups.size() > 1;
  std::vector<std::string> perGroup;
  if (groups)
    for (const std::string& group : result.groups)
      perGroup.push_back(Say(say::kGroupPatients, {group, std::to_string(CountOf(table, "patients", group)),
                                                   std::to_string(CountOf(table, "hips", group))}));
  std::vector<std::string> sentences{
      Say(say::kIncluded,
          {std::to_string(CountOf(table, "patients", all)), std::to_string(CountOf(table, "hips", all)),
           perGroup.empty() ? "" : Say(say::kIncludedPerGroup, {JoinGroups(perGroup)})})};
  if (const int bilateral = CountOf(table, "bilateral_patients", all); bilateral > 0)
    sentences.push_back(Say(say::kBilateral, {std::to_string(bilateral)}));
  if (const int excluded = CountOf(table, "excluded_hips", all); excluded > 0) {
    std::set<std::string> reasons;
    for (const PatientSummary& hip : result.patients)
      if (!hip.exclusion.empty()) reasons.insert(hip.exclusion);
    sentences.push_back(
        Say(say::kExcluded, {std::to_string(excluded), ListText({reasons.begin(), reasons.end()})}));
  }
  if (!result.rejected.empty()) sentences.emplace_back(say::kRejected);
  return sentences;
}

std::vector<std::string> FlowByVisit(const StudyResult& result) {
  std::vector<std::string> lines;
  for (const Visit& visit : result.protocol.visits) {
    std::vector<std::string> groups;
    for (const FlowRow& row : result.flow)
      if (row.visit == visit.name)
        groups.push_back(result.groups.size() > 1 ? Say(say::kFlowInGroup, {row.group, FlowRowText(row)})
                                                  : FlowRowText(row));
    if (!groups.empty()) lines.push_back(Say(say::kFlowVisit, {visit.name, JoinGroups(groups)}));
  }
  return lines;
}

// The days of one visit's radiographs, per group.
std::string DaysByGroup(const StudyResult& result, const std::string& visit) {
  std::vector<std::string> parts;
  for (const FlowRow& row : result.flow) {
    if (row.visit != visit || row.days.n == 0) continue;
    const std::string days = DaysDescriptionText(row.days);
    parts.push_back(result.groups.size() > 1 ? Say(say::kDaysInGroup, {row.group, days}) : days);
  }
  return ListText(parts);
}

std::vector<std::string> TimingSentences(const StudyResult& result) {
  std::vector<std::string> sentences;
  // Without a surgery date the baseline is day 0 by definition.
  const bool dated = std::any_of(result.patients.begin(), result.patients.end(),
                                 [](const PatientSummary& hip) { return !hip.surgeryDate.empty(); });
  if (std::string days = DaysByGroup(result, "baseline"); dated && !days.empty())
    sentences.push_back(Say(say::kDaysToBaseline, {days}));
  if (std::string days = DaysByGroup(result, result.protocol.primaryVisit); !days.empty())
    sentences.push_back(
        Say(say::kDaysToPrimary, {result.protocol.primaryVisit, days, StudyClockText(result.patients)}));
  return sentences;
}

// Table 1 in a sentence: each group's covariates and follow-up.
std::string TableOneSentence(const StudyResult& result, const std::vector<BaselineRow>& table) {
  const bool groups = result.groups.size() > 1;
  std::vector<std::string> whole;
  for (const std::string& group :
       groups ? result.groups : std::vector<std::string>{std::string(kAllGroups)}) {
    std::vector<std::string> parts;
    std::set<std::pair<std::string, std::string>> seen; // one group's rows are also those of all
    for (const BaselineRow& row : table) {
      if (row.group != group || !seen.insert({row.characteristic, row.level}).second) continue;
      const bool covariate = std::find(result.covariates.begin(), result.covariates.end(),
                                       row.characteristic) != result.covariates.end();
      const bool followUp = row.characteristic == "follow_up_months";
      const std::optional<Description>& d = row.numbers;
      if ((followUp || covariate) && d && d->mean && !d->sd)
        parts.push_back(Say(say::kCharacteristicAlone,
                            {followUp ? say::kFollowUp : row.characteristic, PercentText(d->mean),
                             followUp ? " " + std::string(say::kMonths) : ""}));
      else if (followUp && d && d->mean)
        parts.push_back(Say(say::kCharacteristicWithUnit,
                            {say::kFollowUp, PercentText(d->mean), say::kMonths, PercentText(d->sd)}));
      else if (covariate && d && d->mean)
        parts.push_back(
            Say(say::kNumberCharacteristic, {row.characteristic, PercentText(d->mean), PercentText(d->sd)}));
      else if (covariate && !row.level.empty())
        parts.push_back(Say(say::kLevelCharacteristic, {row.characteristic, row.level, std::to_string(row.n),
                                                        PercentText(row.percent)}));
    }
    if (parts.empty()) continue;
    whole.push_back(groups ? Say(say::kTableOneGroup, {group, ListText(parts)})
                           : Say(say::kTableOneAll, {ListText(parts)}));
  }
  return whole.empty() ? std::string() : Say(say::kTableOne, {ListText(whole)});
}

std::vector<std::string> ModelSentences(const WriteupInputs& in) {
  const std::string& visit = in.result.protocol.primaryVisit;
  const ModelFit* fit = PrimaryFit(in.model);
  const auto means = PrimaryEstimates(in.model, visit, "mean");
  if (!fit || means.empty()) return {};
  std::vector<std::string> perGroup;
  for (const ModelEstimate* mean : means)
    perGroup.push_back(
        InGroup(in.result, MmWithInterval(mean->estimateMm, mean->ci95LowMm, mean->ci95HighMm), mean->group));
  std::vector<std::string> sentences{Say(say::kModelMeans, {visit, ListText(perGroup)})};
  for (const ModelEstimate* d : PrimaryEstimates(in.model, visit, "difference"))
    sentences.push_back(
        Say(say::kModelDifference,
            {d->group, d->referenceGroup, MmText(d->estimateMm),
             Say(say::kInterval, {MmText(d->ci95LowMm), MmText(d->ci95HighMm), "mm"}), PText(d->pValue)}));
  sentences.push_back(Say(say::kModelAnalysis, {fit->structure == "unstructured" ? say::kUnstructuredName
                                                                                 : say::kRandomInterceptName,
                                                std::to_string(fit->hips)}));
  return sentences;
}

std::vector<std::string> WelchSentences(const StudyResult& result) {
  const std::string& visit = result.protocol.primaryVisit;
  std::vector<std::string> means;
  for (const CohortRow& row : result.cohort)
    if (row.series == CohortSeries::Subsidence && row.visit == visit && row.n > 0)
      means.push_back(InGroup(result, MmWithInterval(row.mean, row.ci95Low, row.ci95High), row.group));
  std::vector<std::string> sentences;
  if (!means.empty()) sentences.push_back(Say(say::kRawMeans, {visit, ListText(means)}));
  for (const ComparisonRow& row : GroupComparisons(result.groups, ComparisonSamples(result))) {
    if (row.series != SeriesName(CohortSeries::Subsidence) || row.visit != visit) continue;
    const MeanDifference& d = row.difference;
    if (!d.difference) continue;
    sentences.push_back(
        Say(say::kWelchDifference,
            {row.group, row.referenceGroup, MmText(d.difference),
             Say(say::kInterval, {MmText(d.ci95Low), MmText(d.ci95High), "mm"}), PText(d.pValue)}));
  }
  return sentences;
}

// "label: sentence sentence" for the primary and the secondary analysis.
std::vector<std::string> Labelled(std::string_view label, std::vector<std::string> sentences) {
  if (!sentences.empty()) sentences.front() = std::string(label) + sentences.front();
  return sentences;
}

std::vector<std::string> BandLines(const StudyResult& result) {
  std::vector<std::string> lines;
  for (const std::string& group : result.groups) {
    std::vector<std::string> shares;
    for (const BandRow& row : result.bands) {
      if (row.group != group || row.classification != kBandClassification || !row.ci95) continue;
      std::string band(row.band);
      std::replace(band.begin(), band.end(), '_', ' ');
      shares.push_back(
          Say(say::kBandShare,
              {band, Say(say::kCountOf, {std::to_string(row.n), std::to_string(row.of)}),
               PercentText(100.0 * row.n / row.of), PercentInterval((*row.ci95)[0], (*row.ci95)[1])}));
    }
    if (!shares.empty())
      lines.push_back(result.groups.size() > 1
                          ? Say(say::kBandsResult, {result.protocol.primaryVisit, group, ListText(shares)})
                          : Say(say::kBandsResultOneGroup, {result.protocol.primaryVisit, ListText(shares)}));
  }
  return lines;
}

std::string MigratorSentence(const StudyResult& result) {
  const std::optional<PatternRule> rule = PatternRuleOf(result.protocol, result.repeat);
  const std::vector<std::string> counts = MigratorTexts(result);
  if (!rule || counts.empty()) return {};
  const auto visit = [&](std::size_t k) { return result.protocol.visits.at(rule->visits[k] - 1).name; };
  return Say(say::kMigrators,
             {visit(0), visit(1),
              rule->limitOfRepeatReadings ? Say(say::kRepeatReadingsLimit, {MmText(rule->limitMm)})
                                          : std::string(say::kProtocolLimit),
              ListText(counts)});
}

std::vector<std::string> PrecisionLines(const StudyResult& result) {
  std::vector<std::string> lines;
  if (!result.repeat) return lines;
  for (const AgreementRow& row : result.repeat->rows) {
    if (!row.bias || !row.limits) continue;
    lines.push_back(Say(
        say::kPrecisionResult,
        {row.series == CohortSeries::Subsidence ? say::kSubsidence : say::kStemCement,
         std::to_string(row.pairs), std::to_string(row.hips), MmText(row.bias),
         row.biasCi95 ? Say(say::kInterval, {MmText((*row.biasCi95)[0]), MmText((*row.biasCi95)[1]), "mm"})
                      : std::string(),
         MmText((*row.limits)[0]), MmText((*row.limits)[1]), MmText(row.detectionLimit)}));
  }
  return lines;
}

std::optional<double> Number(const std::string& text) {
  if (text.empty()) return std::nullopt;
  return std::strtod(text.c_str(), nullptr);
}

std::vector<std::string> SurvivalLines(const WriteupInputs& in) {
  if (!in.survival) return {};
  auto survival = ReadCsvRecords(in.survival->survivalCsv, std::string(kSurvivalCsv));
  auto tests = ReadCsvRecords(in.survival->testsCsv, std::string(kSurvivalTestsCsv));
  if (!survival) return {Say(say::kSurvivalUnreadable, {survival.error().message})};
  if (!tests) return {Say(say::kSurvivalUnreadable, {tests.error().message})};
  // method,event,group,years,at_risk,events,estimate,ci95_low,ci95_high
  const auto rows = [&](std::string_view method, double years) {
    std::vector<const std::vector<std::string>*> found;
    for (std::size_t r = 1; r < survival->records.size(); ++r) {
      const auto& f = survival->records[r].fields;
      if (f.size() == 9 && f[0] == method && f[1] == "revision" && Number(f[3]) == years) found.push_back(&f);
    }
    return found;
  };
  std::vector<std::string> lines;
  for (const double years : in.result.protocol.survivalYears) {
    const std::string shown =
        Say(years == 1 ? say::kYear : say::kYears, {LabelText(years, kFileDecimalPoint)});
    std::vector<std::string> incidence, kaplanMeier;
    for (const auto* f : rows("aalen_johansen", years)) {
      if ((*f)[6].empty()) continue;
      std::vector<std::string> details{PercentInterval(Number((*f)[7]), Number((*f)[8])),
                                       Say(say::kAtRisk, {(*f)[4]})};
      if (details.front().empty()) details.erase(details.begin());
      incidence.push_back(
          Say(say::kIncidenceInGroup, {Percent(Number((*f)[6])), JoinGroups(details), (*f)[2]}));
    }
    for (const auto* f : rows("one_minus_kaplan_meier", years))
      if (!(*f)[6].empty())
        kaplanMeier.push_back(Say(say::kKaplanMeierInGroup, {Percent(Number((*f)[6])), (*f)[2]}));
    lines.push_back(Say(say::kIncidence,
                        {shown, incidence.empty() ? std::string(say::kNoEstimate) : ListText(incidence)}));
    if (!kaplanMeier.empty()) lines.push_back(Say(say::kKaplanMeier, {shown, ListText(kaplanMeier)}));
  }
  // event,test,statistic,df,p_value
  for (std::size_t r = 1; r < tests->records.size(); ++r) {
    const auto& f = tests->records[r].fields;
    if (f.size() == 5 && f[0] == "revision" && !f[4].empty())
      lines.push_back(Say(say::kGrayResult, {PText(Number(f[4]))}));
  }
  return lines;
}

} // namespace

std::string DaysDescriptionText(const Description& d) {
  if (d.n == 0) return {};
  if (!d.sd) return Say(say::kDaysDescriptionOne, {DaysText(d.mean), DaysText(d.min), DaysText(d.max)});
  return Say(say::kDaysDescription, {DaysText(d.mean), DaysText(d.sd), DaysText(d.min), DaysText(d.max)});
}

std::string MmWithInterval(std::optional<double> value, std::optional<double> low,
                           std::optional<double> high) {
  const std::string interval = low && high ? Say(say::kInterval, {MmText(low), MmText(high), "mm"}) : "";
  return MmText(value) + " mm" + (interval.empty() ? "" : " (" + interval + ")");
}

std::string PText(std::optional<double> p) {
  const std::string text = PValueText(p);
  return Say(text.starts_with('<') ? say::kPValueBelow : say::kPValue, {text});
}

std::string FlowRowText(const FlowRow& row) {
  std::vector<std::string> reasons;
  for (int status = 0; status < kVisitStatusCount; ++status) {
    const int count = row.counts[static_cast<std::size_t>(status)];
    if (status == static_cast<int>(VisitStatus::Measured) || count == 0) continue;
    std::string name(StatusName(static_cast<VisitStatus>(status)));
    std::replace(name.begin(), name.end(), '_', ' ');
    reasons.push_back(Say(say::kStatusCount, {name, std::to_string(count)}));
  }
  const int measured = row.counts[static_cast<std::size_t>(VisitStatus::Measured)];
  return Say(say::kFlowGroup, {std::to_string(measured), std::to_string(row.hips),
                               reasons.empty() ? "" : Say(say::kNotMeasured, {ListText(reasons)})});
}

std::vector<const ModelEstimate*> PrimaryEstimates(const ModelResults* model, const std::string& visit,
                                                   std::string_view kind) {
  std::vector<const ModelEstimate*> found;
  if (!model) return found;
  for (const ModelEstimate& e : model->estimates)
    if (e.analysis == "all" && e.series == SeriesName(CohortSeries::Subsidence) && e.kind == kind &&
        e.visit == visit)
      found.push_back(&e);
  return found;
}

std::vector<std::string> MigratorTexts(const StudyResult& result) {
  std::vector<std::string> counts;
  for (const BandRow& row : result.bands)
    if (row.classification == kPatternClassification && row.band == "continuous" && row.ci95)
      counts.push_back(Say(say::kMigratorsInGroup, {row.group, std::to_string(row.n), std::to_string(row.of),
                                                    PercentText(100.0 * row.n / row.of),
                                                    PercentInterval((*row.ci95)[0], (*row.ci95)[1])}));
  return counts;
}

std::string ResultsMarkdown(const WriteupInputs& in) {
  const StudyResult& result = in.result;
  const std::vector<BaselineRow> table = BaselineTable(result);
  MarkdownText md;
  md.Heading(say::kResultsTitle);
  md.Heading(Say(say::kHeading, {say::kFlowHeading}));
  md.Paragraph(FlowSentences(result, table));
  md.Bullets(FlowByVisit(result));
  md.Paragraph({TableOneSentence(result, table)});
  if (std::vector<std::string> timing = TimingSentences(result); !timing.empty()) {
    md.Heading(Say(say::kHeading, {say::kTimingHeading}));
    md.Paragraph(timing);
  }
  md.Heading(Say(say::kHeading, {say::kPrimaryHeading}));
  const bool welchFirst = result.protocol.primaryAnalysis == PrimaryAnalysis::Welch || !PrimaryFit(in.model);
  std::vector<std::string> model = ModelSentences(in), welch = WelchSentences(result);
  if (result.groups.size() > 1 && !model.empty()) {
    model = Labelled(welchFirst ? say::kSecondaryLabel : say::kPrimaryLabel, std::move(model));
    welch = Labelled(welchFirst ? say::kPrimaryLabel : say::kSecondaryLabel, std::move(welch));
  }
  md.Paragraph(welchFirst ? welch : model);
  md.Paragraph(welchFirst ? model : welch);
  const std::vector<std::string> bands = BandLines(result);
  const std::string migrators = MigratorSentence(result);
  if (!bands.empty() || !migrators.empty()) {
    md.Heading(Say(say::kHeading, {say::kBandsHeading}));
    md.Bullets(bands);
    md.Paragraph({migrators});
  }
  if (const std::vector<std::string> precision = PrecisionLines(result); !precision.empty()) {
    md.Heading(Say(say::kHeading, {say::kPrecisionHeading}));
    md.Bullets(precision);
  }
  if (const std::vector<std::string> survival = SurvivalLines(in); !survival.empty()) {
    md.Heading(Say(say::kHeading, {say::kSurvivalHeading}));
    md.Bullets(survival);
  }
  return md.Text();
}

} // namespace sinkview
