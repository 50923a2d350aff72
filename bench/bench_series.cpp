// Reading a data file of 30 radiographs and preparing its series, against
// floors: the same arithmetic, and the same file read with every number
// converted, in tight loops over plain arrays.
#include <benchmark/benchmark.h>

#include <charconv>
#include <cmath>
#include <fcntl.h>
#include <unistd.h>

#include "bench_data.h"
#include "model/prepared_series.h"
#include "model/reader.h"

namespace {

using sinkview::kSlots;

// The values preparation reads, copied out of the model once.
struct PlainSeries {
  int n = 0;
  float limit = 0, timeLimit = 0;
  float t[kSlots], c1[kSlots], c2[kSlots], c3[kSlots], magnification[kSlots];
  float x[16][kSlots];
};

PlainSeries Plain(const sinkview::MeasurementModel& m, const sinkview::Settings& settings = {}) {
  PlainSeries p;
  p.n = m.RadiographCount;
  p.limit = settings.ComparabilityLimit;
  p.timeLimit = settings.TimeLimitDays;
  for (int i = 0; i < kSlots; ++i) {
    p.t[i] = m.ElapsedDays[i];
    p.c1[i] = m.ComparabilityMeasure1[i];
    p.c2[i] = m.ComparabilityMeasure2[i];
    p.c3[i] = m.ComparabilityMeasure3[i];
    p.magnification[i] = m.MagnificationHeadRadius[i];
    for (std::size_t s = 0; s < 16; ++s) p.x[s][i] = (m.*sinkview::kScaledSeries[s])[i];
  }
  return p;
}

// The floor of preparation: the sixteen lengths scaled, the pairs weighed,
// the rate of every comparable pair of fourteen series, and per interval the
// rates of the pairs spanning it summed, each a plain loop.
void PreparationArithmetic(const PlainSeries& in, float (&y)[16][kSlots]) {
  const int n = in.n;
  float x[16][kSlots];
  for (int s = 0; s < 16; ++s) {
    for (int i = 1; i <= n; ++i)
      x[s][i] = static_cast<float>(1.0 / static_cast<double>(in.magnification[i]) * in.x[s][i]);
  }
  static float weight[kSlots][kSlots], rate[kSlots][kSlots][16];
  for (int i = 1; i < n; ++i) {
    for (int j = i + 1; j <= n; ++j) {
      const float dt = in.t[j] - in.t[i];
      const float d = std::fmax(std::fabs(in.c1[i] - in.c1[j]),
                                std::fmax(std::fabs(in.c2[i] - in.c2[j]), std::fabs(in.c3[i] - in.c3[j])));
      weight[i][j] = dt <= in.timeLimit && d <= in.limit && dt > 0 ? in.limit - d + 1 : 0;
      for (int s = 0; s < 14; ++s)
        rate[i][j][s] = static_cast<float>(static_cast<double>(x[s][j] - x[s][i]) * weight[i][j] / dt);
    }
  }
  for (int s = 0; s < 14; ++s) y[s][1] = x[s][1];
  for (int i = 1; i < n; ++i) {
    float weights = 0, sum[16] = {};
    for (int k = 1; k <= i; ++k) {
      for (int l = i + 1; l <= n; ++l) {
        weights += weight[k][l];
        for (int s = 0; s < 16; ++s) sum[s] += rate[k][l][s];
      }
    }
    const double dt = in.t[i + 1] - in.t[i];
    for (int s = 0; s < 14; ++s) y[s][i + 1] = static_cast<float>(y[s][i] + dt * sum[s] / weights);
  }
}

void PreparationFloor(benchmark::State& state) {
  const PlainSeries plain = Plain(sinkview::bench::ThirtyRadiographModel());
  float y[16][kSlots];
  for (auto _ : state) {
    PreparationArithmetic(plain, y);
    benchmark::DoNotOptimize(y);
  }
}
BENCHMARK(PreparationFloor);

void ReadAndPrepare(benchmark::State& state) {
  const std::string path = sinkview::bench::ThirtyRadiographFile();
  for (auto _ : state) {
    auto loaded = sinkview::LoadPreparedFile(path, sinkview::Settings{});
    if (!loaded) state.SkipWithError("the file was not read");
    benchmark::DoNotOptimize(loaded->model.CorrectedMedial1);
  }
}
BENCHMARK(ReadAndPrepare);

// Its floor: the file read in one call, every number outside quotes
// converted, and the arithmetic of preparation.
void ReadAndPrepareFloor(benchmark::State& state) {
  const std::string path = sinkview::bench::ThirtyRadiographFile();
  const PlainSeries plain = Plain(sinkview::bench::ThirtyRadiographModel());
  std::string text(1 << 16, ' ');
  float y[16][kSlots];
  for (auto _ : state) {
    const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
    const ssize_t size = ::read(fd, text.data(), text.size());
    ::close(fd);
    const char* p = text.data();
    const char* const end = p + (size > 0 ? size : 0);
    float value = 0, sum = 0;
    bool quoted = false;
    while (p < end) {
      if (*p == '"') quoted = !quoted;
      if (!quoted && ((*p >= '0' && *p <= '9') || *p == '-')) {
        p = std::from_chars(p, end, value).ptr;
        sum += value;
      }
      ++p;
    }
    benchmark::DoNotOptimize(sum);
    PreparationArithmetic(plain, y);
    benchmark::DoNotOptimize(y);
  }
}
BENCHMARK(ReadAndPrepareFloor);

void ReadAndParse(benchmark::State& state) {
  const std::string path = sinkview::bench::ThirtyRadiographFile();
  for (auto _ : state) {
    benchmark::DoNotOptimize(sinkview::ReadDataFile(path));
  }
}
BENCHMARK(ReadAndParse);

void ParseOnly(benchmark::State& state) {
  const std::string text = sinkview::bench::ThirtyRadiographText();
  for (auto _ : state) {
    benchmark::DoNotOptimize(sinkview::ParseDataText(text, "/bench/30.vok"));
  }
}
BENCHMARK(ParseOnly);

void Preparation(benchmark::State& state) {
  const sinkview::MeasurementModel model = sinkview::bench::ThirtyRadiographModel();
  for (auto _ : state) {
    auto prepared = sinkview::PrepareSeries(model, sinkview::Settings{}, "/bench/30.vok");
    benchmark::DoNotOptimize(prepared->model.CorrectedMedial1);
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
    const sinkview::ReadResult out = sinkview::ParseDataText(text, "/bench/long.vok");
    if (!out) state.SkipWithError(out.error().message.c_str());
  }
  static const char* const kPositions[] = {"text",        "label", "date", "number", "blanks before a number",
                                           "ignored line"};
  state.SetLabel(kPositions[state.range(0)]);
}
BENCHMARK(ParseLongField)->DenseRange(0, 5)->Unit(benchmark::kMillisecond);

} // namespace

BENCHMARK_MAIN();
