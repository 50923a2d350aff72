# Mixed-model analysis of a Sinkview study, written beside its CSV files.
#
# Reads visits.csv (one row per hip and visit), primary_visit.csv (the
# protocol's primary visit) and model_settings.csv (the model and its
# covariates) from this script's folder, and summary.csv where a patient
# has two hips, and writes model.csv, model_fit.csv, model_tests.csv and
# r_software.csv there. Hips, groups and visits are told apart by their
# numbers (hip, group_number, visit_number), never by their names: two
# names may read alike in a CSV file (a ' put before a formula's =, a
# control character blanked). The names only label the rows written.
# Run it again with:   Rscript --vanilla analysis.R
# (--vanilla: no .Rprofile or .Renviron of whoever runs it, in a shared folder too)
# Needs R with the packages nlme and emmeans.
#
# Per series (subsidence, and the stem/cement interface where the files
# have it) and analysis:
#   all                  every measured value after the baseline, adjusted
#                        for the covariates when there are any;
#   unadjusted           the same without the covariates (with covariates only);
#   complete_cases       the hips measured at every visit up to the primary
#                        one, with their values up to that visit (the
#                        sensitivity analysis);
#   one_hip_per_patient  each patient's hip operated first, on the same day
#                        the left one (when a patient has two hips).
# The model is  value ~ group * visit + covariates  (with one group
# value ~ visit), fitted by REML, with
#   unstructured      nlme::gls, a correlation per two visits
#                     (corSymm over the visit's position k) and a variance
#                     per visit (varIdent); Satterthwaite degrees of freedom
#                     (emmeans' exact ones).
#                     Where it fails or does not converge, the random
#                     intercept is fitted instead and model_fit.csv says why;
#   random_intercept  (the default) nlme::lme, a random intercept per hip;
#                     emmeans' containment degrees of freedom; where
#                     nlminb stops at a false convergence, optim's fit
#                     (model_fit.csv's maximum all the same) with a note.
# emmeans gives the mean per group and visit (numeric covariates at their
# mean, text covariates averaged in proportion to their levels) and each
# group's difference from the first group (the reference), with 95 %
# intervals; p-values are not adjusted for multiplicity (as comparison.csv).
# joint_tests gives the F tests of group, visit and group:visit.

# Without a package the script ends with exit status 3 (sinkview-study
# then says what to install).
needed <- c("nlme", "emmeans")
lacking <- needed[!vapply(needed, requireNamespace, logical(1), quietly = TRUE)]
if (length(lacking) > 0) {
  message("R lacks the package ", paste(lacking, collapse = " and "))
  quit(status = 3)
}
suppressPackageStartupMessages({
  library(nlme)
  library(emmeans)
})

# This script's folder, wherever it is run from.
script <- sub("^--file=", "", grep("^--file=", commandArgs(FALSE), value = TRUE))
folder <- if (length(script) == 1) dirname(script) else "."
path_in <- function(name) file.path(folder, name)

# Every field as text, converted below where a number is meant; UTF-8 and
# fields in quotes (with commas, quotes and line ends inside) as written.
read_study_csv <- function(name) {
  read.csv(path_in(name), encoding = "UTF-8", stringsAsFactors = FALSE, na.strings = "",
           colClasses = "character", check.names = FALSE)
}
visits <- read_study_csv("visits.csv")
for (column in c("hip", "group_number", "visit_number")) {
  if (!column %in% names(visits)) stop("visits.csv has no column ", column)
  visits[[column]] <- suppressWarnings(as.integer(visits[[column]]))
  if (anyNA(visits[[column]])) stop("visits.csv: the column ", column, " holds no whole number in a row")
}
primary <- suppressWarnings(as.integer(read_study_csv("primary_visit.csv")$visit_number[1]))

# The model asked for and the covariates, each by its column in visits.csv
# (a name may read like another once written). Without the file: the
# random intercept and no covariates.
settings <- if (file.exists(path_in("model_settings.csv"))) read_study_csv("model_settings.csv") else
  data.frame(setting = character(), value = character(), visits_column = character())
