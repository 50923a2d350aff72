// Writing one export file, and the batch exporter over a study of 10,000
// data files against its floors: the same reads and writes done plainly
// (temporary file, rename, one flush of the output folder), and cp -r.
#include <benchmark/benchmark.h>

#include <algorithm>
#include <atomic>
#include <cstdlib>
#include <fcntl.h>
#include <filesystem>
#include <string>
#include <thread>
#include <unistd.h>
#include <vector>

#include "bench_data.h"
#include "model/prepared_series.h"
#include "table/export_file.h"

namespace fs = std::filesystem;

namespace {

void WriteOneExport(benchmark::State& state) {
  const sinkview::PreparedSeries model = sinkview::bench::PreparedThirtyRadiographSeries();
  const std::string path = (fs::temp_directory_path() / "sinkview-bench.num").string();
  for (auto _ : state) benchmark::DoNotOptimize(sinkview::WriteExportFile(model, path));
  fs::remove(path);
}
BENCHMARK(WriteOneExport)->Unit(benchmark::kMicrosecond);

void ExportTenThousandFiles(benchmark::State& state) {
  const sinkview::bench::StudyFolder& study = sinkview::bench::TheStudy();
  const std::string command = "'" SINKVIEW_EXPORT_EXE "' --output-dir '" + study.out.string() + "' '" +
                              study.data.string() + "' >/dev/null";
  for (auto _ : state) {
    state.PauseTiming();
    study.EmptyOutput();
    state.ResumeTiming();
    if (std::system(command.c_str()) != 0) state.SkipWithError("the exporter failed");
  }
}
BENCHMARK(ExportTenThousandFiles)->Unit(benchmark::kMillisecond)->Iterations(5)->UseRealTime();

// The atomic floor: each data file read, a new file of the export's size
// written under a temporary name and renamed into place, on as many threads as the
// exporter uses; then the output flushed once (syncfs, argument 0) or each
// file flushed on its own (fdatasync, argument 1).
void AtomicFloor(benchmark::State& state) {
  const sinkview::bench::StudyFolder& study = sinkview::bench::TheStudy();
  const sinkview::PreparedSeries model = sinkview::bench::PreparedThirtyRadiographSeries();
  const std::string exportText = sinkview::ExportText(model);
  const bool flushEach = state.range(0) == 1;
  const auto copyOne = [&](std::size_t i, std::string& buffer) {
    const int in = ::open(study.files[i].c_str(), O_RDONLY | O_CLOEXEC);
    buffer.resize(1 << 16);
    const ssize_t got = ::read(in, buffer.data(), buffer.size());
    ::close(in);
    benchmark::DoNotOptimize(got);
    const std::string target = (study.out / ("patient" + std::to_string(i) + ".num")).string();
    const std::string temporary = (study.out / (".patient" + std::to_string(i) + ".abcdef.tmp")).string();
    const int out = ::open(temporary.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
    if (::write(out, exportText.data(), exportText.size()) != static_cast<ssize_t>(exportText.size()))
      state.SkipWithError("write failed");
    if (flushEach) ::fdatasync(out);
    ::close(out);
    ::rename(temporary.c_str(), target.c_str());
  };
  const unsigned cores = std::clamp(std::thread::hardware_concurrency(), 1U, 8U);
  for (auto _ : state) {
    state.PauseTiming();
    study.EmptyOutput();
    state.ResumeTiming();
    std::atomic<std::size_t> next = 0;
    const auto worker = [&] {
      std::string buffer;
      for (std::size_t i = next++; i < study.files.size(); i = next++) copyOne(i, buffer);
    };
    std::vector<std::thread> workers;
    for (unsigned c = 1; c < cores; ++c) workers.emplace_back(worker);
    worker();
    for (std::thread& w : workers) w.join();
    if (!flushEach) {
      const int folder = ::open(study.out.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
      ::syncfs(folder);
      ::close(folder);
    }
  }
  state.SetLabel(flushEach ? "fdatasync per file" : "one syncfs");
}
BENCHMARK(AtomicFloor)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond)->Iterations(5)->UseRealTime();

// cp -r of the data folder into a fresh folder (removed outside the timing).
void CopyFolder(benchmark::State& state) {
  const sinkview::bench::StudyFolder& study = sinkview::bench::TheStudy();
  const fs::path copy = study.folder / "copy";
  const std::string command = "cp -r '" + study.data.string() + "' '" + copy.string() + "'";
  for (auto _ : state) {
    state.PauseTiming();
    fs::remove_all(copy);
    state.ResumeTiming();
    if (std::system(command.c_str()) != 0) state.SkipWithError("cp failed");
  }
  fs::remove_all(copy);
}
BENCHMARK(CopyFolder)->Unit(benchmark::kMillisecond)->Iterations(5)->UseRealTime();

} // namespace

BENCHMARK_MAIN();
