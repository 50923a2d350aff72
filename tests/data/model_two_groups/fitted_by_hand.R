# How expected/model.csv and expected/model_fit.csv were made, once, by hand, without analysis.R:
#   Rscript --vanilla fitted_by_hand.R
library(nlme); library(emmeans)
d <- data.frame(
  file = rep(c("a1", "a2", "a3", "a4", "a5", "b1", "b2", "b3", "b4", "b5"), each = 3),
  group = rep(c("A", "B"), each = 15),
  visit = factor(rep(c("6 months", "12 months", "24 months"), 10), levels = c("6 months", "12 months", "24 months")),
  y = c(0.2, 0.35, 0.5,  0.4, NA, 0.9,  0.1, 0.3, 0.25,  0.6, 0.8, NA,  0.3, 0.45, 0.7,
        0.5, 0.9, 1.4,  0.8, 1.1, 1.2,  NA, 0.7, 1.1,  0.4, 0.75, 0.95,  0.9, 1.3, NA))
d <- d[!is.na(d$y), ]
d$group <- factor(d$group)
fit <- lme(y ~ group * visit, random = ~ 1 | file, data = d, method = "REML")
m <- emmeans(fit, ~ group | visit)
print(summary(m), digits = 15)
d_vs_a <- contrast(m, method = "trt.vs.ctrl", adjust = "none")
print(summary(d_vs_a, infer = TRUE), digits = 15)
print(as.data.frame(summary(d_vs_a, infer = TRUE))$p.value, digits = 15)
print(c(sqrt(getVarCov(fit)[1, 1]), fit$sigma, logLik(fit)), digits = 15)
# model_fit.csv's AIC and the joint tests of model_tests.csv:
print(AIC(fit), digits = 15)
print(as.data.frame(joint_tests(fit)), digits = 15)