structure_asked <- settings$value[settings$setting == "model"]
if (length(structure_asked) == 0) structure_asked <- "random_intercept"
if (length(structure_asked) != 1 || !structure_asked %in% c("unstructured", "random_intercept"))
  stop("model_settings.csv: the model is neither unstructured nor random_intercept")
covariate_names <- settings$value[settings$setting == "covariate"]
covariate_columns <- suppressWarnings(as.integer(settings$visits_column[settings$setting == "covariate"]))
if (anyNA(covariate_columns) || any(covariate_columns < 1 | covariate_columns > ncol(visits)))
  stop("model_settings.csv: a covariate's column is none of visits.csv")
# A column whose every value is a number is numeric; the others are factors.
covariate_values <- lapply(covariate_columns, function(j) {
  text <- visits[[j]]
  number <- suppressWarnings(as.numeric(text))
  if (all(is.na(text) | !is.na(number))) number else text
})
covariate_terms <- sprintf("covariate%d", seq_along(covariate_columns))
any_text_covariate <- any(!vapply(covariate_values, is.numeric, logical(1)))

# The groups and visits in the study's order, by number, and the names they
# are printed by; the baseline is visit 0.
group_order <- sort(unique(visits$group_number))
group_names <- visits$group[match(group_order, visits$group_number)]
visit_order <- setdiff(sort(unique(visits$visit_number)), 0L)
visit_names <- visits$visit[match(visit_order, visits$visit_number)]
target_months <- as.numeric(visits$target_months[match(visit_order, visits$visit_number)])
if (!isTRUE(primary %in% visit_order)) stop("the primary visit is not among the visits of visits.csv")

is_measured <- visits$status == "measured" & visits$visit_number != 0
measured <- visits[is_measured, ]
series_columns <- c(subsidence = "subsidence_mm", stem_cement = "stem_cement_mm")

# The hips measured at every visit up to the primary one, and those visits.
up_to_primary <- visit_order[seq_len(match(primary, visit_order))]
complete_rows <- function(data) {
  data <- data[data$visit %in% up_to_primary, ]
  seen <- tapply(data$visit, data$hip, function(v) all(up_to_primary %in% v))
  data[data$hip %in% as.integer(names(seen)[seen]), ]
}

# Each patient's hip operated first (by summary.csv's surgery date, else its
# first radiograph's), on the same day the left one; the hips' numbers are
# summary.csv's rows.
first_hip_rows <- function(data) {
  summary <- read_study_csv("summary.csv")
  hips <- sort(unique(data$hip))
  day <- ifelse(is.na(summary$surgery_date[hips]), summary$first_date[hips], summary$surgery_date[hips])
  order_of <- order(summary$patient[hips], day, summary$side[hips] != "left", hips)
  patient <- summary$patient[hips][order_of]
  kept <- hips[order_of][is.na(patient) | !duplicated(patient)]
  data[data$hip %in% kept, ]
}
# A hip without a patient (none in the files) is nobody's second hip.
bilateral <- function(data) {
  patients <- unique(data[c("hip", "patient")])$patient
  anyDuplicated(patients[!is.na(patients)]) > 0
}

