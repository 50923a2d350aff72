# How expected/ was made, once, by hand, without analysis.R:
#   Rscript --vanilla fitted_by_hand.R
# Two groups of nine hips, adjusted for age and sex; P01 and P11 have two
# hips each. Complete cases leave out a4, a7, b4 and b7 (a visit missed);
# one hip per patient leaves out a2 (P01's hip operated later) and b2
# (P11's right hip, operated the same day as the left).
library(nlme); library(emmeans)
v <- read.csv("visits.csv")
v <- v[v$status == "measured" & v$visit != "baseline", ]
v$group <- factor(v$group, levels = c("A", "B"))
v$visit <- factor(v$visit, levels = c("6 months", "12 months", "24 months"))
v$k <- as.integer(v$visit)
v$sex <- factor(v$sex)
fits <- list(all = list(v, TRUE), unadjusted = list(v, FALSE),
             complete_cases = list(v[!v$file %in% c("a4.vok", "a7.vok", "b4.vok", "b7.vok"), ], TRUE),
             one_hip_per_patient = list(v[!v$file %in% c("a2.vok", "b2.vok"), ], TRUE))
model <- list(); fit_rows <- list(); test_rows <- list()
for (analysis in names(fits)) {
  d <- fits[[analysis]][[1]]
  f <- if (fits[[analysis]][[2]]) subsidence_mm ~ group * visit + age + sex else subsidence_mm ~ group * visit
  fit <- do.call(gls, list(model = f, data = d, correlation = corSymm(form = ~ k | file),
                           weights = varIdent(form = ~ 1 | visit), method = "REML",
                           control = glsControl(natural = FALSE)))
  grid <- ref_grid(fit, data = d, mode = "satterthwaite")
  m <- emmeans(grid, ~ group | visit, weights = if (fits[[analysis]][[2]]) "proportional" else "equal")
  means <- as.data.frame(summary(m))
  diffs <- as.data.frame(summary(contrast(m, "trt.vs.ctrl", adjust = "none"), infer = TRUE))
  model[[analysis]] <- rbind(
    data.frame(analysis, series = "subsidence", kind = "mean", group = means$group, reference_group = "",
               visit = means$visit, target_months = c(6, 6, 12, 12, 24, 24), estimate_mm = means$emmean,
               se_mm = means$SE, df = means$df, ci95_low_mm = means$lower.CL, ci95_high_mm = means$upper.CL,
               p_value = NA, group_number = as.integer(means$group), reference_group_number = NA,
               visit_number = as.integer(means$visit)),
    data.frame(analysis, series = "subsidence", kind = "difference", group = "B", reference_group = "A",
               visit = diffs$visit, target_months = c(6, 12, 24), estimate_mm = diffs$estimate,
               se_mm = diffs$SE, df = diffs$df, ci95_low_mm = diffs$lower.CL, ci95_high_mm = diffs$upper.CL,
               p_value = diffs$p.value, group_number = 2, reference_group_number = 1,
               visit_number = as.integer(diffs$visit)))
  ratios <- coef(fit$modelStruct$varStruct, unconstrained = FALSE, allCoef = TRUE)
  fit_rows[[analysis]] <- data.frame(
    analysis, series = "subsidence", structure = "unstructured", df_method = "satterthwaite",
    covariates = if (fits[[analysis]][[2]]) "age; sex" else "", fallback = "",
    hips = length(unique(d$file)), observations = nrow(d), sd_intercept_mm = NA, sd_residual_mm = NA,
    reml_log_likelihood = as.numeric(logLik(fit)), aic = AIC(fit), visit_numbers = "1 2 3",
    sd_by_visit_mm = paste(format(fit$sigma * ratios[levels(d$visit)], digits = 15), collapse = " "))
  j <- as.data.frame(joint_tests(grid))
  j <- j[j[["model term"]] %in% c("group", "visit", "group:visit"), ]
  test_rows[[analysis]] <- data.frame(analysis, series = "subsidence", term = j[["model term"]],
                                      numerator_df = j$df1, denominator_df = j$df2, f_value = j$F.ratio,
                                      p_value = j$p.value)
}
out <- function(rows, name) {
  write.csv(do.call(rbind, rows), file.path("expected", name), row.names = FALSE, na = "", quote = FALSE)
}
out(model, "model.csv"); out(fit_rows, "model_fit.csv"); out(test_rows, "model_tests.csv")
