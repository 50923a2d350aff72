// A study of 10,000 data files, summarised and its CSV files written,
// against the exporter writing the export files of the same files, and of
// 100,000 without R's model, with its peak memory as well; the
// visits and statistics of 10,000 hips in process, which should add at most
// a tenth to the study's time; and the study program's peak memory at 1,000
// and 10,000 files, and with the workbook or the report.
#include <benchmark/benchmark.h>

#include <algorithm>
#include <chrono>
#include <fcntl.h>
#include <spawn.h>
#include <string>
#include <sys/resource.h>
#include <sys/wait.h>
#include <vector>

#include "bench_data.h"
#include "study/study.h"
#include "study/study_csv.h"

extern char** environ;

namespace {

using sinkview::bench::StudyFolder;
using sinkview::bench::TheStudy;

// Runs a program with its output thrown away; its peak memory in KiB, or -1
// when it failed.
long RunProgram(const std::vector<std::string>& arguments) {
  std::vector<char*> argv;
  for (const std::string& argument : arguments) argv.push_back(const_cast<char*>(argument.c_str()));
  argv.push_back(nullptr);
  posix_spawn_file_actions_t actions;
  posix_spawn_file_actions_init(&actions);
  posix_spawn_file_actions_addopen(&actions, 1, "/dev/null", O_WRONLY, 0);
  pid_t child = 0;
  const int spawned = posix_spawn(&child, argv[0], &actions, nullptr, argv.data(), environ);
  posix_spawn_file_actions_destroy(&actions);
  if (spawned != 0) return -1;
  int status = 0;
  rusage usage{};
  if (::wait4(child, &status, 0, &usage) != child || !WIFEXITED(status) || WEXITSTATUS(status) != 0)
    return -1;
  return usage.ru_maxrss;
}

// The program's time in seconds; its peak memory in KiB raised to `*peak`.
double Seconds(const std::vector<std::string>& arguments, benchmark::State& state, long* peak = nullptr) {
  const auto start = std::chrono::steady_clock::now();
  const long used = RunProgram(arguments);
  if (used < 0) state.SkipWithError((arguments[0] + " failed").c_str());
  if (peak) *peak = std::max(*peak, used);
  return std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
}

std::vector<std::string> StudyCommand(const StudyFolder& study) {
  return {SINKVIEW_STUDY_EXE, "--output-dir", study.out.string(), study.data.string()};
}

// The time is the study's; the exporter's time, the ratio and the study's
// peak memory are counters. range(0) files, and range(1) 1 to fit R's model.
void StudyAgainstExport(benchmark::State& state) {
  const StudyFolder& study = TheStudy(static_cast<int>(state.range(0)));
  std::vector<std::string> command = StudyCommand(study);
  if (state.range(1) == 0) command.insert(command.begin() + 1, "--no-model");
  double studySeconds = 0, exportSeconds = 0;
  long peak = 0;
  for (auto _ : state) {
    study.EmptyOutput();
    const double seconds = Seconds(command, state, &peak);
    study.EmptyOutput();
    exportSeconds +=
        Seconds({SINKVIEW_EXPORT_EXE, "--output-dir", study.out.string(), study.data.string()}, state);
    state.SetIterationTime(seconds);
    studySeconds += seconds;
  }
  const double runs = static_cast<double>(state.iterations());
  state.counters["export_ms"] = exportSeconds / runs * 1000;
  state.counters["study_per_export"] = studySeconds / exportSeconds;
  state.counters["peak_MiB"] = static_cast<double>(peak) / 1024;
}
void AgainstExport(benchmark::internal::Benchmark* b) {
  b->ArgNames({"files", "model"})->Unit(benchmark::kMillisecond)->UseManualTime();
}
BENCHMARK(StudyAgainstExport)->Apply(AgainstExport)->Args({10000, 1})->Iterations(5);
// A study of 100,000 hips: at most 128 MiB, and at most a quarter of the
// exporter's time.
BENCHMARK(StudyAgainstExport)->Apply(AgainstExport)->Args({100000, 0})->Iterations(1);

// The visit engine and every statistic over 10,000 hips of 30 radiographs
// each, with the texts of the files they fill; the reading is not timed.
void VisitsAndStatistics(benchmark::State& state) {
  using namespace sinkview;
  const PreparedSeries prepared = bench::PreparedThirtyRadiographSeries();
  StudyResult result;
  result.patients.assign(10000, SummarisePatient(prepared, "hip.vok", "hip.vok"));
  result.protocol = Protocol{};
  result.protocol.cutoff = std::chrono::year(2100) / 1 / 1;
  result.groups = {"all"};
  std::size_t bytes = 0;
  for (auto _ : state) {
    for (PatientSummary& hip : result.patients) ApplyVisits(hip, result.protocol);
    result.cohort = CohortStatistics(result.patients, result.protocol, result.groups);
    result.flow = StudyFlow(result.patients, result.protocol, result.groups);
    result.bands = PrimaryBands(result.patients, result.groups);
    if (state.range(0) == 1)
      bytes = SummaryCsv(result).size() + VisitsCsv(result).size() + FlowCsv(result).size() +
              CohortCsv(result).size() + BandsCsv(result).size();
    benchmark::DoNotOptimize(bytes);
  }
  state.counters["csv_MiB"] = static_cast<double>(bytes) / (1 << 20);
}
BENCHMARK(VisitsAndStatistics)->ArgName("with_csv_text")->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond);

// Peak resident memory of sinkview-study over a study of range(0) files.
void StudyPeakMemory(benchmark::State& state) {
  const StudyFolder& study = TheStudy(static_cast<int>(state.range(0)));
  long peak = 0;
  for (auto _ : state) {
    study.EmptyOutput();
    peak = std::max(peak, RunProgram(StudyCommand(study)));
  }
  if (peak < 0) state.SkipWithError("sinkview-study failed");
  state.counters["peak_MiB"] = static_cast<double>(peak) / 1024;
}
BENCHMARK(StudyPeakMemory)
    ->Arg(1000)
    ->Arg(10000)
    ->Unit(benchmark::kMillisecond)
    ->Iterations(1)
    ->UseRealTime();

// The same study with one more output: the workbook (every table a sheet,
// long.csv's 300,000 rows among them), whose constant_memory keeps the peak
// near the study's own; or the report, a page per hip, laid out twice for
// its contents and page numbers, without R's model so that the time is the
// report's. Time and peak memory.
void StudyWith(benchmark::State& state, const char* option, const char* file, bool model) {
  const StudyFolder& study = TheStudy(static_cast<int>(state.range(0)));
  std::vector<std::string> command = StudyCommand(study);
  command.insert(command.begin() + 1, {option, (study.out / file).string()});
  if (!model) command.insert(command.begin() + 1, "--no-model");
  long peak = 0;
  for (auto _ : state) {
    study.EmptyOutput();
    peak = std::max(peak, RunProgram(command));
  }
  if (peak < 0) state.SkipWithError("sinkview-study failed");
  state.counters["peak_MiB"] = static_cast<double>(peak) / 1024;
}
BENCHMARK_CAPTURE(StudyWith, workbook, "--workbook", "study.xlsx", true)
    ->Arg(10000)
    ->Unit(benchmark::kMillisecond)
    ->Iterations(1)
    ->UseRealTime();
BENCHMARK_CAPTURE(StudyWith, report, "--report", "report.pdf", false)
    ->Arg(1000)
    ->Unit(benchmark::kMillisecond)
    ->Iterations(1)
    ->UseRealTime();

} // namespace

BENCHMARK_MAIN();
