// The survival step for 10,000 hips in three groups (survival_hips.csv and
// survival.R written in a scratch folder, R's run, its three files read
// back), against R starting and loading survival and cmprsk, the floor of
// any run: the step should stay within twice that floor.
#include <benchmark/benchmark.h>

#include <random>

#include "rrunner/model_step.h"
#include "rrunner/run_process.h"
#include "survival/survival_step.h"

using namespace sinkview;

namespace {

constexpr int kHips = 10'000;

// Follow-up of up to 12 years; about one hip in twenty revised, one in
// five dying first, bilateral patients every tenth hip.
SurvivalHips SurvivalStudy() {
  std::mt19937 random(20261209);
  std::uniform_int_distribution<int> days(0, 12 * 365);
  std::uniform_real_distribution<double> chance(0, 1);
  SurvivalHips study;
  for (int h = 0; h < kHips; ++h) {
    const double draw = chance(random);
    FollowUp followUp{days(random), SurvivalStatus::Censored, FollowUpEnd::LastRadiograph};
    if (draw < 0.05)
      followUp = {followUp.days, SurvivalStatus::Revision, FollowUpEnd::Revision};
    else if (draw < 0.25)
      followUp = {followUp.days, SurvivalStatus::Death, FollowUpEnd::Death};
    const int patient = h % 10 == 1 ? h - 1 : h;
    study.hips.push_back({"hip" + std::to_string(h) + ".vok", "P" + std::to_string(patient),
                          std::string(1, static_cast<char>('A' + h % 3)), followUp});
  }
  return study;
}

void BM_SurvivalStep(benchmark::State& state) {
  const SurvivalHips study = SurvivalStudy();
  for (auto _ : state) {
    const auto estimates = EstimateSurvivalInScratch(study, DefaultSurvivalYears(), nullptr);
    if (!estimates) {
      state.SkipWithError(estimates.error().failure.message.c_str());
      break;
    }
    benchmark::DoNotOptimize(estimates->survivalCsv.data());
  }
}
BENCHMARK(BM_SurvivalStep)->Unit(benchmark::kMillisecond)->Iterations(3);

void BM_RStartsWithSurvivalPackages(benchmark::State& state) {
  for (auto _ : state) {
    ProcessCall call{
        "Rscript", {"--vanilla", "-e", "library(survival); library(cmprsk)"}, "", std::chrono::seconds(60)};
    call.environment = REnvironment("");
    const auto run = RunProcess(call);
    if (!run || run->exitStatus != 0) {
      state.SkipWithError("Rscript did not run");
      break;
    }
  }
}
BENCHMARK(BM_RStartsWithSurvivalPackages)->Unit(benchmark::kMillisecond)->Iterations(3);

} // namespace

BENCHMARK_MAIN();