# The unstructured model; a fit that does not converge is an error of gls,
# and one whose variance parameters have no usable covariance (which the
# Satterthwaite degrees of freedom need) is made one here. The formula and
# the data go into the fit's call itself: emmeans refits from that call.
# At one visit there is no correlation, and one variance: a linear model.
fit_unstructured <- function(model, data) {
  one_visit <- nlevels(data$visit) == 1
  # natural = FALSE: the variance parameters' covariance on the scale of the
  # fit's own, which emmeans' exact Satterthwaite degrees of freedom need.
  fit <- do.call(gls, list(model = model, data = data, method = "REML",
                           correlation = if (!one_visit) corSymm(form = ~ k | hip),
                           weights = if (!one_visit) varIdent(form = ~ 1 | visit),
                           control = glsControl(natural = FALSE)))
  if (!one_visit && is.character(fit$apVar)) stop(fit$apVar)
  fit
}
# nlminb can stop with a "false convergence" where the likelihood is flat
# along a covariate far from 0 (age); optim reaches the same maximum there,
# and the fit says so.
fit_random_intercept <- function(model, data) {
  fit_with <- function(control) {
    do.call(lme, list(fixed = model, random = ~ 1 | hip, data = data, method = "REML", control = control))
  }
  tryCatch(fit_with(lmeControl()), error = function(e) {
    if (!grepl("false convergence", conditionMessage(e), fixed = TRUE)) stop(e)
    fit <- fit_with(lmeControl(opt = "optim"))
    attr(fit, "retried") <- "nlminb stopped at a false convergence; the fit is optim's"
    fit
  })
}

one_line <- function(e) gsub("\\s+", " ", conditionMessage(e))

