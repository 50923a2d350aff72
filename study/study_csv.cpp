#include "study/study_csv.h"

#include <filesystem>

#include "model/atomic_file.h"
#include "study/csv_text.h"

namespace fs = std::filesystem;

namespace sinkview {

namespace {

void AppendOptional(std::string& out, const std::optional<double>& value) {
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
void Optional(std::string& out, const std::optional<double>& value) {
  AppendOptional(out, value);
  out += ',';
}

std::string_view SeriesName(CohortSeries series) {
  return series == CohortSeries::Subsidence ? "subsidence" : "stem_cement";
}

} // namespace

std::string SummaryCsv(const StudyResult& result) {
  std::string out = "file,patient,side,format,radiographs,first_date,last_date,observation_months,isolated,"
                    "breaks,subsidence_last_mm,subsidence_24m_mm,rate_0_24_mm_per_year,"
                    "rate_after_24_mm_per_year,stem_cement_last_mm,angle_change_last_deg,over_threshold";
  out += kCsvLineEnd;
  for (const PatientSummary& p : result.patients) {
    Field(out, p.file);
    Field(out, p.patient);
    Field(out, p.side);
    Field(out, p.format);
    Number(out, p.radiographs);
    Field(out, p.firstDate);
    Field(out, p.lastDate);
    Number(out, p.observationMonths);
    Number(out, p.isolated);
    Number(out, p.breaks);
    for (const std::optional<double>& value : std::initializer_list<std::optional<double>>{
             p.subsidenceLastMm, p.subsidence24mMm, p.rate0to24MmPerYear, p.rateAfter24MmPerYear,
             p.stemCementLastMm, p.angleChangeLastDeg})
      Optional(out, value);
    if (p.overThreshold) out += *p.overThreshold ? "yes" : "no";
    out += kCsvLineEnd;
  }
  return out;
}

std::string CohortCsv(const StudyResult& result) {
  std::string out =
      "series,follow_up_months,n,mean_mm,sd_mm,median_mm,min_mm,max_mm,ci95_low_mm,ci95_high_mm";
  out += kCsvLineEnd;
  for (const CohortRow& row : result.cohort) {
    Field(out, SeriesName(row.series));
    Number(out, row.followUpMonths);
    Number(out, row.n);
    for (const auto& value : {row.mean, row.sd, row.median, row.min, row.max, row.ci95Low})
      Optional(out, value);
    AppendOptional(out, row.ci95High);
    out += kCsvLineEnd;
  }
  return out;
}

std::string RejectedCsv(const StudyResult& result) {
  std::string out = "file,reason";
  out += kCsvLineEnd;
  for (const RejectedFile& rejected : result.rejected) {
    Field(out, rejected.file);
    AppendCsvField(out, rejected.reason);
    out += kCsvLineEnd;
  }
  return out;
}

std::vector<Failure> WriteStudyCsvFiles(const StudyResult& result, const std::string& outputDir) {
  const auto in = [&](std::string_view name) { return (fs::path(outputDir) / name).native(); };
  std::vector<Failure> failures;
  for (MaybeFailure failure : {WriteFileAtomically(in(kSummaryCsv), SummaryCsv(result)),
                               WriteFileAtomically(in(kCohortCsv), CohortCsv(result)),
                               WriteFileAtomically(in(kRejectedCsv), RejectedCsv(result))}) {
    if (failure) failures.push_back(std::move(*failure));
  }
  return failures;
}

} // namespace sinkview
