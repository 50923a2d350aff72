#include "study/study_csv.h"

#include <algorithm>
#include <functional>
#include <unordered_map>
#include <utility>

#include "study/analysis_script.h"
#include "study/baseline_table.h"
#include "study/comparison.h"
#include "study/csv_columns.h"
#include "study/csv_pieces.h"
#include "study/csv_text.h"
#include "study/model_settings.h"

namespace sinkview {

namespace {

template <typename T> void AppendOptional(std::string& out, const std::optional<T>& value) {
  if (value) AppendCsvNumber(out, *value);
}

// A field and the comma after it.
void Field(std::string& out, std::string_view text) {
  AppendCsvField(out, text);
  out += ',';
}
void Number(std::string& out, double value) {
  AppendCsvNumber(out, value);
  out += ',';
}
template <typename T> void Optional(std::string& out, const std::optional<T>& value) {
  AppendOptional(out, value);
  out += ',';
}
void Optional(std::string& out, const OptionalNumber& value) { Optional(out, std::optional<double>(value)); }

// The visit's number in the protocol, 1 the first; none for a name that is
// no visit of it.
std::optional<std::size_t> VisitNumber(const Protocol& protocol, std::string_view name) {
  for (std::size_t v = 0; v < protocol.visits.size(); ++v)
    if (protocol.visits[v].name == name) return v + 1;
  return std::nullopt;
}

// What R is given of the texts that are not the model's: it reads a long
// field for minutes (a megabyte's), and a data file's patient name, an
// exclusion reason or a covariate nobody declared may be that long. Each
// patient is a number instead, the same in both files; the columns stay
// where they are, so that R goes by the same names and numbers as in the
// study's own files.
class ShownTexts {
public:
  // Every text as it is.
  ShownTexts() = default;
  // For R: the file and the exclusion reason empty, the patient a number,
  // the covariates the protocol does not declare empty.
  explicit ShownTexts(const StudyResult& result)
      : forModel_(true), declared_(result.protocol.covariates.has_value()) {
    std::unordered_map<std::string_view, std::size_t> numbers;
    for (const PatientSummary& p : result.patients) {
      if (p.patient.empty()) {
        patients_.emplace_back();
        continue;
      }
      const auto [at, added] = numbers.try_emplace(p.patient, numbers.size() + 1);
      patients_.push_back(std::to_string(at->second));
    }
  }

