// The study's model step for 1,000 hips with 8 visits each (analysis.R
// written, R's run, model.csv and model_fit.csv read back), against R
// starting and loading nlme and emmeans, the floor of any run.
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

// visits.csv and primary_visit.csv of two groups: a hip's own
// level, a slow rise after the visit, noise, and a tenth of the visits missed.
fs::path ModelStudy() {
  const fs::path folder = fs::temp_directory_path() / "sinkview-bench-model";
  fs::create_directories(folder);
  const int months[kVisits] = {3, 6, 12, 24, 36, 48, 60, 84};
  std::mt19937 random(20261208);
  std::normal_distribution<double> hipLevel(0, 0.3), noise(0, 0.1);
  std::uniform_real_distribution<double> chance(0, 1);
  std::string visits =
      "file,patient,group,visit,target_months,status,radiograph,date,days,months,interpolated,"
      "subsidence_mm,stem_cement_mm,hip,group_number,visit_number\r\n";
  for (int h = 0; h < kHips; ++h) {
    const std::string hip =
        "hip" + std::to_string(h) + ".vok,P" + std::to_string(h) + (h % 2 ? ",B," : ",A,");
    const std::string numbers = "," + std::to_string(h + 1) + (h % 2 ? ",2," : ",1,");
    visits += hip + "baseline,0,measured,1,,0,0,no,0,0" + numbers + "0\r\n";
    const double level = hipLevel(random), slope = h % 2 ? 0.02 : 0.01;
    for (int v = 0; v < kVisits; ++v) {
      const std::string visit = std::to_string(months[v]) + " months," + std::to_string(months[v]);
      if (chance(random) < 0.1) {
        visits += hip + visit + ",missed,,,,,,," + numbers + std::to_string(v + 1) + "\r\n";
        continue;
      }
      visits += hip + visit + ",measured,,,,,no,";
      AppendCsvNumber(visits, level + slope * months[v] + noise(random));
      visits += ',';
      AppendCsvNumber(visits, level / 2 + noise(random));
      visits += numbers + std::to_string(v + 1) + "\r\n";
    }
  }
  for (const auto& [name, text] :
       {std::pair{std::string("visits.csv"), visits},
        std::pair{std::string(kPrimaryVisitCsv), PrimaryVisitCsv("24 months", 4)}}) {
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
