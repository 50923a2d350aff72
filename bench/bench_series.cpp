// Reading a data file of 30 radiographs and preparing its series.
#include <benchmark/benchmark.h>

#include "bench_data.h"
#include "model/preparation.h"
#include "model/reader.h"

namespace {

void ReadAndParse(benchmark::State& state) {
  const std::string path = sinkview::bench::ThirtyRadiographFile();
  for (auto _ : state) {
    sinkview::MeasurementModel model;
    benchmark::DoNotOptimize(sinkview::ReadDataFile(path, model));
  }
}
BENCHMARK(ReadAndParse);

void ParseOnly(benchmark::State& state) {
  const std::string text = sinkview::bench::ThirtyRadiographText();
  for (auto _ : state) {
    sinkview::MeasurementModel model;
    benchmark::DoNotOptimize(sinkview::ParseDataText(text, "/bench/30.vok", model));
  }
}
BENCHMARK(ParseOnly);

void Preparation(benchmark::State& state) {
  sinkview::MeasurementModel model = sinkview::bench::ThirtyRadiographModel();
  for (auto _ : state) {
    sinkview::PrepareSeries(model);
    sinkview::UndoMagnificationCorrection(model);
    benchmark::DoNotOptimize(model.CorrectedMedial1);
  }
}
BENCHMARK(Preparation);

} // namespace

BENCHMARK_MAIN();
