// Writing one export file, and the batch exporter over a study of 10,000
// data files.
#include <benchmark/benchmark.h>
#include <cstdlib>
#include <filesystem>
#include <fstream>

#include "bench_data.h"
#include "model/preparation.h"
#include "table/export_file.h"

namespace fs = std::filesystem;

namespace {

void WriteOneExport(benchmark::State& state) {
  sinkview::MeasurementModel model = sinkview::bench::ThirtyRadiographModel();
  sinkview::PrepareSeries(model);
  const std::string path = (fs::temp_directory_path() / "sinkview-bench.num").string();
  for (auto _ : state) benchmark::DoNotOptimize(sinkview::WriteExportFile(model, path));
  fs::remove(path);
}
BENCHMARK(WriteOneExport)->Unit(benchmark::kMicrosecond);

void ExportTenThousandFiles(benchmark::State& state) {
  const fs::path study = fs::temp_directory_path() / "sinkview-bench-study";
  fs::remove_all(study);
  fs::create_directories(study / "out");
  for (int i = 0; i < 10000; ++i) {
    std::ofstream(study / ("patient" + std::to_string(i) + ".vok"), std::ios::binary)
        << sinkview::bench::ThirtyRadiographText(static_cast<unsigned>(i));
  }
  const std::string command = "'" SINKVIEW_EXPORT_EXE "' --output-dir '" + (study / "out").string() + "' '" +
                              study.string() + "' >/dev/null";
  for (auto _ : state) {
    if (std::system(command.c_str()) != 0) state.SkipWithError("the exporter failed");
  }
  fs::remove_all(study);
}
BENCHMARK(ExportTenThousandFiles)->Unit(benchmark::kSecond)->Iterations(3)->UseRealTime();

} // namespace

BENCHMARK_MAIN();
