// The real drawing of NxProgressBar against the simulation: the same properties give the same
// pixels, except where the platform's gradient fill rounds its colours differently.
#include <windows.h>

#include <gtest/gtest.h>
#include <ocidl.h>

#include <cstdio>
#include <cstdlib>

#include "display_scale.h"
#include "nxwidgets_h.h"
#include "platform/sim/sim_host.h"
#include "platform/win32/formhost/form_host.h"
#include "widgets/progressbar/progress_bar.h"

using nx::formhost::ComPtr;

namespace {

ComPtr<IOleObject> createReal() {
  static nx::formhost::Library library(NX_OCX_PATH);
  ComPtr<IOleObject> object;
  library.create(CLSID_NxProgressBar, IID_IOleObject, object.putVoid());
  return object;
}

struct Case {
  long theme;
  long orientation;
  long value;
};

struct Difference {
  int maxChannel = 0;
  int pixels = 0;
  int edgePixels = 0;  // differing pixels on the border rows and columns
};

}  // namespace

TEST(ProgressBarPixels, RealDrawingMatchesTheSimulation) {
  OleInitialize(nullptr);
  const Case cases[] = {{1, 0, 37}, {2, 0, 64}, {3, 0, 50}, {4, 0, 81}, {5, 0, 12},
                        {1, 1, 37}, {2, 1, 64}, {3, 1, 50}, {4, 1, 81}, {5, 1, 12}};
  int worst = 0;
  for (const Case& c : cases) {
    const int w = c.orientation ? 20 : 200;
    const int h = c.orientation ? 200 : 20;

    // The real control, drawn through its view.
    auto object = createReal();
    ASSERT_TRUE(object);
    ASSERT_EQ(nx::formhost::initNew(object.get()), S_OK);
    ComPtr<_NxProgressBar> bar;
    object->QueryInterface(IID__NxProgressBar, bar.putVoid());
    bar->put_Theme(static_cast<PB_THEME>(c.theme));
    bar->put_Orientation(static_cast<PB_ORIENTATION>(c.orientation));
    SIZEL size = {MulDiv(w, 2540, nx::test::dpi()), MulDiv(h, 2540, nx::test::dpi())};
    object->SetExtent(DVASPECT_CONTENT, &size);
    bar->put_Value(c.value);
    HDC screen = GetDC(nullptr);
    HDC dc = CreateCompatibleDC(screen);
    HBITMAP bitmap = CreateCompatibleBitmap(screen, w, h);
    ReleaseDC(nullptr, screen);
    HGDIOBJ old = SelectObject(dc, bitmap);
    ComPtr<IViewObject> view;
    object->QueryInterface(IID_IViewObject, view.putVoid());
    RECTL bounds = {0, 0, w, h};
    ASSERT_EQ(view->Draw(DVASPECT_CONTENT, -1, nullptr, nullptr, nullptr, dc, &bounds, nullptr,
                         nullptr, 0),
              S_OK);

    // The same control on the simulation.
    nx::sim::SimHost host(nx::test::tpp(), nx::test::tpp());
    nx::sim::SiteOptions options;
    options.width = 200 * nx::test::tpp();
    options.height = 20 * nx::test::tpp();
    auto& sim = host.create<nx::NxProgressBar>(options);
    sim.putProperty("Theme", nx::Value(std::int32_t(c.theme)));
    sim.putProperty("Orientation", nx::Value(std::int32_t(c.orientation)));
    host.resize(sim, w * nx::test::tpp(), h * nx::test::tpp());
    sim.putProperty("Value", nx::Value(std::int32_t(c.value)));
    const auto& expected = host.window(sim).bitmap();
    const int border = (w - expected.width()) / 2;

    Difference diff;
    for (int y = 0; y < expected.height(); ++y) {
      for (int x = 0; x < expected.width(); ++x) {
        const nx::Rgb want = expected.at(x, y);
        const COLORREF got = GetPixel(dc, x + border, y + border);
        const int d = std::max({std::abs(int(GetRValue(got)) - int(want & 0xFF)),
                                std::abs(int(GetGValue(got)) - int((want >> 8) & 0xFF)),
                                std::abs(int(GetBValue(got)) - int((want >> 16) & 0xFF))});
        if (d == 0) continue;
        ++diff.pixels;
        diff.maxChannel = std::max(diff.maxChannel, d);
        if (x == 0 || y == 0 || x == expected.width() - 1 || y == expected.height() - 1)
          ++diff.edgePixels;
      }
    }
    std::printf(
        "theme %ld orientation %ld value %ld: %dx%d, %d pixels differ, at most %d per "
        "channel\n",
        c.theme, c.orientation, c.value, expected.width(), expected.height(), diff.pixels,
        diff.maxChannel);
    worst = std::max(worst, diff.maxChannel);
    // Gradient rounding may differ by a step of the 16-bit colour arithmetic; nothing more.
    EXPECT_LE(diff.maxChannel, 2) << "theme " << c.theme << " orientation " << c.orientation;
    SelectObject(dc, old);
    DeleteObject(bitmap);
    DeleteDC(dc);
  }
  RecordProperty("worst_channel_difference", worst);
}
