// Redrawing the graphics window's five boxes and rendering the table.
#include <QGuiApplication>
#include <QImage>
#include <QPainter>
#include <benchmark/benchmark.h>

#include "bench_data.h"
#include "figures/figure.h"

namespace {

sinkview::PreparedSeries PreparedModel() { return sinkview::bench::PreparedThirtyRadiographSeries(); }

void GraphicsRedraw(benchmark::State& state, QSize size) {
  const sinkview::PreparedSeries model = PreparedModel();
  QImage image(size, QImage::Format_RGB32);
  for (auto _ : state) {
    QPainter painter(&image);
    sinkview::DrawGraphicsFigure(painter, size, model, SINKVIEW_PROGRAM_DIRECTORY "/");
  }
}
BENCHMARK_CAPTURE(GraphicsRedraw, full_hd, QSize(1920, 1080))->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(GraphicsRedraw, design_size, sinkview::GraphicsDesignSize())->Unit(benchmark::kMillisecond);

void TableRender(benchmark::State& state) {
  const sinkview::PreparedSeries model = PreparedModel();
  const QSize size(1920, 1080);
  QImage image(size, QImage::Format_RGB32);
  for (auto _ : state) {
    QPainter painter(&image);
    sinkview::DrawTableFigure(painter, size, model);
  }
}
BENCHMARK(TableRender)->Unit(benchmark::kMillisecond);

} // namespace

int main(int argc, char** argv) {
  if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
  QGuiApplication app(argc, argv);
  benchmark::Initialize(&argc, argv);
  benchmark::RunSpecifiedBenchmarks();
  benchmark::Shutdown();
  return 0;
}
