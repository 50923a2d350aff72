#include "study/survival_columns.h"

namespace sinkview {

std::vector<CsvFileColumns> SurvivalColumns() {
  constexpr std::string_view kNone = "", kYears = "years";
  const CsvColumn group{"group", kNone, "group of the protocol (all: a study of one group)"};
  const CsvColumn event{"event", kNone, "revision, or death (the competing event)"};
  std::vector<CsvFileColumns> files;
  files.push_back(
      {kSurvivalHipsCsv,
       {{"file", kNone, "data file relative to the study folder; pseudonymised: the hip's pseudonym"},
        {"patient", kNone, "patient identifier; bilateral patients' hips are clustered by it"},
        group,
        {"days", "days", "surgery (day 0) to the end of follow-up"},
        {"years", kYears, "days / 365.25"},
        {"status", kNone, "revision (the event), death (the competing event) or censored"},
        {"reason", kNone,
         "how follow-up ended: revision, death, withdrawn, last_radiograph, last_contact or cutoff "
         "(an end after the data cut-off); a revision on the day of a death counts as the revision, "
         "an event on the day of a withdrawal as the event"}}});
  files.push_back({kSurvivalRejectedCsv,
                   {{"file", kNone, "hip that does not enter the survival estimates"},
                    {"reason", kNone, "why: excluded, or no surgery date"}}});
  files.push_back(
      {kSurvivalCsv,
       {{"method", kNone,
         "aalen_johansen (cumulative incidence, death competing) or one_minus_kaplan_meier (deaths "
         "censored, the sensitivity analysis)"},
        event,
        group,
        {"years", kYears, "time T after surgery, as the protocol's survival_years"},
        {"at_risk", "count", "hips followed for T years or more"},
        {"events", "count", "hips with that event up to T"},
        {"estimate", kNone, "cumulative incidence at T (a fraction); empty beyond the longest follow-up"},
        {"ci95_low", kNone, "95 % interval, lower bound (clustered by patient); empty for an estimate of 0"},
        {"ci95_high", kNone, "95 % interval, upper bound"}},
       /*covariates=*/false,
       /*repeatReadings=*/false,
       /*writtenByR=*/true});
  files.push_back({kSurvivalTestsCsv,
                   {event,
                    {"test", kNone, "gray: Gray's test across the groups (cmprsk::cuminc)"},
                    {"statistic", kNone, "chi-square statistic"},
                    {"df", kNone, "degrees of freedom"},
                    {"p_value", kNone, "p-value (not adjusted for multiplicity)"}},
                   /*covariates=*/false,
                   /*repeatReadings=*/false,
                   /*writtenByR=*/true});
  files.push_back({kSurvivalSoftwareCsv,
                   {{"component", kNone, "R or an R package the survival estimates used"},
                    {"version", kNone, "its version, as R reports it"}},
                   /*covariates=*/false,
                   /*repeatReadings=*/false,
                   /*writtenByR=*/true});
  files.push_back(
      {kSurvivalStepsCsv,
       {{"method", kNone,
         "aalen_johansen (cumulative incidence of revision) or one_minus_kaplan_meier: a step of the "
         "curve; at_risk: the hips at risk at a whole year, for under the figure's time axis"},
        group,
        {"years", kYears, "time after surgery where the curve steps (0 first), or the whole year"},
        {"at_risk", "count", "hips at risk at that time"},
        {"estimate", kNone, "the curve from that time on (a fraction); empty in at_risk rows"},
        {"ci95_low", kNone, "95 % interval, lower bound (clustered by patient); empty for an estimate of 0"},
        {"ci95_high", kNone, "95 % interval, upper bound"}},
       /*covariates=*/false,
       /*repeatReadings=*/false,
       /*writtenByR=*/true});
  return files;
}

} // namespace sinkview
