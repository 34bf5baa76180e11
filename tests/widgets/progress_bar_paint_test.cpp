#include <gtest/gtest.h>

#include <cmath>
#include <thread>

#include "core/support/grad_bar.h"
#include "platform/sim/sim_host.h"
#include "widgets/progressbar/progress_bar.h"

namespace nx {
namespace {

// The colour the platform fill gives pixel `pos` of a span of `len` from c0 to c1.
Rgb gdi(Rgb c0, Rgb c1, int pos, int len) {
  auto ch = [pos, len](int a, int b) {
    return static_cast<std::uint8_t>((a * 256 * (len - pos) + b * 256 * pos) / len / 256);
  };
  return makeRgb(ch(redOf(c0), redOf(c1)), ch(greenOf(c0), greenOf(c1)),
                 ch(blueOf(c0), blueOf(c1)));
}

// The colour the line fallback gives line `pos` of a span of `len` (within one of rounding).
void expectNearLine(Rgb actual, Rgb c0, Rgb c1, int pos, int len) {
  auto ch = [pos, len](int a, int b) { return a + (b - a) * static_cast<double>(pos) / len; };
  EXPECT_NEAR(redOf(actual), ch(redOf(c0), redOf(c1)), 1.0);
  EXPECT_NEAR(greenOf(actual), ch(greenOf(c0), greenOf(c1)), 1.0);
  EXPECT_NEAR(blueOf(actual), ch(blueOf(c0), blueOf(c1)), 1.0);
}

sim::SiteOptions site(double width, double height) {
  sim::SiteOptions o;
  o.name = "Bar";
  o.width = width;
  o.height = height;
  return o;
}

TEST(NxProgressBarPaint, SoftHorizontalBarWithFlatBorder) {
  sim::SimHost host;
  auto& bar = host.create<NxProgressBar>(site(3000, 300));
  bar.setTheme(thmOffice);
  bar.setValue(50);
  EXPECT_FLOAT_EQ(bar.percentage(), 50.0f);
  const sim::Bitmap& b = host.window(bar).bitmap();
  ASSERT_EQ(b.width(), 200);
  ASSERT_EQ(b.height(), 20);
  const Rgb bar0 = 0x008D918E, back = 0x00EBF2ED, light = 0x00FFFFFF, border = 0x00979F8F;
  for (int x : {0, 50, 199}) {
    EXPECT_EQ(b.at(x, 0), border) << x;
    EXPECT_EQ(b.at(x, 19), border) << x;
  }
  for (int y : {0, 10, 19}) {
    EXPECT_EQ(b.at(0, y), border);
    EXPECT_EQ(b.at(199, y), border);
  }
  for (int y = 1; y < 19; ++y) {
    EXPECT_EQ(b.at(50, y), gdi(light, bar0, y, 20)) << y;
    EXPECT_EQ(b.at(99, y), gdi(light, bar0, y, 20)) << y;  // 100 pixels filled: 0..99
    EXPECT_EQ(b.at(100, y), gdi(light, back, y, 20)) << y;
    EXPECT_EQ(b.at(150, y), gdi(light, back, y, 20)) << y;
  }
  // No border: the edge pixels belong to the bar.
  bar.setBorderStyle(bsNone);
  EXPECT_EQ(b.at(0, 0), light);
  EXPECT_EQ(b.at(0, 19), gdi(light, bar0, 19, 20));
}

TEST(NxProgressBarPaint, TubeHorizontalKeepsTheBottomStripSolid) {
  sim::SimHost host;
  auto& bar = host.create<NxProgressBar>(site(3000, 300));  // corporate: tube, flat border
  bar.setValue(50);
  const sim::Bitmap& b = host.window(bar).bitmap();
  const Rgb bar0 = 0x00873A00, back = 0x00DED9D8, light = 0x00FFFFFF;
  const int t = 4;
  for (int y = 1; y < t; ++y) {
    EXPECT_EQ(b.at(50, y), gdi(bar0, light, y, t)) << y;
    EXPECT_EQ(b.at(150, y), gdi(back, light, y, t)) << y;
  }
  for (int y = t; y < 20 - t; ++y) {
    EXPECT_EQ(b.at(50, y), gdi(light, bar0, y - t, 20 - 2 * t)) << y;
    EXPECT_EQ(b.at(150, y), gdi(light, back, y - t, 20 - 2 * t)) << y;
  }
  for (int y = 20 - t; y < 19; ++y) {
    EXPECT_EQ(b.at(50, y), bar0) << y;
    EXPECT_EQ(b.at(150, y), back) << y;
  }
  EXPECT_EQ(b.at(50, 19), 0x00C9A08Du);  // the flat border
}

TEST(NxProgressBarPaint, VerticalTubeAtAQuarterFillsTheBottomQuarter) {
  sim::SimHost host;
  auto& bar = host.create<NxProgressBar>(site(3000, 300));
  bar.setOrientation(orVertical);
  bar.setValue(25);
  const sim::Bitmap& b = host.window(bar).bitmap();
  ASSERT_EQ(b.width(), 20);
  ASSERT_EQ(b.height(), 200);
  const Rgb bar0 = 0x00873A00, back = 0x00DED9D8, light = 0x00FFFFFF;
  const int t = 4;
  for (int x = 1; x < 19; ++x) {
    const Rgb filled = x < t ? gdi(bar0, light, x, t) : gdi(light, bar0, x - t, 20 - t);
    const Rgb empty = x < t ? gdi(back, light, x, t) : gdi(light, back, x - t, 20 - t);
    EXPECT_EQ(b.at(x, 150), filled) << x;
    EXPECT_EQ(b.at(x, 198), filled) << x;
    EXPECT_EQ(b.at(x, 149), empty) << x;
    EXPECT_EQ(b.at(x, 1), empty) << x;
  }
  bar.setLightStyle(lsSoft);
  EXPECT_EQ(b.at(10, 150), gdi(light, bar0, 10, 20));
  EXPECT_EQ(b.at(10, 149), gdi(light, back, 10, 20));
}

TEST(NxProgressBarPaint, ThreeDimensionalThemesLeaveTheBorderToTheWindow) {
  sim::SimHost host;
  auto& bar = host.create<NxProgressBar>(site(3000, 300));
  bar.setTheme(thmMercury3D);
  bar.setValue(100);
  const sim::Bitmap& b = host.window(bar).bitmap();
  ASSERT_EQ(b.width(), 196);
  ASSERT_EQ(b.height(), 16);
  const Rgb bar0 = 0x000000C0, light = 0x00FFFFFF;
  const int t = 3;              // 16 / 5 = 3.2
  EXPECT_EQ(b.at(0, 0), bar0);  // no drawn border
  EXPECT_EQ(b.at(195, 1), gdi(bar0, light, 1, t));
  EXPECT_EQ(b.at(195, 15), bar0);
  // Back to flat: the window border goes and the drawing area grows again.
  bar.setAppearance(apFlat);
  EXPECT_EQ(host.window(bar).borderStyle(), 0);
  EXPECT_EQ(bar.drawWidthPx(), 200);
  EXPECT_EQ(b.at(0, 0), 0x00000000u);  // drawn flat border in Mercury's black
}

TEST(NxProgressBarPaint, LineFallbackDrawsTheSameBars) {
  std::thread([] {
    sim::SimHost host;
    host.services().setGradientFillAvailable(false);
    auto& bar = host.create<NxProgressBar>(site(3000, 300));
    bar.setTheme(thmOffice);
    bar.setValue(50);
    EXPECT_TRUE(gradientStrategy().probed);
    EXPECT_FALSE(gradientStrategy().fillAvailable);
    const sim::Bitmap& b = host.window(bar).bitmap();
    const Rgb bar0 = 0x008D918E, back = 0x00EBF2ED, light = 0x00FFFFFF;
    EXPECT_EQ(b.at(0, 0), 0x00979F8Fu);
    for (int y = 1; y < 19; ++y) {
      expectNearLine(b.at(50, y), light, bar0, y, 20);
      expectNearLine(b.at(150, y), light, back, y, 20);
    }
    EXPECT_EQ(b.at(99, 5), b.at(1, 5));
    EXPECT_NE(b.at(100, 5), b.at(99, 5));

    bar.setOrientation(orVertical);
    bar.setValue(25);
    bar.setLightStyle(lsTube);
    const sim::Bitmap& v = host.window(bar).bitmap();
    EXPECT_EQ(v.at(1, 150), v.at(1, 198));
    EXPECT_NE(v.at(1, 149), v.at(1, 150));
    expectNearLine(v.at(10, 170), light, bar0, 6, 16);
  }).join();
}

}  // namespace
}  // namespace nx
