#include "study/csv_columns.h"

#include <algorithm>

#include "study/analysis_script.h"
#include "study/baseline_table.h"
#include "study/change_signs.h"
#include "study/comparison.h"
#include "study/csv_text.h"
#include "study/long_rows.h"
#include "study/model_settings.h"
#include "study/study_csv.h"
#include "study/survival_columns.h"

namespace sinkview {

namespace {

constexpr std::string_view kDays = "days", kMonths = "months", kMm = "mm", kDate = "date (yyyy-mm-dd)",
                           kCount = "count", kPercent = "%", kNone = "";
constexpr std::string_view kCovariate = "covariate, as the patients file gives it";

// What identifies a hip; pseudonymised, the patients file's identifiers.
const CsvColumn kFile{
    "file", kNone,
    "data file relative to the study folder; pseudonymised: patient and side (L or R), and a "
    "number from a second hip of that side on (P017-L2)"};
const CsvColumn kPatient{"patient", kNone,
                         "patient identifier of the patients file, else the data file's identification"};
const CsvColumn kGroup{"group", kNone, "group of the protocol (all: a study of one group)"};
const CsvColumn kVisit{"visit", kNone,
                       "visit of the protocol, its window [from, to) months holding from but not to; "
                       "baseline: the first radiograph, the day of surgery included"};
const CsvColumn kTarget{"target_months", kMonths, "visit's target after surgery (0 at baseline)"};

std::vector<CsvFileColumns> AllFiles() {
  std::vector<CsvFileColumns> files;
  files.push_back(
      {kSummaryCsv,
       {kFile,
        kPatient,
        kGroup,
        {"side", kNone, "left or right"},
        {"format", kNone, "current (with stem/cement values) or older"},
        {"radiographs", kCount, "radiographs in the data file"},
        {"surgery_date", kDate, "date of surgery, empty when not known"},
        {"revision_date", kDate, "date of the revision, as the patients file gives it"},
        {"death_date", kDate, "date of the patient's death, as the patients file gives it"},
        {"withdrawn_date", kDate, "date of withdrawal from the study, as the patients file gives it"},
        {"excluded", kNone,
         "the patients file's reason for leaving the hip out of the statistics; empty when it takes part"},
        {"first_date", kDate, "first radiograph"},
        {"last_date", kDate, "last radiograph"},
        {"days_to_first_radiograph", kDays, "surgery to first radiograph"},
        {"observation_months", kMonths, "first to last radiograph, rounded as the table shows it"},
        {"isolated", kCount, "radiographs comparable with no other"},
        {"breaks", kCount, "segments started after the first radiograph"},
        {"subsidence_last_mm", kMm,
         "change of the corrected subsidence, first to last radiograph; sign as visits.csv's subsidence_mm"},
        {"subsidence_primary_mm", kMm,
         "change of the corrected subsidence at the primary visit; sign as visits.csv's subsidence_mm"},
        {"stem_cement_last_mm", kMm,
         "change at the stem/cement interface, first to last radiograph; sign as visits.csv's "
         "stem_cement_mm"},
        {"angle_change_last_deg", "degrees", "change of the bone/stem angle, first to last radiograph"},
        {"over_threshold", kNone, "yes when |subsidence_primary_mm| reaches the threshold"},
        {"band", kNone, "acceptable, at_risk or unacceptable by |subsidence_primary_mm|"},
        {"pattern", kNone,
         "continuous when the subsidence changes between the pattern's visits by more than the detection "
         "limit, else stabilised; empty without both values or a limit"}},
       true});
  files.push_back(
      {kVisitsCsv,
       {kFile,
        kPatient,
        kGroup,
        kVisit,
        kTarget,
        {"status", kNone,
         "measured, excluded, late_baseline, revised, died, withdrawn, not_yet_due, after_break, "
         "incomparable or missed"},
        {"radiograph", kNone, "number of the radiograph used, in date order; empty when interpolated"},
        {"date", kDate, "date of the radiograph used"},
        {"days", kDays, "study time of the value: since surgery, else since the first radiograph"},
        {"months", kMonths, "days / 30.4375"},
        {"interpolated", kNone, "yes when interpolated between two radiographs at the target"},
        {"subsidence_mm", kMm, kSubsidenceSign},
        {"stem_cement_mm", kMm, kStemCementSign},
        // Names can read alike in a CSV file (a ' put before a formula's =,
        // a control character blanked): the model goes by these numbers.
        {"hip", kNone, "hip's row in summary.csv; the model tells hips apart by it"},
        {"group_number", kNone, "group's number in the study's order; the model tells groups apart by it"},
        {"visit_number", kNone, "visit's number in the protocol, 0 the baseline; the model goes by it"}},
       true});
  std::vector<CsvColumn> flow = {kGroup, kVisit, kTarget, {"hips", kCount, "hips of the group"}};
  for (const auto& [name, what] :
       {std::pair{"measured", "with a value"},
        {"missed", "without a radiograph in the window (dated up to the cut-off)"},
        {"not_yet_due", "whose window closes after the cut-off"},
        {"revised", "revised before the window's end"},
        {"died", "died before the window's end"},
        {"withdrawn", "withdrawn before the window's end"},
        {"excluded", "excluded from the study"},
        {"late_baseline", "first radiograph outside the baseline days after surgery"},
        {"after_break", "radiographs in the window after a break of the course"},
        {"incomparable", "radiographs in the window, none comparable"}})
    flow.push_back({name, kCount, what});
  for (const auto& [name, what] : {std::pair{"mean_days", "mean"},
                                   {"sd_days", "standard deviation"},
                                   {"min_days", "least"},
                                   {"max_days", "greatest"}})
    flow.push_back({name, kDays, what});
  files.push_back({kFlowCsv, std::move(flow)});
  files.push_back(
      {kCohortCsv,
       {{"series", kNone, "subsidence or stem_cement"},
        kGroup,
        kVisit,
        kTarget,
        {"n", kCount, "hips with a value"},
        {"mean_mm", kMm, "mean change"},
        {"sd_mm", kMm, "standard deviation"},
        {"median_mm", kMm, "median"},
        {"q1_mm", kMm, "first quartile (R's quantile type 7)"},
        {"q3_mm", kMm, "third quartile (R's quantile type 7)"},
        {"min_mm", kMm, "least change"},
        {"max_mm", kMm, "greatest change"},
        {"ci95_low_mm", kMm, "95 % confidence interval of the mean (Student's t), lower bound"},
        {"ci95_high_mm", kMm, "95 % confidence interval of the mean (Student's t), upper bound"}}});
  files.push_back(
      {kBandsCsv,
       {kGroup,
        {"classification", kNone, "band (at the primary visit) or pattern (of migration)"},
        {"band", kNone, "acceptable, at_risk or unacceptable at the primary visit; continuous or stabilised"},
        {"n", kCount, "hips in the band"},
        {"percent", kPercent, "of the group's hips with a band (or a pattern)"},
        {"ci95_low_percent", kPercent, "95 % Wilson score interval, lower bound"},
        {"ci95_high_percent", kPercent, "95 % Wilson score interval, upper bound"}}});
  files.push_back(
      {kBaselineCsv,
       {{"characteristic", kNone,
         "patients, hips, bilateral_patients (with two hips), excluded_hips, a covariate by its column, "
         "days_to_first_radiograph or follow_up_months (surgery to the last radiograph)"},
        {"level", kNone, "the level of a text covariate; else empty"},
        {"group", kNone, "group of the protocol, or all; an excluded hip counts in excluded_hips only"},
        {"n", kCount, "patients or hips; of a level, hips with it; of numbers, hips with a value"},
        {"percent", kPercent, "of the group's hips with a value of the covariate"},
        {"mean", kNone, "mean over the hips, in the characteristic's unit"},
        {"sd", kNone, "standard deviation"},
        {"median", kNone, "median"},
        {"q1", kNone, "first quartile (R's quantile type 7)"},
        {"q3", kNone, "third quartile (R's quantile type 7)"},
        {"min", kNone, "least"},
        {"max", kNone, "greatest"}}});
  files.push_back({kLongCsv, LongColumns()});
  const CsvColumn series{"series", kNone, "subsidence or stem_cement"};
  files.push_back(
      {kPrecisionCsv,
       {series,
        {"pairs", kCount, "radiographs read twice, each a change from the first radiograph in both readings"},
        {"hips", kCount, "hips with a pair"},
        {"bias_mm", kMm, "mean difference, first - second reading"},
        {"bias_ci95_low_mm", kMm, "95 % confidence interval of the bias (Student's t), lower bound"},
        {"bias_ci95_high_mm", kMm, "95 % confidence interval of the bias (Student's t), upper bound"},
        {"sd_mm", kMm, "standard deviation of the differences"},
        {"loa_low_mm", kMm, "lower limit of agreement, bias - 1.96 sd"},
        {"loa_high_mm", kMm, "upper limit of agreement, bias + 1.96 sd"},
        {"loa_low_ci95_low_mm", kMm, "approximate 95 % interval of the lower limit (Bland and Altman 1999)"},
        {"loa_low_ci95_high_mm", kMm, "the same, upper bound"},
        {"loa_high_ci95_low_mm", kMm, "approximate 95 % interval of the upper limit, lower bound"},
        {"loa_high_ci95_high_mm", kMm, "the same, upper bound"},
        {"detection_limit_mm", kMm, "smallest change told from measuring error, 1.96 sd"}},
       false,
       true});
  files.push_back({kPairsCsv,
                   {kFile,
                    {"radiograph", kNone, "number of the radiograph in the first reading, in date order"},
                    {"date", kDate, "date of the radiograph"},
                    series,
                    {"first_mm", kMm, "change from the first radiograph, first reading"},
                    {"second_mm", kMm, "the same, second reading"},
                    {"mean_mm", kMm, "mean of the two readings"},
                    {"difference_mm", kMm, "first - second reading"}},
                   false,
                   true});
  files.push_back({kRejectedCsv,
                   {{"file", kNone, "data file or patients file row left out (pseudonymised: the patient)"},
                    {"reason", kNone, "why"}}});
  files.push_back({kComparisonCsv,
                   {{"series", kNone, "subsidence or stem_cement"},
                    kVisit,
                    kTarget,
                    {"group", kNone, "group compared with the reference group"},
                    {"reference_group", kNone, "the first group of the patients file"},
                    {"n", kCount, "hips of the group with a value"},
                    {"reference_n", kCount, "hips of the reference group with a value"},
                    {"difference_mm", kMm, "group's mean change minus the reference group's"},
                    {"ci95_low_mm", kMm, "95 % Welch interval of the difference, lower bound"},
                    {"ci95_high_mm", kMm, "95 % Welch interval of the difference, upper bound"},
                    {"p_value", kNone, "two-sided, Welch's t (not adjusted for multiplicity)"}}});
  files.push_back({kPrimaryVisitCsv,
                   {{"primary_visit", kNone, "the protocol's primary visit, for analysis.R"},
                    {"visit_number", kNone, "its number in the protocol, as in visits.csv"}}});
  files.push_back({kModelSettingsCsv,
                   {{"setting", kNone, "model (its value the structure) or covariate (its value the name)"},
                    {"value", kNone, "unstructured or random_intercept; the covariate's name"},
                    {"visits_column", kNone, "the covariate's column in visits.csv, 1 the first"}}});
  const CsvColumn analysis{"analysis", kNone,
                           "all (every measured value, adjusted for the covariates), unadjusted (the same "
                           "without them), complete_cases (the hips measured at every visit up to the "
                           "primary one) or one_hip_per_patient (each patient's hip operated first, on "
                           "the same day the left one)"};
  files.push_back({kModelCsv,
                   {analysis,
                    series,
                    {"kind", kNone, "mean (of the group at the visit) or difference (group minus reference)"},
                    {"group", kNone, "group of the protocol"},
                    {"reference_group", kNone, "the first group, for a difference"},
                    kVisit,
                    kTarget,
                    {"estimate_mm", kMm, "model-based mean or difference (emmeans)"},
                    {"se_mm", kMm, "its standard error"},
                    {"df", kNone, "degrees of freedom (model_fit.csv's df_method)"},
                    {"ci95_low_mm", kMm, "95 % confidence interval, lower bound"},
                    {"ci95_high_mm", kMm, "95 % confidence interval, upper bound"},
                    {"p_value", kNone, "two-sided, of a difference (not adjusted for multiplicity)"},
                    {"group_number", kNone, "the group's number, as in visits.csv"},
                    {"reference_group_number", kNone, "the reference group's number, for a difference"},
                    {"visit_number", kNone, "the visit's number, as in visits.csv"}},
                   /*covariates=*/false,
                   /*repeatReadings=*/false,
                   /*writtenByR=*/true});
  files.push_back({kModelFitCsv,
                   {analysis,
                    series,
                    {"structure", kNone,
                     "unstructured (a correlation per two visits, a variance per visit; nlme::gls) or "
                     "random_intercept (one per hip; nlme::lme)"},
                    {"df_method", kNone,
                     "satterthwaite, containment or residual (a fit at one visit), as emmeans took them"},
                    {"covariates", kNone, "the covariates adjusted for, separated by \"; \""},
                    {"fallback", kNone, "why the unstructured model was not fitted; empty when it was"},
                    {"hips", kCount, "hips in the fit"},
                    {"observations", kCount, "values in the fit"},
                    {"sd_intercept_mm", kMm, "standard deviation of the hips' random intercepts"},
                    {"sd_residual_mm", kMm, "residual standard deviation (random intercept)"},
                    {"reml_log_likelihood", kNone, "restricted log-likelihood of the fit"},
                    {"aic", kNone, "Akaike's information criterion of the REML fit"},
                    {"visit_numbers", kNone, "the visits fitted, by their numbers in visits.csv"},
                    {"sd_by_visit_mm", kMm, "standard deviation of a value at each of those visits"}},
                   /*covariates=*/false,
                   /*repeatReadings=*/false,
                   /*writtenByR=*/true});
  for (CsvFileColumns& file : SurvivalColumns()) files.push_back(std::move(file));
  files.push_back({kModelTestsCsv,
                   {analysis,
                    series,
                    {"term", kNone, "group, visit or group:visit (emmeans::joint_tests)"},
                    {"numerator_df", kNone, "numerator degrees of freedom"},
                    {"denominator_df", kNone, "denominator degrees of freedom (as the means')"},
                    {"f_value", kNone, "F statistic"},
                    {"p_value", kNone, "of the F test that the term's effects are all 0"}},
                   /*covariates=*/false,
                   /*repeatReadings=*/false,
                   /*writtenByR=*/true});
  files.push_back({kRSoftwareCsv,
                   {{"component", kNone, "R or an R package the model used"},
                    {"version", kNone, "its version, as R reports it"}},
                   /*covariates=*/false,
                   /*repeatReadings=*/false,
                   /*writtenByR=*/true});
  files.push_back({kInputsCsv,
                   {{"role", kNone, "data, second_reading, protocol or patients"},
                    {"path", kNone, "relative to the study folder; pseudonymised, a data file is its hip"},
                    {"bytes", kCount, "the file's size"},
                    {"sha256", kNone, "its SHA-256, as sha256sum gives it"}}});
  files.push_back(
      {kSoftwareCsv,
       {{"component", kNone, "Sinkview, a library it was built with, R or an R package the model used"},
        {"version", kNone, "its version"}}});
  files.push_back(
      {kReportingCsv,
       {{"item", kNone,
         "a fact that migration-study reporting asks for (what the study can answer, not a checklist)"},
        {"answer", kNone,
         "the study's value, as the report's tables show it, or \"not available from this study: ...\""},
        {"where", kNone, "the report's section that shows it, and the file"}}});
  files.push_back({kDictionaryCsv,
                   {{"file", kNone, "file the column is in"},
                    {"column", kNone, "column's name"},
                    {"unit", kNone, "unit of its values"},
                    {"description", kNone, "what it holds"}}});
  return files;
}

} // namespace

const std::vector<CsvFileColumns>& StudyCsvColumns() {
  static const std::vector<CsvFileColumns> files = AllFiles();
  return files;
}

std::size_t StudyCsvFileCount(bool withRepeatReadings) {
  const auto& files = StudyCsvColumns();
  return static_cast<std::size_t>(std::count_if(files.begin(), files.end(), [&](const CsvFileColumns& f) {
    return !f.writtenByR && (withRepeatReadings || !f.repeatReadings);
  }));
}

const CsvFileColumns& ColumnsOf(std::string_view file) {
  const auto& files = StudyCsvColumns();
  return *std::find_if(files.begin(), files.end(), [&](const CsvFileColumns& f) { return f.file == file; });
}

std::string CsvHeader(std::string_view file, const std::vector<std::string>& covariates) {
  std::string header;
  for (const CsvColumn& column : ColumnsOf(file).columns) {
    if (!header.empty()) header += ',';
    header += column.name;
  }
  for (const std::string& covariate : covariates) {
    header += ',';
    AppendCsvField(header, covariate);
  }
  return header += kCsvLineEnd;
}

std::string DictionaryCsv(const std::vector<std::string>& covariates, bool repeatReadings) {
  std::string out = CsvHeader(kDictionaryCsv);
  const auto row = [&](std::string_view file, std::string_view column, std::string_view unit,
                       std::string_view description) {
    for (std::string_view field : {file, column, unit}) {
      AppendCsvField(out, field);
      out += ',';
    }
    AppendCsvField(out, description);
    out += kCsvLineEnd;
  };
  for (const CsvFileColumns& file : StudyCsvColumns()) {
    if (file.repeatReadings && !repeatReadings) continue;
    for (const CsvColumn& column : file.columns) row(file.file, column.name, column.unit, column.description);
    if (file.covariates)
      for (const std::string& covariate : covariates) row(file.file, covariate, kNone, kCovariate);
  }
  return out;
}

} // namespace sinkview
