# Mixed-model analysis of a Sinkview study, written beside its CSV files.
#
# Reads visits.csv (one row per hip and visit) and primary_visit.csv (the
# protocol's primary visit) from this script's folder, and writes model.csv
# and model_fit.csv there. Hips, groups and visits are told apart by their
# numbers (hip, group_number, visit_number), never by their names: two
# names may read alike in a CSV file (a ' put before a formula's =, a
# control character blanked). The names only label the rows written.
# Run it again with:   Rscript --vanilla analysis.R
# (--vanilla: no .Rprofile or .Renviron of whoever runs it, in a shared folder too)
# Needs R with the packages nlme and emmeans.
#
# Per series (subsidence, and the stem/cement interface where the files
# have it) and analysis:
#   all             every measured value after the baseline;
#   complete_cases  the hips measured at every visit up to the primary one,
#                   with their values up to that visit (the sensitivity
#                   analysis).
# The model is   value ~ group * visit,  a random intercept per hip, fitted
# by REML (nlme::lme); with one group  value ~ visit.  emmeans gives the
# mean per group and visit and each group's difference from the first group
# (the reference), with 95 % intervals and emmeans' default degrees of
# freedom; p-values are not adjusted for multiplicity (as comparison.csv).

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

# The groups and visits in the study's order, by number, and the names they
# are printed by; the baseline is visit 0.
group_order <- sort(unique(visits$group_number))
group_names <- visits$group[match(group_order, visits$group_number)]
visit_order <- setdiff(sort(unique(visits$visit_number)), 0L)
visit_names <- visits$visit[match(visit_order, visits$visit_number)]
target_months <- as.numeric(visits$target_months[match(visit_order, visits$visit_number)])
if (!isTRUE(primary %in% visit_order)) stop("the primary visit is not among the visits of visits.csv")

measured <- visits[visits$status == "measured" & visits$visit_number != 0, ]
series_columns <- c(subsidence = "subsidence_mm", stem_cement = "stem_cement_mm")

# The hips measured at every visit up to the primary one, and those visits.
up_to_primary <- visit_order[seq_len(match(primary, visit_order))]
complete_rows <- function(data) {
  data <- data[data$visit %in% up_to_primary, ]
  seen <- tapply(data$visit, data$hip, function(v) all(up_to_primary %in% v))
  data[data$hip %in% as.integer(names(seen)[seen]), ]
}

# One fit: the means and the differences from the reference group as rows
# of model.csv, and the fit's row of model_fit.csv.
# A visit that some group has no value at (not yet reached in one arm) is
# left out, since group * visit could not be estimated with it.
fit_one <- function(data, analysis, series) {
  groups <- intersect(group_order, data$group)
  visits_had <- Filter(function(v) all(groups %in% data$group[data$visit == v]), visit_order)
  data <- data[data$visit %in% visits_had, ]
  data$group <- factor(data$group, levels = groups)
  data$visit <- factor(data$visit, levels = visits_had)
  terms <- c(if (length(groups) > 1) "group", if (length(visits_had) > 1) "visit")
  model <- as.formula(paste("value ~", if (length(terms)) paste(terms, collapse = " * ") else "1"))
  fit <- lme(model, random = ~ 1 | hip, data = data, method = "REML")

  # emmeans over the factors in the model; a factor of one level is the
  # same for every row.
  specs <- if (length(terms) == 2) ~ group | visit else if (length(terms) == 1) as.formula(paste("~", terms)) else ~ 1
  means <- emmeans(fit, specs)
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
  # VarCorr prints rounded text; the numbers themselves, unrounded.
  sds <- c(sqrt(getVarCov(fit)[1, 1]), fit$sigma)
  list(model = out,
       fit = data.frame(analysis = analysis, series = series, hips = length(unique(data$hip)),
                        observations = nrow(data), sd_intercept_mm = sds[1], sd_residual_mm = sds[2],
                        reml_log_likelihood = as.numeric(logLik(fit)), stringsAsFactors = FALSE))
}

# The subsidence of all hips must be fitted; the other fits may fail
# (too few complete cases, too few hips with the stem/cement interface) and
# are then left out with a line "not fitted: SERIES, ANALYSIS: WHY" on stderr.
results <- list()
for (series in names(series_columns)) {
  data <- data.frame(hip = measured$hip, group = measured$group_number, visit = measured$visit_number,
                     value = as.numeric(measured[[series_columns[[series]]]]))
  data <- data[!is.na(data$value), ]
  for (analysis in c("all", "complete_cases")) {
    if (nrow(data) == 0) {
      if (series == "subsidence") stop("no measured values after the baseline in visits.csv")
      next # the older format has no stem/cement values
    }
    if (analysis == "complete_cases") data <- complete_rows(data)
    fitted <- tryCatch({
      if (nrow(data) == 0) stop("no hip has a value at every visit up to the primary one")
      fit_one(data, analysis, series)
    }, error = function(e) {
      why <- paste0(series, ", ", analysis, ": ", gsub("[\r\n]+", " ", conditionMessage(e)))
      if (series == "subsidence" && analysis == "all") stop(why, call. = FALSE)
      message("not fitted: ", why)
      NULL
    })
    if (!is.null(fitted)) results[[length(results) + 1]] <- fitted
  }
}
model_rows <- do.call(rbind, lapply(results, `[[`, "model"))
fit_rows <- do.call(rbind, lapply(results, `[[`, "fit"))

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
             model_fit.csv = write_atomically(fit_rows, "model_fit.csv"))
for (name in names(written)) {
  if (!file.rename(written[[name]], path_in(name))) stop("cannot write ", path_in(name))
}
