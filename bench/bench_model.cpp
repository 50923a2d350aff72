// The study's model step for 1,000 hips with 8 visits each, adjusted for
// age and sex, every tenth patient with two hips (analysis.R written, R's
// run of every analysis, its files read back), against R starting and
// loading nlme and emmeans, the floor of any run.
#include <benchmark/benchmark.h>

#include <cstdlib>
#include <filesystem>
#include <random>
#include <string>

#include "base/atomic_file.h"
#include "rrunner/model_step.h"
#include "rrunner/run_process.h"
#include "study/analysis_script.h"
#include "study/csv_text.h"

namespace fs = std::filesystem;
using namespace sinkview;

namespace {

constexpr int kHips = 1000, kVisits = 8;

// visits.csv, summary.csv, primary_visit.csv and model_settings.csv of two
// groups: a hip's own level, a slow rise after the visit, noise growing
// with time, and a tenth of the visits missed.
fs::path ModelStudy() {
  const fs::path folder = fs::temp_directory_path() / "sinkview-bench-model";
  fs::create_directories(folder);
  const int months[kVisits] = {3, 6, 12, 24, 36, 48, 60, 84};
  std::mt19937 random(20261208);
  std::normal_distribution<double> hipLevel(0, 0.3), noise(0, 0.1);
  std::uniform_real_distribution<double> chance(0, 1);
  std::string visits =
      "file,patient,group,visit,target_months,status,radiograph,date,days,months,interpolated,"
      "subsidence_mm,stem_cement_mm,hip,group_number,visit_number,age,sex\r\n";
  std::string summary = "file,patient,group,side,surgery_date,first_date\r\n";
  for (int h = 0; h < kHips; ++h) {
    // Hip 10k + 1 is the other hip of hip 10k's patient.
    const std::string patient = "P" + std::to_string(h % 10 == 1 ? h - 1 : h);
    const std::string hip = "hip" + std::to_string(h) + ".vok," + patient + (h % 2 ? ",B," : ",A,");
    const std::string covariates = "," + std::to_string(50 + h % 35) + (h % 3 ? ",f" : ",m");
    const std::string numbers = "," + std::to_string(h + 1) + (h % 2 ? ",2," : ",1,");
    summary += hip + (h % 2 ? "right" : "left") + ",2020-01-0" + std::to_string(1 + h % 9) + ",\r\n";
    visits += hip + "baseline,0,measured,1,,0,0,no,0,0" + numbers + "0" + covariates + "\r\n";
    const double level = hipLevel(random), slope = h % 2 ? 0.02 : 0.01;
    for (int v = 0; v < kVisits; ++v) {
      const std::string visit = std::to_string(months[v]) + " months," + std::to_string(months[v]);
      if (chance(random) < 0.1) {
        visits += hip + visit + ",missed,,,,,,," + numbers + std::to_string(v + 1) + covariates + "\r\n";
        continue;
      }
      visits += hip + visit + ",measured,,,,,no,";
      AppendCsvNumber(visits, level + slope * months[v] + noise(random) * (1 + v / 4.0));
      visits += ',';
      AppendCsvNumber(visits, level / 2 + noise(random));
      visits += numbers + std::to_string(v + 1) + covariates + "\r\n";
    }
  }
  for (const auto& [name, text] :
       {std::pair{std::string("visits.csv"), visits}, std::pair{std::string("summary.csv"), summary},
        std::pair{std::string(kPrimaryVisitCsv), PrimaryVisitCsv("24 months", 4)},
        std::pair{std::string("model_settings.csv"),
                  std::string("setting,value,visits_column\r\nmodel,unstructured,\r\ncovariate,age,17\r\n"
                              "covariate,sex,18\r\n")}}) {
    if (!WriteFileAtomically((folder / name).native(), text)) std::abort();
  }
  return folder;
}

void BM_ModelStep(benchmark::State& state) {
  const fs::path folder = ModelStudy();
  for (auto _ : state) {
    if (!WriteFileAtomically((folder / kAnalysisScript).native(), AnalysisScriptText())) std::abort();
    const auto fitted = RunModel(folder.native());
    if (!fitted) {
      state.SkipWithError(fitted.error().failure.message.c_str());
      break;
    }
    benchmark::DoNotOptimize(fitted->estimates.data());
  }
  fs::remove_all(folder);
}
BENCHMARK(BM_ModelStep)->Unit(benchmark::kMillisecond)->Iterations(3);

void BM_RStartsWithItsPackages(benchmark::State& state) {
  for (auto _ : state) {
    ProcessCall call{
        "Rscript", {"--vanilla", "-e", "library(nlme); library(emmeans)"}, "", std::chrono::seconds(60)};
    call.environment = REnvironment("");
    const auto run = RunProcess(call);
    if (!run || run->exitStatus != 0) {
      state.SkipWithError("Rscript did not run");
      break;
    }
  }
}
BENCHMARK(BM_RStartsWithItsPackages)->Unit(benchmark::kMillisecond)->Iterations(3);

} // namespace

BENCHMARK_MAIN();
