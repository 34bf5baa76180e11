// The real platform's runtime against the simulation's rules, and the tooltip windows of the
// shared control support on the real tooltip control.
#include <windows.h>

#include <commctrl.h>
#include <gtest/gtest.h>

#include <memory>
#include <string>

#include "core/support/grad_bar.h"
#include "core/support/tooltip.h"
#include "platform/sim/sim_surface.h"
#include "platform/win32/runtime/win32_services.h"
#include "platform/win32/runtime/win32_surface.h"

namespace {

// Draws the same primitives on a surface: lines (end points not painted), boxes (both corners
// included), pixels, and a gradient.
void drawPrimitives(nx::Surface& s) {
  s.setBackColor(0x00FFFFFF);
  s.clear();
  s.line(15, 15, 600, 15, 0x000000FF);    // horizontal
  s.line(30, 45, 30, 400, 0x0000FF00);    // vertical
  s.line(60, 60, 450, 300, 0x00FF0000);   // slanted
  s.line(900, 300, 600, 60, 0x00808000);  // slanted the other way
  s.box(150, 450, 750, 600, 0x00000000, false);
  s.box(800, 450, 1200, 700, 0x00123456, true);
  s.box(1400, 100, 1300, 50, 0x00654321, false);  // corners given in reverse
  s.setPixel(1450, 700, 0x00ABCDEF);
  nx::drawGradient(s.dc(), 10, 50, 90, 70, 0x000000FF, 0x00FF0000, 1);
  nx::drawGradient(s.dc(), 0, 0, 100, 3, 0x0000FF00, 0x00FF00FF, 0);
}

}  // namespace

TEST(Win32Runtime, SurfaceFollowsTheSimulatedPixelRules) {
  constexpr int kW = 100, kH = 50;
  nx::win32::Win32Surface real(15, 15);
  real.resizePixels(kW, kH);
  nx::sim::SimSurface sim(15, 15, std::make_shared<nx::sim::Switches>(), nullptr);
  sim.resizePixels(kW, kH);
  drawPrimitives(real);
  drawPrimitives(sim);
  int differing = 0;
  for (int y = 0; y < kH; ++y)
    for (int x = 0; x < kW; ++x) {
      const nx::Rgb a = real.dc().pixel(x, y);
      const nx::Rgb b = sim.dc().pixel(x, y);
      if (a != b) {
        ++differing;
        if (differing < 5)
          ADD_FAILURE() << "pixel " << x << "," << y << std::hex << " real " << a << " sim " << b;
      }
    }
  EXPECT_EQ(differing, 0);
  EXPECT_EQ(real.dc().pixel(kW, 0), nx::kInvalidColor);
  EXPECT_EQ(real.currentX(), 1450);
}

TEST(Win32Runtime, TooltipWindowOnTheRealControl) {
  nx::win32::Win32Services services;
  HWND owner = CreateWindowExW(0, L"STATIC", L"owner", WS_POPUP, 0, 0, 50, 20, nullptr, nullptr,
                               nullptr, nullptr);
  ASSERT_TRUE(owner);
  HWND tip = nullptr;
  {
    nx::CTooltip t(services);
    t.HwndParentControl = reinterpret_cast<nx::WindowHandle>(owner);
    t.Style = 1;
    t.Icon = 2;
    t.Title = "Hello";
    t.Text = "A tip";
    ASSERT_TRUE(t.Create());
    ASSERT_NE(t.window(), nullptr);
    tip = reinterpret_cast<HWND>(t.window()->handle());
    ASSERT_TRUE(IsWindow(tip));
    wchar_t cls[64] = {};
    GetClassNameW(tip, cls, 64);
    EXPECT_STREQ(cls, L"tooltips_class32");
    const auto style = static_cast<DWORD>(GetWindowLongW(tip, GWL_STYLE));
    EXPECT_EQ(style & 0x43u, 0x43u);  // always tip, no prefix, balloon
    EXPECT_EQ(SendMessageW(tip, TTM_GETTOOLCOUNT, 0, 0), 1);
    EXPECT_EQ(static_cast<COLORREF>(SendMessageW(tip, TTM_GETTIPBKCOLOR, 0, 0)),
              GetSysColor(COLOR_INFOBK));
    // A second Create replaces the window.
    ASSERT_TRUE(t.Create());
    EXPECT_FALSE(IsWindow(tip));
    tip = reinterpret_cast<HWND>(t.window()->handle());
    EXPECT_TRUE(IsWindow(tip));
  }
  EXPECT_FALSE(IsWindow(tip)) << "dropping the object destroys its window";
  // Without an owner nothing is created, and that counts as finished.
  nx::CTooltip none(services);
  EXPECT_TRUE(none.Create());
  EXPECT_EQ(none.window(), nullptr);
  DestroyWindow(owner);
}

TEST(Win32Runtime, SystemHandCursorIsTheSystemsOwn) {
  nx::win32::Win32Services services;
  nx::CursorRef hand = services.systemHandCursor();
  ASSERT_NE(hand, nullptr);
  const auto* cursor = dynamic_cast<const nx::win32::Win32Cursor*>(hand.get());
  ASSERT_NE(cursor, nullptr);
  EXPECT_EQ(cursor->handle(), LoadCursorW(nullptr, reinterpret_cast<LPCWSTR>(IDC_HAND)));
  EXPECT_EQ(services.loadResourceCursor("NO_SUCH_CURSOR"), nullptr);
}
