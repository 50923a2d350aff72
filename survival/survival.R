# Revision survival of a Sinkview study, written beside its CSV files.
#
# Reads survival_hips.csv (one row per hip that enters, its follow-up in
# days from surgery and how it ended) from this script's folder, and writes
# survival.csv, survival_tests.csv, survival_steps.csv (the curves' steps,
# for the figure) and survival_software.csv (R's and the packages'
# versions) there.
# Run it again with:   Rscript --vanilla survival.R
# Needs R with the packages survival and cmprsk.
#
# Death is a competing event: the cumulative incidence of revision is the
# Aalen-Johansen estimate (survival::survfit with a multi-state outcome,
# censored its first level), per group, its 95 % interval survfit's with
# the variance clustered by patient (bilateral patients). One minus
# Kaplan-Meier with deaths censored (log-log interval) is the sensitivity
# analysis; it overstates the risk where many die first. Gray's test
# (cmprsk::cuminc) compares the groups, for revision and for death.
# Years are days / 365.25; at T the hips at risk are those followed for
# T years or more. A T beyond a group's longest follow-up has no estimate.

# Without a package the script ends with exit status 3 (sinkview-study
# then says what to install).
needed <- c("survival", "cmprsk")
lacking <- needed[!vapply(needed, requireNamespace, logical(1), quietly = TRUE)]
if (length(lacking) > 0) {
  message("R lacks the package ", paste(lacking, collapse = " and "))
  quit(status = 3)
}
suppressPackageStartupMessages({
  library(survival)
  library(cmprsk)
})

# This script's folder, wherever it is run from.
script <- sub("^--file=", "", grep("^--file=", commandArgs(FALSE), value = TRUE))
folder <- if (length(script) == 1) dirname(script) else "."
path_in <- function(name) file.path(folder, name)

# The times of the estimates, in years (the protocol's survival_years).
times <- c(1, 2, 5, 10)

hips <- read.csv(path_in("survival_hips.csv"), encoding = "UTF-8", stringsAsFactors = FALSE,
                 na.strings = "", colClasses = "character", check.names = FALSE)
for (column in c("file", "patient", "group", "days", "status")) {
  if (!column %in% names(hips)) stop("survival_hips.csv has no column ", column)
}
hips$days <- suppressWarnings(as.integer(hips$days))
if (anyNA(hips$days) || any(hips$days < 0)) stop("survival_hips.csv: a row has no days of 0 or more")
if (!all(hips$status %in% c("censored", "revision", "death")))
  stop("survival_hips.csv: a status is none of censored, revision and death")
hips$years <- hips$days / 365.25 # from the days, not the rounded years written beside them
hips$hip <- seq_len(nrow(hips))
hips$state <- factor(hips$status, levels = c("censored", "revision", "death"))
groups <- unique(hips$group) # in the study's order, as the rows come

# Where R gives no interval (an estimate of 0), the fields stay empty.
interval <- function(estimate, low, high) {
  none <- is.na(estimate) | estimate == 0 | is.na(low) | is.na(high)
  list(low = ifelse(none, NA, low), high = ifelse(none, NA, high))
}

# One row per time: hips at risk, events of that kind up to T, estimate;
# no estimate beyond the group's longest follow-up.
rows_at_times <- function(method, event, group, data, estimate_at) {
  rows <- lapply(times, function(t) {
    at_risk <- sum(data$years >= t)
    events <- sum(data$status == event & data$years <= t)
    e <- if (at_risk > 0) estimate_at(t) else c(NA, NA, NA)
    ci <- interval(e[1], e[2], e[3])
    data.frame(method = method, event = event, group = group, years = t, at_risk = at_risk,
               events = events, estimate = e[1], ci95_low = ci$low, ci95_high = ci$high,
               stringsAsFactors = FALSE)
  })
  do.call(rbind, rows)
}

# Every step of a curve from 0: the estimate, its interval and the hips at
# risk just before it, as the figure draws them.
step_rows <- function(method, group, years, at_risk, estimate, low, high) {
  ci <- interval(estimate, low, high)
  data.frame(method = method, group = group, years = c(0, years), at_risk = c(at_risk[1], at_risk),
             estimate = c(0, estimate), ci95_low = c(NA, ci$low), ci95_high = c(NA, ci$high),
             stringsAsFactors = FALSE)
}

