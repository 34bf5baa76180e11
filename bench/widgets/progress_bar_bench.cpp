// Full NxProgressBar redraws on the simulated platform.
#include <benchmark/benchmark.h>

#include "core/support/grad_bar.h"
#include "platform/sim/sim_dc.h"
#include "platform/sim/sim_host.h"
#include "widgets/progressbar/progress_bar.h"

namespace nx {
namespace {

void redraw(benchmark::State& state, std::int32_t theme) {
  const int widthPx = static_cast<int>(state.range(0));
  const int heightPx = static_cast<int>(state.range(1));
  sim::SimHost host;
  sim::SiteOptions o;
  o.width = widthPx * 15.0;
  o.height = heightPx * 15.0;
  o.userMode = true;
  auto& bar = host.create<NxProgressBar>(o);
  bar.setTheme(theme);
  bar.setValue(60);
  for (auto _ : state) {
    // A resize to the same size records the sizes and redraws everything.
    host.resize(bar, o.width, o.height);
    benchmark::DoNotOptimize(host.window(bar).bitmap().at(1, 1));
  }
  state.SetItemsProcessed(state.iterations() * widthPx * heightPx);
}

void BM_ProgressBarRedrawTube(benchmark::State& state) {
  redraw(state, thmCorporate);
}
void BM_ProgressBarRedrawSoft(benchmark::State& state) {
  redraw(state, thmOffice);
}
BENCHMARK(BM_ProgressBarRedrawTube)->Args({200, 20})->Args({1000, 30});
BENCHMARK(BM_ProgressBarRedrawSoft)->Args({200, 20})->Args({1000, 30});

// The line fallback for one bar-sized gradient.
void BM_GradientByLines(benchmark::State& state) {
  const int w = static_cast<int>(state.range(0));
  const int h = static_cast<int>(state.range(1));
  sim::MemoryDC m(w, h);
  for (auto _ : state) {
    gradientByLines(m.dc(), Rect{0, 0, w, h}, 0x00FFFFFF, 0x00873A00, kGradientVertical);
    benchmark::DoNotOptimize(m.bitmap().at(0, 0));
  }
}
BENCHMARK(BM_GradientByLines)->Args({200, 20})->Args({1000, 30});

}  // namespace
}  // namespace nx
