#pragma once

// Every sentence of the study's write-up (methods.md, results.md,
// reporting.csv and the report's pages of them), as templates whose {1},
// {2}, ... the numbers and names fill in. A translation or a journal's
// house style is a change of this file alone.

#include <string_view>

namespace sinkview::phrasing {

// Headings.
inline constexpr std::string_view kMethodsTitle = "# Methods";
inline constexpr std::string_view kResultsTitle = "# Results";
inline constexpr std::string_view kHeading = "## {1}";
inline constexpr std::string_view kDesignHeading = "Study design and measurement";
inline constexpr std::string_view kAnalysisHeading = "Statistical analysis";
inline constexpr std::string_view kPrecisionHeading = "Precision";
inline constexpr std::string_view kSurvivalHeading = "Revision survival";
inline constexpr std::string_view kSoftwareHeading = "Software and data";
inline constexpr std::string_view kFlowHeading = "Participants";
inline constexpr std::string_view kTimingHeading = "Timing of the radiographs";
inline constexpr std::string_view kPrimaryHeading = "Primary result";
inline constexpr std::string_view kBandsHeading = "Bands and migration pattern";

// Lists and small words.
inline constexpr std::string_view kListSeparator = ", ";
inline constexpr std::string_view kGroupSeparator = "; ";
inline constexpr std::string_view kLastListSeparator = " and ";
inline constexpr std::string_view kBullet = "- {1}";
inline constexpr std::string_view kInterval = "95 % CI {1} to {2} {3}";
inline constexpr std::string_view kRange = "{1} to {2} {3}";
inline constexpr std::string_view kPValue = "p = {1}";
inline constexpr std::string_view kPValueBelow = "p {1}"; // the table's "< 0.001"
inline constexpr std::string_view kCountOf = "{1} of {2} hips";

// The study clock, windows and values.
inline constexpr std::string_view kClock = "Study times count {1}, in days, and in months of 365/12 days.";
inline constexpr std::string_view kBaselineWindow =
    "The baseline radiograph is a hip's first one, taken {1} to {2} days after surgery, both days included.";
inline constexpr std::string_view kBaselineUndated =
    "The baseline radiograph is a hip's first one; no hip has a surgery date.";
inline constexpr std::string_view kVisitWindows =
    "The visits, with their targets and windows in months, were {1}. Each window is half-open, [from, to): a "
    "radiograph "
    "on a bound that two windows share belongs to the later visit.";
inline constexpr std::string_view kVisitWindow = "{1} (target {2}, window {3} to {4})";
inline constexpr std::string_view kPrimaryVisit = "The primary endpoint is the subsidence at {1}.";
inline constexpr std::string_view kValueNearest =
    "A hip's value at a visit is the change since its first radiograph, taken from the comparable radiograph "
    "in the window nearest to the visit's target.";
inline constexpr std::string_view kValueInterpolated =
    "A hip's value at a visit is the change since its first radiograph, interpolated linearly at the visit's "
    "target between the comparable radiographs either side of it in the window.";
inline constexpr std::string_view kNoExtrapolation =
    "Values are never extrapolated, no value is taken across a break of a hip's course, and none after a "
    "revision, death or withdrawal.";
inline constexpr std::string_view kCutoff = "The data cut-off was {1}; radiographs after it were left out.";
inline constexpr std::string_view kMagnification =
    "Distances were corrected for magnification by the {1}, with {2}.";
inline constexpr std::string_view kHeadRadius = "head radius";
inline constexpr std::string_view kStemLength = "stem length";
inline constexpr std::string_view kEachFactor = "each radiograph's own factor";
inline constexpr std::string_view kMeanFactor = "the hip's mean factor";
inline constexpr std::string_view kComparability =
    "Two radiographs were compared only when they lay at most {1} months apart and each of their three "
    "control lengths differed by at most {2} mm; each comparable pair was weighted by how closely its "
    "control "
    "lengths agree. A hip's course breaks where no comparable pair spans an interval.";
inline constexpr std::string_view kReference =
    "Subsidence was measured at the {1} against the {2} trochanter.";
inline constexpr std::string_view kStemShoulder = "stem shoulder";
inline constexpr std::string_view kHeadCentre = "head centre";
inline constexpr std::string_view kSignConvention = "Sign convention: the subsidence is the {1}; the "
                                                    "stem/cement value is the {2}.";
inline constexpr std::string_view kMajor = "major";
inline constexpr std::string_view kMinor = "minor";

// The analysis.
inline constexpr std::string_view kPrimaryIsModel =
    "The primary analysis is the model-based difference between the groups at the primary visit; Welch's "
    "test is secondary.";
inline constexpr std::string_view kPrimaryIsWelch =
    "The primary analysis is Welch's test of the raw means at the primary visit; the model-based difference "
    "is secondary.";
inline constexpr std::string_view kOneGroupAnalysis =
    "The study has one group: means are reported, no comparison.";
inline constexpr std::string_view kModelUnstructured =
    "The subsidence was analysed with a linear model for repeated measures: {1} as fixed effects, an "
    "unstructured correlation between the visits and a variance per visit (nlme::gls, REML).";
inline constexpr std::string_view kModelRandomIntercept =
    "The subsidence was analysed with a linear mixed model: {1} as fixed effects and a random intercept per "
    "hip (nlme::lme, REML).";
inline constexpr std::string_view kFixedEffectsGroups = "group, visit and their interaction";
inline constexpr std::string_view kFixedEffectsOneGroup = "the visit";
inline constexpr std::string_view kCovariates = "{1}, adjusted for {2}";
inline constexpr std::string_view kMissingAtRandom =
    "The model uses every value measured and assumes that values are missing at random.";
inline constexpr std::string_view kMeansAndDf =
    "Means per group and visit and the differences from the reference group, {1}, were estimated with "
    "emmeans, with degrees of freedom by {2}, and not adjusted for multiplicity.";
inline constexpr std::string_view kMeansAndDfOneGroup =
    "Means per visit were estimated with emmeans, with degrees of freedom by {1}.";
inline constexpr std::string_view kSatterthwaite = "Satterthwaite's method";
inline constexpr std::string_view kContainment = "the containment method";
inline constexpr std::string_view kResidualDf = "the residual degrees of freedom";
inline constexpr std::string_view kJointTests = "Group, visit and their interaction were tested by F tests "
                                                "(emmeans::joint_tests).";
inline constexpr std::string_view kFallback =
    "The unstructured model could not be fitted ({1}); the random-intercept model was fitted instead.";
inline constexpr std::string_view kSensitivity = "Sensitivity analyses fitted the same model to {1}.";
inline constexpr std::string_view kCompleteCases = "the hips measured at every visit up to the primary one";
inline constexpr std::string_view kUnadjusted = "all hips without the covariates";
inline constexpr std::string_view kOneHipPerPatient =
    "one hip per patient (the one operated first; on the same day, the left one)";
inline constexpr std::string_view kNotFitted = "No model was fitted: {1}.";
inline constexpr std::string_view kWelch =
    "At each visit, each group's raw mean was compared with the reference group {1}'s by Welch's t test, "
    "two-sided and not adjusted for multiplicity.";

// Precision, bands and pattern.
inline constexpr std::string_view kPrecisionMethod =
    "Hips measured a second time, blind to the first reading, gave the precision: per radiograph the "
    "difference first minus second reading. The bias is the mean difference with its t interval; the "
    "limits of agreement are the bias ± 1.96 SD of the differences (Bland and Altman). The detection limit "
    "is 1.96 SD of the differences.";
inline constexpr std::string_view kBands =
    "At {1}, a stem is acceptable when its subsidence is below {2} mm in size, at risk from {2} mm to below "
    "{3} mm, and unacceptable from {3} mm on; shares have Wilson 95 % intervals.";
inline constexpr std::string_view kPatternRepeat =
    "A stem whose subsidence changed between {1} and {2} by more than the detection limit of the repeat "
    "readings migrated continuously; the others stabilised.";
inline constexpr std::string_view kPatternProtocol = "A stem whose subsidence changed between {1} and {2} by "
                                                     "more than {3} mm, the protocol's detection limit, "
                                                     "migrated continuously; the others stabilised.";
inline constexpr std::string_view kRepeatReadingsLimit = "{1} mm, the repeat readings'";
inline constexpr std::string_view kProtocolLimit = "the protocol";

// Survival.
inline constexpr std::string_view kSurvivalMethod =
    "Follow-up counts from surgery and ends at revision (the event), death (the competing event) or "
    "withdrawal (censored), else at the later of the last radiograph and the last contact, and at the data "
    "cut-off at the latest. The cumulative incidence of revision was estimated by Aalen-Johansen with death "
    "as a competing event, clustered by patient (survival::survfit); one minus Kaplan-Meier with deaths "
    "censored is a sensitivity analysis.";
inline constexpr std::string_view kGray = "Gray's test compared the groups (cmprsk::cuminc).";

// Software and data.
inline constexpr std::string_view kSoftware = "The analysis used {1}.";
inline constexpr std::string_view kComponent = "{1} {2}";
inline constexpr std::string_view kFingerprint =
    "The data's fingerprint, the SHA-256 of inputs.csv (every file read, with its own SHA-256), is {1}.";

// Results.
inline constexpr std::string_view kIncluded = "{1} patients with {2} hips were included{3}.";
inline constexpr std::string_view kIncludedPerGroup = " ({1})";
inline constexpr std::string_view kGroupPatients = "group {1}: {2} patients with {3} hips";
inline constexpr std::string_view kBilateral = "Patients with both hips in the study: {1}.";
inline constexpr std::string_view kExcluded = "Hips excluded: {1} ({2}).";
inline constexpr std::string_view kRejected =
    "Files that could not be read are listed in rejected.csv with why.";
inline constexpr std::string_view kFlowVisit = "At {1}: {2}.";
inline constexpr std::string_view kFlowGroup = "{1} of {2} hips measured{3}";
inline constexpr std::string_view kFlowInGroup = "group {1}, {2}";
inline constexpr std::string_view kNotMeasured = " (not measured: {1})";
inline constexpr std::string_view kStatusCount = "{1} {2}";
inline constexpr std::string_view kDaysToBaseline = "The baseline radiograph was taken {1} after surgery.";
inline constexpr std::string_view kDaysToPrimary = "The radiographs of {1} were taken {2} {3}.";
inline constexpr std::string_view kDaysDescription =
    "a mean of {1} days (SD {2} days, range {3} to {4} days)";
inline constexpr std::string_view kDaysDescriptionOne = "a mean of {1} days (range {2} to {3} days)";
inline constexpr std::string_view kDaysInGroup = "in group {1} {2}";
inline constexpr std::string_view kTableOne = "At baseline, {1}.";
inline constexpr std::string_view kTableOneGroup = "group {1} had {2}";
inline constexpr std::string_view kTableOneAll = "the hips had {1}";
inline constexpr std::string_view kNumberCharacteristic = "{1} {2} (SD {3})";
inline constexpr std::string_view kLevelCharacteristic = "{1} {2} {3} ({4} %)";
inline constexpr std::string_view kModelMeans = "At {1}, the model-based mean subsidence was {2}.";
inline constexpr std::string_view kMeanInGroup = "{1} in group {2}";
inline constexpr std::string_view kModelDifference =
    "The difference of group {1} from group {2} was {3} mm ({4}; {5}).";
inline constexpr std::string_view kModelAnalysis = "These are the {1} model's, on {2} hips.";
inline constexpr std::string_view kUnstructuredName = "unstructured";
inline constexpr std::string_view kRandomInterceptName = "random-intercept";
inline constexpr std::string_view kRawMeans = "At {1}, the raw mean subsidence was {2}.";
inline constexpr std::string_view kWelchDifference =
    "By Welch's test, the raw difference of group {1} from group {2} was {3} mm ({4}; {5}).";
inline constexpr std::string_view kPrimaryLabel = "Primary analysis: ";
inline constexpr std::string_view kSecondaryLabel = "Secondary analysis: ";
inline constexpr std::string_view kBandsResult = "At {1}, in group {2}: {3}.";
inline constexpr std::string_view kBandsResultOneGroup = "At {1}: {2}.";
inline constexpr std::string_view kBandShare = "{1} {2} ({3} %, {4})";
inline constexpr std::string_view kMigrators =
    "Continuous migrators (subsidence changing between {1} and {2} by more than the detection limit of {3}): "
    "{4}.";
inline constexpr std::string_view kMigratorsInGroup = "group {1} {2} of {3} hips ({4} %, {5})";
inline constexpr std::string_view kPrecisionResult =
    "{1}: {2} pairs of readings on {3} hips; bias {4} mm ({5}); limits of agreement {6} to {7} mm; detection "
    "limit {8} mm.";
inline constexpr std::string_view kSubsidence = "Subsidence";
inline constexpr std::string_view kStemCement = "Stem/cement interface";
inline constexpr std::string_view kIncidence = "The cumulative incidence of revision at {1} was {2}.";
inline constexpr std::string_view kYear = "{1} year";
inline constexpr std::string_view kYears = "{1} years";
inline constexpr std::string_view kAtRisk = "{1} hips at risk";
inline constexpr std::string_view kIncidenceInGroup = "{1} % ({2}) in group {3}";
inline constexpr std::string_view kKaplanMeier = "One minus Kaplan-Meier at {1}: {2}.";
inline constexpr std::string_view kKaplanMeierInGroup = "{1} % in group {2}";
inline constexpr std::string_view kGrayResult = "Gray's test of revision across the groups: {1}.";
inline constexpr std::string_view kSurvivalUnreadable = "The survival estimates cannot be shown: {1}.";
inline constexpr std::string_view kCharacteristicWithUnit = "{1} {2} {3} (SD {4} {3})";
inline constexpr std::string_view kCharacteristicAlone = "{1} {2}{3}";
inline constexpr std::string_view kFollowUp = "follow-up";
inline constexpr std::string_view kMonths = "months";
inline constexpr std::string_view kNoEstimate = "no estimate beyond the follow-up";

// reporting.csv.
inline constexpr std::string_view kNotAvailable = "not available from this study: {1}";
inline constexpr std::string_view kWhere = "report, section \"{1}\"";
inline constexpr std::string_view kWhereFile = "report, section \"{1}\"; {2}";
inline constexpr std::string_view kAnswerSeparator = "; ";
inline constexpr std::string_view kGroupAnswer = "{1}: {2}";
inline constexpr std::string_view kDifferenceAnswer = "{1} - {2}: {3}, {4}";
inline constexpr std::string_view kPrecisionFact =
    "{1} pairs of readings on {2} hips; detection limit {3} mm";
inline constexpr std::string_view kNoBaseline = "no hip has a baseline radiograph";
inline constexpr std::string_view kNoVisitHips = "no hip was measured at this visit";
inline constexpr std::string_view kNoModelMean = "no model-based mean";
inline constexpr std::string_view kNoModelDifference = "no model-based difference";
inline constexpr std::string_view kNoSubsidenceFit = "R left out the subsidence of all hips";
inline constexpr std::string_view kNoModelAsked = "none was asked for";
inline constexpr std::string_view kModelFitting = "the model is still being fitted";
inline constexpr std::string_view kItemPrimaryEndpoint = "primary endpoint and its time point";
inline constexpr std::string_view kPrimaryEndpoint = "subsidence (change since the first radiograph) at {1}";
inline constexpr std::string_view kItemDaysToBaseline = "days from surgery to the baseline radiograph";
inline constexpr std::string_view kItemDaysToVisit = "days from surgery to the radiographs of {1}";
inline constexpr std::string_view kItemAnalysed = "hips analysed at {1}, with reasons for missing values";
inline constexpr std::string_view kItemPrecision = "precision from double examinations";
inline constexpr std::string_view kNoRepeatReadings = "no hip was measured twice";
inline constexpr std::string_view kItemModel =
    "repeated-measures method and its assumption about missing values";
inline constexpr std::string_view kItemMeans = "mean subsidence with 95 % CI at {1}";
inline constexpr std::string_view kItemDifference = "difference between the groups at {1}";
inline constexpr std::string_view kOneGroupOnly = "the study has one group";
inline constexpr std::string_view kItemMigrators = "definition and count of continuous migrators";
inline constexpr std::string_view kNoPattern =
    "no detection limit (no repeat readings and none in the protocol)";
inline constexpr std::string_view kItemPlots = "individual migration plots";
inline constexpr std::string_view kPlots = "one page per hip, its diagrams beside its table";
inline constexpr std::string_view kItemSoftware = "software and versions";
inline constexpr std::string_view kNoSoftware = "software.csv was not written";

} // namespace sinkview::phrasing