estimates <- list()
steps <- list()
for (g in groups) {
  data <- hips[hips$group == g, ]
  aj <- survfit(Surv(years, state) ~ 1, data = data, id = hip, cluster = patient)
  revision <- match("revision", aj$states)
  steps[[length(steps) + 1]] <- if (is.na(revision)) {
    step_rows("aalen_johansen", g, numeric(), nrow(data), numeric(), numeric(), numeric())
  } else {
    step_rows("aalen_johansen", g, aj$time, aj$n.risk[, 1], aj$pstate[, revision], aj$lower[, revision],
              aj$upper[, revision])
  }
  for (event in c("revision", "death")) {
    column <- match(event, aj$states)
    at <- function(t) {
      s <- summary(aj, times = t)
      if (is.na(column)) return(c(0, NA, NA)) # the event never happened in the group
      c(s$pstate[1, column], s$lower[1, column], s$upper[1, column])
    }
    estimates[[length(estimates) + 1]] <- rows_at_times("aalen_johansen", event, g, data, at)
  }
  km <- survfit(Surv(years, status == "revision") ~ 1, data = data, cluster = patient,
                conf.type = "log-log")
  at <- function(t) {
    s <- summary(km, times = t)
    c(1 - s$surv[1], 1 - s$upper[1], 1 - s$lower[1])
  }
  estimates[[length(estimates) + 1]] <- rows_at_times("one_minus_kaplan_meier", "revision", g, data, at)
  steps[[length(steps) + 1]] <- step_rows("one_minus_kaplan_meier", g, km$time, km$n.risk, 1 - km$surv,
                                          1 - km$upper, 1 - km$lower)
  # The hips at risk at each whole year of the group's follow-up, under the figure's axis.
  whole <- seq(0, floor(max(data$years)))
  steps[[length(steps) + 1]] <- data.frame(method = "at_risk", group = g, years = whole,
                                           at_risk = vapply(whole, function(t) sum(data$years >= t), 0),
                                           estimate = NA, ci95_low = NA, ci95_high = NA,
                                           stringsAsFactors = FALSE)
}
step_table <- do.call(rbind, steps)
if (is.null(step_table))
  step_table <- data.frame(method = character(), group = character(), years = numeric(),
                           at_risk = integer(), estimate = numeric(), ci95_low = numeric(),
                           ci95_high = numeric())
survival_rows <- do.call(rbind, estimates)
if (is.null(survival_rows))
  survival_rows <- data.frame(method = character(), event = character(), group = character(),
                              years = numeric(), at_risk = integer(), events = integer(),
                              estimate = numeric(), ci95_low = numeric(), ci95_high = numeric())

# Gray's test across the groups; none with one group.
test_rows <- data.frame(event = character(), test = character(), statistic = numeric(),
                        df = numeric(), p_value = numeric(), stringsAsFactors = FALSE)
if (length(groups) > 1) {
  code <- match(hips$status, c("revision", "death"), nomatch = 0)
  gray <- cuminc(hips$years, code, factor(hips$group, levels = groups), cencode = 0)
  for (event in c("revision", "death")) {
    cause <- as.character(match(event, c("revision", "death")))
    found <- !is.null(gray$Tests) && cause %in% rownames(gray$Tests)
    # cmprsk gives a negative statistic where its variance is singular
    # (a group without the event, say): no test, and said so.
    if (found && !(is.finite(gray$Tests[cause, "stat"]) && gray$Tests[cause, "stat"] >= 0)) {
      message("not tested: Gray's test for ", event, " has no valid statistic in these groups")
      found <- FALSE
    }
    test_rows[nrow(test_rows) + 1, ] <- list(event, "gray",
                                             if (found) gray$Tests[cause, "stat"] else NA,
                                             if (found) gray$Tests[cause, "df"] else NA,
                                             if (found) gray$Tests[cause, "pv"] else NA)
  }
}

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
  if (nrow(table) == 0) return(paste(names(table), collapse = ","))
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
software_rows <- data.frame(component = c("R", "survival", "cmprsk"),
                            version = c(paste(R.version$major, R.version$minor, sep = "."),
                                        as.character(packageVersion("survival")),
                                        as.character(packageVersion("cmprsk"))))
written <- c(survival.csv = write_atomically(survival_rows, "survival.csv"),
             survival_tests.csv = write_atomically(test_rows, "survival_tests.csv"),
             survival_steps.csv = write_atomically(step_table, "survival_steps.csv"),
             survival_software.csv = write_atomically(software_rows, "survival_software.csv"))
for (name in names(written)) {
  if (!file.rename(written[[name]], path_in(name))) stop("cannot write ", path_in(name))
}
