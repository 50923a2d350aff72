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

// One record with a field of 1 MiB in one item position: reading must stay
// linear in the file's size wherever the long field stands.
std::string RecordWithLongField(int position) {
  const std::string mib(1 << 20, ' ');
  std::string name = "\"Bauer\",\"Helene\",\"HB-48\"", dateLabel = "\"Date\"", date = "\"20040301\"";
  std::string magnification = "1.15", line = "Distances in mm";
  switch (position) {
  case 0:
    name = "\"" + std::string(1 << 20, 'B') + "\",\"Helene\",\"HB-48\"";
    break;
  case 1:
    dateLabel = "\"" + std::string(1 << 20, 'D') + "\"";
    break;
  case 2:
    date = "\"" + mib + "20040301\"";
    break;
  case 3:
    magnification = std::string(1 << 20, '0') + "1.15";
    break;
  case 4:
    magnification = mib + "1.15";
    break;
  case 5:
    line = std::string(1 << 20, 'x');
    break;
  }
  return "[X-ray]\r\n" + name + "\r\n" + dateLabel + "," + date +
         "\r\n\"Side\",\"L\",\"Magnification head radius\"," + magnification +
         ",\"Magnification stem length\",1.14\r\n" + line +
         "\r\n\"Medial\",0,14.6,11.8,9.4,7.1\r\n\"Lateral\",0,10.3,8.7,6.9,5.2\r\n"
         "\"Angle\",1.8,\"Subsidence\",63.4,48.2,55.8,40.6\r\n\"subsidence stem/cement interface\",0.5\r\n"
         "\"Control lengths\",142.3,38.6,\"Offset\",44.1\r\n";
}

void ParseLongField(benchmark::State& state) {
  const std::string text = RecordWithLongField(static_cast<int>(state.range(0)));
  for (auto _ : state) {
    sinkview::MeasurementModel model;
    const sinkview::ReadOutcome out = sinkview::ParseDataText(text, "/bench/long.vok", model);
    if (!out.ok()) state.SkipWithError(out.error.message.c_str());
  }
  static const char* const kPositions[] = {"text",        "label", "date", "number", "blanks before a number",
                                           "ignored line"};
  state.SetLabel(kPositions[state.range(0)]);
}
BENCHMARK(ParseLongField)->DenseRange(0, 5)->Unit(benchmark::kMillisecond);

} // namespace

BENCHMARK_MAIN();
