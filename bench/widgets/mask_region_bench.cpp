// Window shapes from a mask colour: the bulk row scan against the plain per-pixel scan.
#include <benchmark/benchmark.h>

#include "core/support/mask_region.h"
#include "platform/sim/sim_dc.h"

namespace nx {
namespace {

constexpr Rgb kMask = 0x00FF00FF;

// 200 x 50 pixels of mask colour with a rounded shape painted over it, as a masked control
// looks.
sim::MemoryDC& maskedSurface() {
  static sim::MemoryDC m = [] {
    sim::MemoryDC dc(200, 50, kMask);
    for (int y = 0; y < 50; ++y) {
      for (int x = 0; x < 200; ++x) {
        const double dx = (x - 99.5) / 95.0;
        const double dy = (y - 24.5) / 22.0;
        if (dx * dx * dx * dx + dy * dy * dy * dy <= 1.0) dc.bitmap().set(x, y, 0x00336699);
      }
    }
    return dc;
  }();
  return m;
}

void BM_RegionFromMask(benchmark::State& state) {
  sim::MemoryDC& m = maskedSurface();
  auto fast = regionFromMask(&m.dc(), 200, 50, kMask, false);
  auto plain = regionFromMaskPerPixel(&m.dc(), 200, 50, kMask, false);
  if (!fast || !plain || !(*fast == *plain)) {
    state.SkipWithError("the two scans give different regions");
    return;
  }
  for (auto _ : state) benchmark::DoNotOptimize(regionFromMask(&m.dc(), 200, 50, kMask, false));
}
BENCHMARK(BM_RegionFromMask);

void BM_RegionFromMaskPerPixel(benchmark::State& state) {
  sim::MemoryDC& m = maskedSurface();
  for (auto _ : state)
    benchmark::DoNotOptimize(regionFromMaskPerPixel(&m.dc(), 200, 50, kMask, false));
}
BENCHMARK(BM_RegionFromMaskPerPixel);

}  // namespace
}  // namespace nx