# One fit: the means and the differences from the reference group as rows
# of model.csv, its row of model_fit.csv and its rows of model_tests.csv.
# A visit that some group has no value at (not yet reached in one arm) is
# left out, since group * visit could not be estimated with it.
fit_one <- function(data, analysis, series, adjusted) {
  groups <- intersect(group_order, data$group)
  visits_had <- Filter(function(v) all(groups %in% data$group[data$visit == v]), visit_order)
  data <- data[data$visit %in% visits_had, ]
  data$k <- match(data$visit, visits_had)
  data$group <- factor(data$group, levels = groups)
  data$visit <- factor(data$visit, levels = visits_had)
  terms <- c(if (length(groups) > 1) "group", if (length(visits_had) > 1) "visit")
  covariates <- if (adjusted) covariate_terms else character()
  model <- as.formula(paste("value ~", paste(c(if (length(terms)) paste(terms, collapse = " * ") else "1",
                                               covariates), collapse = " + ")))
  specs <- if (length(terms) == 2) ~ group | visit else if (length(terms) == 1) as.formula(paste("~", terms)) else ~ 1
  weights <- if (adjusted && any_text_covariate) "proportional" else "equal"

  structure <- structure_asked
  fallback <- NA
  # The reference grid holds the degrees of freedom the means and the tests
  # share. (emmeans' appx-satterthwaite would refit the model some forty
  # times to noisy values: slow, and different at each run.)
  grid_of <- function(fit, mode) {
    grid <- ref_grid(fit, data = data, mode = mode)
    s <- summary(emmeans(grid, specs, weights = weights))
    if (any(!is.finite(s$SE) | !is.finite(s$df))) stop("the means have no finite standard error or degrees of freedom")
    grid
  }
  if (structure == "unstructured") {
    tried <- tryCatch({
      fit <- fit_unstructured(model, data)
      list(fit = fit, grid = grid_of(fit, "satterthwaite"))
    }, error = function(e) e)
    if (inherits(tried, "error")) {
      structure <- "random_intercept"
      fallback <- paste("the unstructured model could not be fitted:", one_line(tried))
    }
  }
  if (structure == "random_intercept") {
    fit <- fit_random_intercept(model, data)
    tried <- list(fit = fit, grid = grid_of(fit, NULL))
  }
  fit <- tried$fit
  grid <- tried$grid
  retried <- attr(fit, "retried")
  # As emmeans took them: without variance parameters, the residual ones.
  df_method <- c(satterthwaite = "satterthwaite", containment = "containment",
                 df.error = "residual")[[attr(grid@dffun, "mesg")]]
  means <- emmeans(grid, specs, weights = weights)

  number <- function(level) as.integer(as.character(level))
  rows <- function(estimates, kind, p) {
    s <- as.data.frame(summary(estimates, infer = c(TRUE, p)))
    group <- if (kind == "difference") number(s$contrast)
             else if ("group" %in% names(s)) number(s$group) else groups[1]
    visit <- if ("visit" %in% names(s)) number(s$visit) else visits_had[1]
    reference <- if (kind == "difference") groups[1] else NA
    data.frame(analysis = analysis, series = series, kind = kind,
               group = group_names[match(group, group_order)],
               reference_group = group_names[match(reference, group_order)],
               visit = visit_names[match(visit, visit_order)],
               target_months = target_months[match(visit, visit_order)],
               estimate_mm = s[[if (kind == "mean") "emmean" else "estimate"]], se_mm = s$SE, df = s$df,
               ci95_low_mm = s$lower.CL, ci95_high_mm = s$upper.CL,
               p_value = if (p) s$p.value else NA,
               group_number = group, reference_group_number = reference, visit_number = visit,
               stringsAsFactors = FALSE)
  }
  out <- rows(means, "mean", FALSE)
  if (length(groups) > 1) {
    # Each group after the reference minus the reference, each contrast
    # named by its group's number: the labels are ours, not emmeans' text.
    others <- lapply(seq_along(groups)[-1], function(j) replace(numeric(length(groups)), c(1, j), c(-1, 1)))
    differences <- contrast(means, method = setNames(others, groups[-1]), adjust = "none")
    out <- rbind(out, rows(differences, "difference", TRUE))
  }

  # The F tests of the design's terms (none with one group at one visit);
  # the covariates' own are not asked for.
  tests <- if (length(terms) > 0) as.data.frame(joint_tests(grid)) else
    data.frame("model term" = character(), df1 = numeric(), df2 = numeric(), F.ratio = numeric(),
               p.value = numeric(), check.names = FALSE)
  tests <- tests[tests[["model term"]] %in% c("group", "visit", "group:visit"), , drop = FALSE]
  tests <- data.frame(analysis = rep(analysis, nrow(tests)), series = rep(series, nrow(tests)),
                      term = as.character(tests[["model term"]]), numerator_df = tests$df1,
                      denominator_df = tests$df2, f_value = tests$F.ratio, p_value = tests$p.value,
                      stringsAsFactors = FALSE)

  # The standard deviation at each visit, and the random intercept's; the
  # numbers themselves, as VarCorr prints rounded text.
  if (structure == "unstructured") {
    by_visit <- if (length(visits_had) == 1) fit$sigma else
      fit$sigma * coef(fit$modelStruct$varStruct, unconstrained = FALSE, allCoef = TRUE)[as.character(visits_had)]
    sds <- c(NA, NA)
  } else {
    sds <- c(sqrt(getVarCov(fit)[1, 1]), fit$sigma)
    by_visit <- rep(sqrt(sum(sds^2)), length(visits_had))
  }
  list(model = out, tests = tests, retried = retried,
       fit = data.frame(analysis = analysis, series = series, structure = structure,
                        df_method = df_method,
                        covariates = paste(covariate_names[seq_along(covariates)], collapse = "; "),
                        fallback = fallback, hips = length(unique(data$hip)),
                        observations = nrow(data), sd_intercept_mm = sds[1], sd_residual_mm = sds[2],
                        reml_log_likelihood = as.numeric(logLik(fit)), aic = AIC(fit),
                        visit_numbers = paste(visits_had, collapse = " "),
                        sd_by_visit_mm = paste(as.character(by_visit), collapse = " "),
                        stringsAsFactors = FALSE))
}