  // (An empty std::string_view, not "": against a std::string, "" makes the
  // result a temporary copy.)
  std::string_view File(const PatientSummary& p) const { return forModel_ ? std::string_view() : p.file; }
  std::string_view Patient(const PatientSummary& p, std::size_t hip) const {
    return forModel_ ? std::string_view(patients_[hip]) : p.patient;
  }
  std::string_view Exclusion(const PatientSummary& p) const {
    return forModel_ ? std::string_view() : p.exclusion;
  }
  // A hip's covariates, as many as the patients file has (none where the
  // hip has no row).
  void Covariates(std::string& out, const std::vector<std::string>& values, std::size_t count) const {
    for (std::size_t c = 0; c < count; ++c) {
      out += ',';
      if (c < values.size() && (!forModel_ || declared_)) AppendCsvField(out, values[c]);
    }
  }

private:
  bool forModel_ = false, declared_ = false;
  std::vector<std::string> patients_;
};

void SummaryRows(const StudyResult& result, const ShownTexts& shown, const PieceSink& sink) {
  std::string out = CsvHeader(kSummaryCsv, result.covariates);
  for (std::size_t hip = 0; hip < result.patients.size(); ++hip) {
    HandOnPiece(out, sink, false);
    const PatientSummary& p = result.patients[hip];
    Field(out, shown.File(p));
    Field(out, shown.Patient(p, hip));
    for (const std::string* text : {&p.group, &p.side, &p.format}) Field(out, *text);
    Number(out, p.radiographs);
    Field(out, p.surgeryDate);
    for (const std::optional<CalendarDate>& date : {p.events.revision, p.events.death, p.events.withdrawn})
      Field(out, date ? IsoDate(*date) : "");
    Field(out, shown.Exclusion(p));
    for (const std::string* date : {&p.firstDate, &p.lastDate}) Field(out, *date);
    Optional(out, p.daysToFirstRadiograph);
    Number(out, p.observationMonths);
    Number(out, p.isolated);
    Number(out, p.breaks);
    for (const std::optional<double>& value : std::initializer_list<std::optional<double>>{
             p.subsidenceLastMm, p.subsidencePrimaryMm, p.stemCementLastMm, p.angleChangeLastDeg})
      Optional(out, value);
    Field(out, p.overThreshold ? (*p.overThreshold ? "yes" : "no") : "");
    Field(out, p.band);
    AppendCsvField(out, p.pattern);
    shown.Covariates(out, p.covariates, result.covariates.size());
    out += kCsvLineEnd;
  }
  HandOnPiece(out, sink, true);
}

void VisitRows(const StudyResult& result, const ShownTexts& shown, const PieceSink& sink) {
  std::string out = CsvHeader(kVisitsCsv, result.covariates);
  for (std::size_t hip = 0; hip < result.patients.size(); ++hip) {
    HandOnPiece(out, sink, false);
    const PatientSummary& p = result.patients[hip];
    const auto group = std::find(result.groups.begin(), result.groups.end(), p.group);
    for (std::size_t v = 0; v < p.visits.size(); ++v) {
      const VisitValue& at = p.visits[v];
      Field(out, shown.File(p));
      Field(out, shown.Patient(p, hip));
      Field(out, p.group);
      Field(out, v == 0 ? "baseline" : result.protocol.visits[v - 1].name);
      Number(out, v == 0 ? 0 : result.protocol.visits[v - 1].months);
      Field(out, StatusName(at.status));
      if (at.radiograph > 0) {
        Number(out, at.radiograph);
        Field(out, IsoDate(at.date));
      } else {
        out += ",,";
      }
      Optional(out, at.days);
      Optional(out, at.days ? std::optional(*at.days / kDaysPerMonth) : std::nullopt);
      Field(out, at.status != VisitStatus::Measured ? "" : at.interpolated ? "yes" : "no");
      Optional(out, at.subsidence);
      Optional(out, at.stemCement);
      out += std::to_string(hip + 1);
      out += ',';
      // Every hip's group is among the study's; R refuses an empty number.
      if (group != result.groups.end()) out += std::to_string(group - result.groups.begin() + 1);
      out += ',';
      out += std::to_string(v);
      shown.Covariates(out, p.covariates, result.covariates.size());
      out += kCsvLineEnd;
    }
  }
  HandOnPiece(out, sink, true);
}

// summary.csv and visits.csv as `shown` gives their texts.
Expected<void, Failure> AddHipFiles(FileSet& set, const OutputFolder& folder, const StudyResult& result,
                                    const ShownTexts& shown) {
  const auto rows = [&](auto writer) {
    return [&, writer](const PieceSink& sink) { writer(result, shown, sink); };
  };
  if (auto added = AddRowsFile(set, folder, kSummaryCsv, rows(SummaryRows)); !added) return added;
  return AddRowsFile(set, folder, kVisitsCsv, rows(VisitRows));
}

} // namespace

std::string SummaryCsv(const StudyResult& result) {
  return WholeText([&](const PieceSink& sink) { SummaryRows(result, ShownTexts(), sink); });
}

std::string VisitsCsv(const StudyResult& result) {
  return WholeText([&](const PieceSink& sink) { VisitRows(result, ShownTexts(), sink); });
}

std::string FlowCsv(const StudyResult& result) {
  std::string out = CsvHeader(kFlowCsv);
  for (const FlowRow& row : result.flow) {
    Field(out, row.group);
    Field(out, row.visit);
    Number(out, row.targetMonths);
    Number(out, row.hips);
    for (int count : row.counts) Number(out, count);
    for (const auto& value : {row.days.mean, row.days.sd, row.days.min}) Optional(out, value);
    AppendOptional(out, row.days.max);
    out += kCsvLineEnd;
  }
  return out;
}

std::string CohortCsv(const StudyResult& result) {
  std::string out = CsvHeader(kCohortCsv);
  for (const CohortRow& row : result.cohort) {
    Field(out, SeriesName(row.series));
    Field(out, row.group);
    Field(out, row.visit);
    Number(out, row.followUpMonths);
    Number(out, row.n);
    for (const auto& value : {row.mean, row.sd, row.median, row.q1, row.q3, row.min, row.max, row.ci95Low})
      Optional(out, value);
    AppendOptional(out, row.ci95High);
    out += kCsvLineEnd;
  }
  return out;
}

std::string BandsCsv(const StudyResult& result) {
  std::string out = CsvHeader(kBandsCsv);
  for (const BandRow& row : result.bands) {
    Field(out, row.group);
    Field(out, row.classification);
    Field(out, row.band);
    Number(out, row.n);
    if (row.ci95) {
      Number(out, 100.0 * row.n / row.of);
      Number(out, 100 * (*row.ci95)[0]);
      AppendCsvNumber(out, 100 * (*row.ci95)[1]);
    } else {
      out += ",,";
    }
    out += kCsvLineEnd;
  }
  return out;
}

std::string PrecisionCsv(const StudyResult& result) {
  std::string out = CsvHeader(kPrecisionCsv);
  if (!result.repeat) return out;
  for (const AgreementRow& row : result.repeat->rows) {
    Field(out, SeriesName(row.series));
    Number(out, row.pairs);
    Number(out, row.hips);
    const auto pair = [&](const std::optional<std::array<double, 2>>& bounds) {
      Optional(out, bounds ? std::optional((*bounds)[0]) : std::nullopt);
      Optional(out, bounds ? std::optional((*bounds)[1]) : std::nullopt);
    };
    Optional(out, row.bias);
    pair(row.biasCi95);
    Optional(out, row.sd);
    for (const auto& bounds : {row.limits, row.lowLimitCi95, row.highLimitCi95}) pair(bounds);
    AppendOptional(out, row.detectionLimit);
    out += kCsvLineEnd;
  }
  return out;
}

std::string PairsCsv(const StudyResult& result) {
  std::string out = CsvHeader(kPairsCsv);
  if (!result.repeat) return out;
  for (const ReadingPair& pair : result.repeat->pairs) {
    Field(out, pair.file);
    Number(out, pair.radiograph);
    Field(out, IsoDate(pair.date));
    Field(out, SeriesName(pair.series));
    for (double value : {pair.first, pair.second, (pair.first + pair.second) / 2}) Number(out, value);
    AppendCsvNumber(out, pair.first - pair.second);
    out += kCsvLineEnd;
  }
  return out;
}

std::string RejectedCsv(const StudyResult& result) {
  std::string out = CsvHeader(kRejectedCsv);
  for (const RejectedFile& rejected : result.rejected) {
    Field(out, rejected.file);
    AppendCsvField(out, rejected.reason);
    out += kCsvLineEnd;
  }
  return out;
}

Expected<void, Failure> AddTextFiles(FileSet& set, const OutputFolder& folder, const NamedTexts& files) {
  for (const auto& [name, text] : files) {
    auto file = AtomicFile::Open(folder, name);
    if (!file) return Unexpected(file.error());
    file->Write(text);
    set.Add(std::move(*file));
  }
  return {};
}

namespace {

std::string PrimaryVisitText(const Protocol& protocol) {
  return PrimaryVisitCsv(protocol.primaryVisit, VisitNumber(protocol, protocol.primaryVisit));
}

} // namespace

Expected<void, Failure> AddStudyCsvFiles(FileSet& set, const StudyResult& result,
                                         const OutputFolder& folder) {
  if (auto added = AddHipFiles(set, folder, result, ShownTexts()); !added) return added;
  NamedTexts files = {
      {kFlowCsv, FlowCsv(result)},
      {kCohortCsv, CohortCsv(result)},
      {kBandsCsv, BandsCsv(result)},
      {kRejectedCsv, RejectedCsv(result)},
      {kComparisonCsv, ComparisonCsv(GroupComparisons(result.groups, ComparisonSamples(result)))},
      {kPrimaryVisitCsv, PrimaryVisitText(result.protocol)},
      {kModelSettingsCsv, ModelSettingsCsv(result)},
      {kBaselineCsv, BaselineCsv(BaselineTable(result))},
      {kDictionaryCsv, DictionaryCsv(result.covariates, result.repeat.has_value())}};
  if (result.repeat) {
    files.emplace_back(kPrecisionCsv, PrecisionCsv(result));
    files.emplace_back(kPairsCsv, PairsCsv(result));
  }
  return AddTextFiles(set, folder, files);
}

Expected<void, Failure> AddModelInputFiles(FileSet& set, const StudyResult& result,
                                           const OutputFolder& folder) {
  if (auto added = AddHipFiles(set, folder, result, ShownTexts(result)); !added) return added;
  return AddTextFiles(set, folder,
                      {{kModelSettingsCsv, ModelSettingsCsv(result)},
                       {kPrimaryVisitCsv, PrimaryVisitText(result.protocol)},
                       {kAnalysisScript, std::string(AnalysisScriptText())}});
}

} // namespace sinkview
