#include "core/support/mask_region.h"

#include "core/support/mask_shaper.h"

#include <gtest/gtest.h>

#include "platform/sim/sim_dc.h"
#include "platform/sim/sim_host.h"

namespace nx {
namespace {

constexpr Rgb kMask = 0x00FF00FF;

TEST(MaskRegion, RejectsMissingInputAndHonoursTheWholeFlag) {
  sim::MemoryDC m(8, 4, kMask);
  EXPECT_EQ(regionFromMask(nullptr, 8, 4, kMask, false), nullptr);
  EXPECT_EQ(regionFromMask(&m.dc(), 0, 4, kMask, false), nullptr);
  EXPECT_EQ(regionFromMask(&m.dc(), 8, -1, kMask, true), nullptr);
  auto whole = regionFromMask(&m.dc(), 8, 4, kMask, true);
  ASSERT_NE(whole, nullptr);
  EXPECT_EQ(*whole, Region(Rect{0, 0, 8, 4}));

  // All mask: an empty region (every pixel transparent), not "no region".
  auto empty = regionFromMask(&m.dc(), 8, 4, kMask, false);
  ASSERT_NE(empty, nullptr);
  EXPECT_TRUE(empty->empty());

  // Without any mask pixel there is no region and the window keeps its shape.
  sim::MemoryDC plain(8, 4, 0x00FFFFFF);
  EXPECT_EQ(regionFromMask(&plain.dc(), 8, 4, kMask, false), nullptr);
  EXPECT_EQ(regionFromMaskPerPixel(&plain.dc(), 8, 4, kMask, false), nullptr);
}

TEST(MaskRegion, RunsCloseAtOtherColoursAndAtTheRowEnd) {
  sim::MemoryDC m(6, 3, 0x00FFFFFF);
  m.bitmap().set(5, 0, kMask);  // last column: the run closes at the row end
  m.bitmap().set(5, 1, kMask);
  m.bitmap().set(1, 2, kMask);
  m.bitmap().set(2, 2, kMask);
  for (auto* f : {&regionFromMask, &regionFromMaskPerPixel}) {
    auto r = f(&m.dc(), 6, 3, kMask, false);
    ASSERT_NE(r, nullptr);
    EXPECT_TRUE(r->contains(4, 0));
    EXPECT_FALSE(r->contains(5, 0));
    EXPECT_FALSE(r->contains(5, 1));
    EXPECT_TRUE(r->contains(5, 2));
    EXPECT_TRUE(r->contains(0, 2));
    EXPECT_FALSE(r->contains(1, 2));
    EXPECT_FALSE(r->contains(2, 2));
    EXPECT_TRUE(r->contains(3, 2));
    EXPECT_EQ(r->bounds(), (Rect{0, 0, 6, 3}));
  }
  // A size larger than the surface reads the outside as non-mask pixels.
  auto bigger = regionFromMask(&m.dc(), 8, 3, kMask, false);
  ASSERT_NE(bigger, nullptr);
  EXPECT_TRUE(bigger->contains(7, 0));
}

TEST(MaskRegion, BulkScanEqualsThePerPixelScan) {
  std::uint32_t seed = 12345;
  auto next = [&seed] {
    seed = seed * 1103515245u + 12345u;
    return (seed >> 16) & 0x7FFFu;
  };
  for (int round = 0; round < 20; ++round) {
    const int w = 1 + static_cast<int>(next() % 40);
    const int h = 1 + static_cast<int>(next() % 20);
    sim::MemoryDC m(w, h, 0x00FFFFFF);
    const unsigned density = next() % 100;
    for (int y = 0; y < h; ++y)
      for (int x = 0; x < w; ++x)
        if (next() % 100 < density) m.bitmap().set(x, y, kMask);
    auto fast = regionFromMask(&m.dc(), w, h, kMask, false);
    auto slow = regionFromMaskPerPixel(&m.dc(), w, h, kMask, false);
    ASSERT_EQ(fast == nullptr, slow == nullptr) << round;
    if (fast) {
      EXPECT_EQ(*fast, *slow) << round;
    }
  }
}

TEST(MaskRegion, ApplyRegionHandsTheShapeToTheWindow) {
  sim::SimHost host;
  sim::SimWindow w(host, 0x2000, 0, 0, 150, 60, nullptr);
  EXPECT_FALSE(applyRegion(nullptr, std::make_unique<Region>(Rect{0, 0, 1, 1})));
  EXPECT_FALSE(applyRegion(&w, nullptr));
  EXPECT_EQ(w.regionChanges(), 0);
  EXPECT_EQ(w.region(), nullptr);
  EXPECT_TRUE(applyRegion(&w, std::make_unique<Region>(Rect{0, 0, 10, 4})));
  ASSERT_NE(w.region(), nullptr);
  EXPECT_EQ(*w.region(), Region(Rect{0, 0, 10, 4}));
  EXPECT_EQ(w.regionChanges(), 1);
}

TEST(MaskRegion, ShaperRestoresTheWholeWindowThenShapesFromTheSurface) {
  sim::SimHost host;
  sim::SimWindow w(host, 0x2000, 0, 0, 150, 60, nullptr);  // 10 x 4 pixels
  w.simSurface().setBackColor(kMask);
  w.simSurface().clear();
  w.simSurface().box(15, 15, 60, 30, 0x00000000, true);  // pixels (1, 1)-(4, 2)
  MaskShaper shaper;
  shaper.beforePaint(w);  // nothing applied yet: the window keeps its shape
  EXPECT_EQ(w.regionChanges(), 0);
  shaper.afterPaint(w, false, kMask);
  EXPECT_EQ(w.regionChanges(), 0);
  shaper.afterPaint(w, true, kMask);
  EXPECT_TRUE(shaper.applied());
  ASSERT_NE(w.region(), nullptr);
  EXPECT_EQ(*w.region(), Region(Rect{1, 1, 5, 3}));
  shaper.beforePaint(w);
  EXPECT_FALSE(shaper.applied());
  EXPECT_EQ(*w.region(), Region(Rect{0, 0, 10, 4}));
  EXPECT_EQ(w.regionChanges(), 2);
  // A surface without mask pixels gives no region: the whole rectangle stays.
  w.simSurface().setBackColor(0x00FFFFFF);
  w.simSurface().clear();
  shaper.afterPaint(w, true, kMask);
  EXPECT_EQ(w.regionChanges(), 2);
  EXPECT_EQ(*w.region(), Region(Rect{0, 0, 10, 4}));
}

}  // namespace
}  // namespace nx