# The subsidence of all hips must be fitted; the other fits may fail
# (too few complete cases, too few hips with the stem/cement interface) and
# are then left out with a line "not fitted: SERIES, ANALYSIS: WHY" on stderr.
# A fit that fell back to the random intercept says so in a line "note: ...".
results <- list()
for (series in names(series_columns)) {
  data <- data.frame(hip = measured$hip, group = measured$group_number, visit = measured$visit_number,
                     patient = measured$patient, value = as.numeric(measured[[series_columns[[series]]]]),
                     stringsAsFactors = FALSE)
  for (j in seq_along(covariate_terms)) data[[covariate_terms[j]]] <- covariate_values[[j]][is_measured]
  data <- data[!is.na(data$value), ]
  if (nrow(data) == 0) {
    if (series == "subsidence") stop("no measured values after the baseline in visits.csv")
    next # the older format has no stem/cement values
  }
  # A hip without a covariate's value cannot be adjusted for it.
  unknown <- !complete.cases(data[covariate_terms])
  if (any(unknown)) {
    message("note: ", series, ": ", length(unique(data$hip[unknown])),
            " hips without a covariate's value are left out of the adjusted analyses")
  }
  adjusted <- length(covariate_terms) > 0
  analyses <- list(all = list(data[!unknown, ], adjusted))
  if (adjusted) analyses$unadjusted <- list(data, FALSE)
  analyses$complete_cases <- list(complete_rows(data[!unknown, ]), adjusted)
  if (bilateral(data)) analyses$one_hip_per_patient <- list(first_hip_rows(data[!unknown, ]), adjusted)
  for (analysis in names(analyses)) {
    fitted <- tryCatch({
      subset <- analyses[[analysis]][[1]]
      if (nrow(subset) == 0) stop("no hip has a value at every visit up to the primary one")
      fit_one(subset, analysis, series, analyses[[analysis]][[2]])
    }, error = function(e) {
      why <- paste0(series, ", ", analysis, ": ", one_line(e))
      if (series == "subsidence" && analysis == "all") stop(why, call. = FALSE)
      message("not fitted: ", why)
      NULL
    })
    if (is.null(fitted)) next
    if (!is.na(fitted$fit$fallback)) message("note: ", series, ", ", analysis, ": ", fitted$fit$fallback)
    if (!is.null(fitted$retried)) message("note: ", series, ", ", analysis, ": ", fitted$retried)
    results[[length(results) + 1]] <- fitted
  }
}
model_rows <- do.call(rbind, lapply(results, `[[`, "model"))
fit_rows <- do.call(rbind, lapply(results, `[[`, "fit"))
test_rows <- do.call(rbind, lapply(results, `[[`, "tests"))
software_rows <- data.frame(component = c("R", "nlme", "emmeans"),
                            version = c(paste(R.version$major, R.version$minor, sep = "."),
                                        as.character(packageVersion("nlme")),
                                        as.character(packageVersion("emmeans"))))

# CSV as the study writes it: UTF-8, CR LF, "." decimals, 15 significant
# digits, empty for missing, text in quotes where it holds a comma, a quote
# or a line end.
csv_field <- function(x) {
  if (is.numeric(x)) return(ifelse(is.na(x), "", as.character(x)))
  x <- ifelse(is.na(x), "", enc2utf8(x))
  quote <- grepl("[,\"\r\n]", x)
  x[quote] <- paste0("\"", gsub("\"", "\"\"", x[quote], fixed = TRUE), "\"")
  x
}
csv_text <- function(table) {
  fields <- lapply(table, csv_field)
  c(paste(names(table), collapse = ","), do.call(paste, c(fields, sep = ",")))
}

# Each file whole under a temporary name in this folder, then renamed: a
# reader never sees half a file, and a failure above leaves none.
write_atomically <- function(table, name) {
  temporary <- tempfile(paste0(".", name, "."), tmpdir = folder, fileext = ".tmp")
  connection <- file(temporary, open = "wb")
  writeLines(csv_text(table), connection, sep = "\r\n", useBytes = TRUE)
  close(connection)
  temporary
}
written <- c(model.csv = write_atomically(model_rows, "model.csv"),
             model_fit.csv = write_atomically(fit_rows, "model_fit.csv"),
             model_tests.csv = write_atomically(test_rows, "model_tests.csv"),
             r_software.csv = write_atomically(software_rows, "r_software.csv"))
for (name in names(written)) {
  if (!file.rename(written[[name]], path_in(name))) stop("cannot write ", path_in(name))
}
