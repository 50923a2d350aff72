# The golden values of survival_hips.csv, computed once by hand in R:
#   Rscript --vanilla computed_by_hand.R
# The hips as the study's rules make them: a01/a02 and b03/b04 and c05/c06
# are bilateral patients; a03 was revised on the day its patient died (a
# revision); a08, b06 and c05 were censored at the cut-off, b06 with a
# revision after it; a02 and c03 were last seen at a contact.
# The cumulative incidence is cmprsk's (an estimator other than survfit's
# multi-state fit); the intervals are survfit's, clustered by patient.
library(survival)
library(cmprsk)
hips <- read.csv("survival_hips.csv", stringsAsFactors = FALSE)
hips$t <- hips$days / 365.25
code <- c(censored = 0, revision = 1, death = 2)[hips$status]
times <- c(1, 2, 5, 10)
options(digits = 15)
for (g in c("A", "B", "C")) {
  d <- hips[hips$group == g, ]
  ci <- cuminc(d$t, code[hips$group == g], cencode = 0)
  print(g)
  print(timepoints(ci, times))
  d$state <- factor(d$status, levels = c("censored", "revision", "death"))
  d$hip <- seq_len(nrow(d))
  aj <- summary(survfit(Surv(t, state) ~ 1, data = d, id = hip, cluster = patient), times = times)
  print(aj$time); print(aj$lower); print(aj$upper)
  km <- summary(survfit(Surv(t, status == "revision") ~ 1, data = d, cluster = patient,
                        conf.type = "log-log"), times = times)
  print(cbind(km$time, km$n.risk, 1 - km$surv, 1 - km$upper, 1 - km$lower))
}
print(cuminc(hips$t, code, hips$group, cencode = 0)$Tests)
