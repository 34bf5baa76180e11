// The real drawing of NxMeter, NxGradFrame, NxCheckBox and NxHyperLink against the simulation:
// the same properties give the same pixels. Text is kept out of the comparison (the two
// platforms have different fonts): captions are blank or empty, and the caption tab of the
// frame is given a fixed size larger than its text.
#include <windows.h>

#include <gtest/gtest.h>
#include <ocidl.h>

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "display_scale.h"
#include "library_under_test.h"
#include "nxwidgets_h.h"
#include "platform/sim/sim_host.h"
#include "platform/sim/sim_objects.h"
#include "platform/win32/formhost/form_host.h"
#include "platform/win32/runtime/win32_services.h"
#include "widgets/checkbox/check_box.h"
#include "widgets/gradframe/grad_frame.h"
#include "widgets/hyperlink/hyper_link.h"
#include "widgets/meter/meter.h"

using nx::formhost::ComPtr;
using nx::formhost::Dispatch;

namespace {

using nx::test::library;

// One property put on both sides: a number or a text.
struct Put {
  const char* name;
  long number = 0;
  const wchar_t* text = nullptr;
};

Put num(const char* name, long value) {
  return Put{name, value, nullptr};
}
Put text(const char* name, const wchar_t* value) {
  return Put{name, 0, value};
}

std::wstring wide(const char* s) {
  return std::wstring(s, s + std::char_traits<char>::length(s));
}

std::string narrow(const wchar_t* s) {
  std::string out;
  for (; *s; ++s) out += static_cast<char>(*s);
  return out;
}

void putReal(const Dispatch& d, const Put& p) {
  const std::wstring name = wide(p.name);
  if (p.text) {
    VARIANT v = nx::formhost::textVariant(p.text);
    EXPECT_EQ(d.put(name.c_str(), v), S_OK) << p.name;
    VariantClear(&v);
  } else {
    EXPECT_EQ(d.put(name.c_str(), p.number), S_OK) << p.name;
  }
}

void putSim(nx::ControlBase& control, const Put& p) {
  if (p.text)
    control.putProperty(p.name, nx::Value(narrow(p.text)));
  else
    control.putProperty(p.name, nx::Value(static_cast<std::int32_t>(p.number)));
}

// A memory bitmap the real control's view draws into.
class Canvas {
 public:
  Canvas(int w, int h) {
    HDC screen = GetDC(nullptr);
    dc_ = CreateCompatibleDC(screen);
    bitmap_ = CreateCompatibleBitmap(screen, w, h);
    ReleaseDC(nullptr, screen);
    old_ = SelectObject(dc_, bitmap_);
  }
  ~Canvas() {
    SelectObject(dc_, old_);
    DeleteObject(bitmap_);
    DeleteDC(dc_);
  }
  Canvas(const Canvas&) = delete;
  Canvas& operator=(const Canvas&) = delete;
  HDC dc() const { return dc_; }
  nx::Rgb at(int x, int y) const { return static_cast<nx::Rgb>(GetPixel(dc_, x, y)); }

 private:
  HDC dc_ = nullptr;
  HBITMAP bitmap_ = nullptr;
  HGDIOBJ old_ = nullptr;
};

// The real control: created new, the puts before and after the extent applied, drawn through
// its view at w x h pixels.
std::unique_ptr<Canvas> drawReal(REFCLSID clsid, const std::vector<Put>& before, int w, int h,
                                 const std::vector<Put>& after) {
  ComPtr<IOleObject> object;
  library().create(clsid, IID_IOleObject, object.putVoid());
  EXPECT_TRUE(object);
  if (!object) return nullptr;
  EXPECT_EQ(nx::formhost::initNew(object.get()), S_OK);
  Dispatch d(object.get());
  for (const Put& p : before) putReal(d, p);
  SIZEL size = {MulDiv(w, 2540, nx::test::dpi()), MulDiv(h, 2540, nx::test::dpi())};
  object->SetExtent(DVASPECT_CONTENT, &size);
  for (const Put& p : after) putReal(d, p);
  auto canvas = std::make_unique<Canvas>(w, h);
  ComPtr<IViewObject> view;
  object->QueryInterface(IID_IViewObject, view.putVoid());
  EXPECT_TRUE(view);
  if (!view) return nullptr;
  RECTL bounds = {0, 0, w, h};
  EXPECT_EQ(view->Draw(DVASPECT_CONTENT, -1, nullptr, nullptr, nullptr, canvas->dc(), &bounds,
                       nullptr, nullptr, 0),
            S_OK);
  return canvas;
}

struct Difference {
  int maxChannel = 0;
  int pixels = 0;
  int firstX = -1, firstY = -1;
  nx::Rgb firstWant = 0, firstGot = 0;
};

int channel(nx::Rgb c, int shift) {
  return static_cast<int>((c >> shift) & 0xFF);
}

// Compares the simulation's client bitmap with the real drawing offset by `border`, skipping
// the pixels `skip` names (client coordinates).
Difference compare(const nx::sim::Bitmap& expected, const Canvas& real, int border,
                   const std::function<bool(int, int)>& skip = {}) {
  Difference diff;
  for (int y = 0; y < expected.height(); ++y) {
    for (int x = 0; x < expected.width(); ++x) {
      if (skip && skip(x, y)) continue;
      const nx::Rgb want = expected.at(x, y);
      const nx::Rgb got = real.at(x + border, y + border);
      const int d = std::max({std::abs(channel(got, 0) - channel(want, 0)),
                              std::abs(channel(got, 8) - channel(want, 8)),
                              std::abs(channel(got, 16) - channel(want, 16))});
      if (d == 0) continue;
      if (diff.pixels++ == 0) {
        diff.firstX = x;
        diff.firstY = y;
        diff.firstWant = want;
        diff.firstGot = got;
      }
      diff.maxChannel = std::max(diff.maxChannel, d);
    }
  }
  return diff;
}

void report(const std::string& look, const nx::sim::Bitmap& expected, const Difference& d) {
  std::printf("%s: %dx%d, %d pixels differ, at most %d per channel", look.c_str(), expected.width(),
              expected.height(), d.pixels, d.maxChannel);
  if (d.pixels)
    std::printf(" (first at %d,%d: expected %06X, got %06X)", d.firstX, d.firstY,
                static_cast<unsigned>(d.firstWant), static_cast<unsigned>(d.firstGot));
  std::printf("\n");
}

// How many colours the bitmap has (up to `limit`): a look that should show something is not
// compared as a blank area.
int colours(const nx::sim::Bitmap& b, int limit = 3) {
  std::vector<nx::Rgb> seen;
  for (int y = 0; y < b.height(); ++y)
    for (int x = 0; x < b.width(); ++x)
      if (std::find(seen.begin(), seen.end(), b.at(x, y)) == seen.end()) {
        seen.push_back(b.at(x, y));
        if (static_cast<int>(seen.size()) >= limit) return limit;
      }
  return static_cast<int>(seen.size());
}

// The sizes of the simulated window: outer pixels and the border around the client bitmap.
struct SimSize {
  int w = 0, h = 0, border = 0;
};

SimSize simSize(nx::sim::SimHost& host, const nx::ControlBase& control) {
  const auto& window = host.window(control);
  SimSize s;
  s.w = static_cast<int>(window.width() / nx::test::tpp() + 0.5);
  s.h = static_cast<int>(window.height() / nx::test::tpp() + 0.5);
  s.border = (s.w - window.bitmap().width()) / 2;
  return s;
}

}  // namespace

TEST(WidgetsPixels, MeterMatchesTheSimulation) {
  struct Case {
    long orientation, appearance, borderStyle, value;
  };
  const Case cases[] = {{1, 0, 0, 0},   {1, 0, 0, 37}, {1, 0, 0, 75}, {1, 0, 0, 95},
                        {1, 0, 0, 100}, {0, 0, 0, 0},  {0, 0, 0, 42}, {0, 0, 0, 80},
                        {0, 0, 0, 100}, {1, 1, 1, 50}, {0, 0, 1, 66}};
  for (const Case& c : cases) {
    const int length = 150, thickness = 18;
    const int w = c.orientation ? thickness : length;
    const int h = c.orientation ? length : thickness;
    const std::vector<Put> before = {num("Orientation", c.orientation),
                                     num("Appearance", c.appearance),
                                     num("BorderStyle", c.borderStyle),
                                     num("BackColor", 0x00302010), num("ColorL1", 0x0000A0F0)};
    const std::vector<Put> after = {num("Value", c.value)};

    // The simulation first: the meter snaps its length to whole segments, and the real one is
    // given that snapped size.
    nx::sim::SimHost host(nx::test::tpp(), nx::test::tpp());
    nx::sim::SiteOptions options;
    options.width = 40 * nx::test::tpp();
    options.height = 150 * nx::test::tpp();
    auto& sim = host.create<nx::NxMeter>(options);
    for (const Put& p : before) putSim(sim, p);
    host.resize(sim, w * nx::test::tpp(), h * nx::test::tpp());
    for (const Put& p : after) putSim(sim, p);
    const SimSize size = simSize(host, sim);
    const auto& expected = host.window(sim).bitmap();

    auto real = drawReal(CLSID_NxMeter, before, size.w, size.h, after);
    ASSERT_TRUE(real);
    const std::string look = "meter orientation " + std::to_string(c.orientation) + " appearance " +
                             std::to_string(c.appearance) + " border " +
                             std::to_string(c.borderStyle) + " value " + std::to_string(c.value);
    // Back colour and segments (lit, unlit or both) at least.
    EXPECT_GE(colours(expected), 2) << look;
    const Difference d = compare(expected, *real, size.border);
    report(look, expected, d);
    // Segments are solid rectangles in exact colours: nothing may differ.
    EXPECT_EQ(d.pixels, 0) << look;
  }
}

TEST(WidgetsPixels, GradFrameMatchesTheSimulation) {
  struct Background {
    const char* name;
    long colorA, colorB, orientation;
  };
  const Background backgrounds[] = {{"vertical gradient", 0x00BBAD9C, 0x00FFFFFF, 1},
                                    {"horizontal gradient", 0x00203040, 0x00C0E0F0, 0},
                                    {"plain", 0x00C08040, 0x00C08040, 1}};
  const int w = 220, h = 140;
  int worst = 0;
  for (const Background& bg : backgrounds) {
    for (long appearance = 0; appearance <= 1; ++appearance) {
      for (long corner = 0; corner <= 3; ++corner) {
        for (long borderStyle = 0; borderStyle <= 1; ++borderStyle) {
          // A blank caption in a tab of fixed size (900 x 450 twips, larger than the text of
          // either platform's font): the tab's geometry does not depend on the font.
          const std::vector<Put> before = {
              num("ColorA", bg.colorA),           num("ColorB", bg.colorB),
              num("Orientation", bg.orientation), num("Appearance", appearance),
              num("BorderStyle", borderStyle),    num("BorderColor", 0x00606060),
              num("CaptionAlignment", corner),    num("CaptionWidth", 900),
              num("CaptionHeight", 450),          text("Caption", L" ")};

          nx::sim::SimHost host(nx::test::tpp(), nx::test::tpp());
          nx::sim::SiteOptions options;
          options.width = w * nx::test::tpp();
          options.height = h * nx::test::tpp();
          auto& sim = host.create<nx::NxGradFrame>(options);
          for (const Put& p : before) putSim(sim, p);
          host.resize(sim, w * nx::test::tpp(), h * nx::test::tpp());
          const SimSize size = simSize(host, sim);
          const auto& expected = host.window(sim).bitmap();

          auto real = drawReal(CLSID_NxGradFrame, before, size.w, size.h, {});
          ASSERT_TRUE(real);
          const std::string look =
              std::string("frame ") + bg.name + " appearance " + std::to_string(appearance) +
              " border " + std::to_string(borderStyle) + " corner " + std::to_string(corner);
          // A gradient, a border or a tab line; without them the plain colour alone (the tab is
          // outlined only on a framed control).
          if (bg.colorA == bg.colorB && borderStyle == 0)
            EXPECT_EQ(colours(expected), 1) << look;
          else
            EXPECT_GE(colours(expected), 2) << look;
          const Difference d = compare(expected, *real, size.border);
          report(look, expected, d);
          worst = std::max(worst, d.maxChannel);
          // The gradient is filled by the platform's gradient fill, whose 16-bit colour
          // arithmetic may round a step differently; lines and plain fills are exact.
          const int bound = bg.colorA == bg.colorB ? 0 : 2;
          EXPECT_LE(d.maxChannel, bound) << look;
        }
      }
    }
  }
  RecordProperty("worst_channel_difference", worst);
}

TEST(WidgetsPixels, CheckBoxImageAndBackgroundMatchTheSimulation) {
  // The box images are icons drawn through their mask; the simulation draws pictures opaque, so
  // it is given each icon as the platform draws it over the control's back colour.
  const long back = 0x00D0E0F0;
  nx::sim::SimHost host(nx::test::tpp(), nx::test::tpp());
  const char* names[] = {"CHK_IMG1_0", "CHK_IMG1_1", "CHK_IMG1_2",
                         "CHK_IMG0_0", "CHK_IMG0_1", "CHK_IMG0_2"};
  for (const char* name : names) {
    // The drawing the library picks for this display, at its own size.
    HICON icon = nullptr;
    for (const std::wstring& id : nx::win32::resourceCandidates(name))
      if ((icon =
               static_cast<HICON>(LoadImageW(library().module(), id.c_str(), IMAGE_ICON, 0, 0, 0))))
        break;
    ASSERT_TRUE(icon) << name;
    ICONINFO info = {};
    GetIconInfo(icon, &info);
    BITMAP mask = {};
    GetObjectW(info.hbmMask, sizeof(mask), &mask);
    if (info.hbmMask) DeleteObject(info.hbmMask);
    if (info.hbmColor) DeleteObject(info.hbmColor);
    const int size = mask.bmWidth;
    Canvas canvas(size, size);
    HBRUSH brush = CreateSolidBrush(static_cast<COLORREF>(back));
    const RECT all = {0, 0, size, size};
    FillRect(canvas.dc(), &all, brush);
    DeleteObject(brush);
    DrawIconEx(canvas.dc(), 0, 0, icon, size, size, 0, nullptr, DI_NORMAL);
    DestroyIcon(icon);
    nx::sim::Bitmap pixels(size, size);
    for (int y = 0; y < size; ++y)
      for (int x = 0; x < size; ++x) pixels.set(x, y, canvas.at(x, y));
    host.services().addResourcePicture(
        name, std::make_shared<nx::sim::SimPicture>(pixels, 1440.0 / nx::test::tpp()));
  }

  const int w = 120, h = 24;
  for (long alignment = 0; alignment <= 1; ++alignment) {
    for (long value = -1; value <= 1; ++value) {  // crossed, empty, ticked
      for (long enabled = 1; enabled >= 0; --enabled) {
        const std::vector<Put> before = {num("BackColor", back), num("Alignment", alignment),
                                         num("Style", 2),        text("Caption", L""),
                                         num("Value", value),    num("Enabled", enabled ? -1 : 0)};
        nx::sim::SiteOptions options;
        options.width = w * nx::test::tpp();
        options.height = h * nx::test::tpp();
        auto& sim = host.create<nx::NxCheckBox>(options);
        for (const Put& p : before) putSim(sim, p);
        host.resize(sim, w * nx::test::tpp(), h * nx::test::tpp());
        const SimSize size = simSize(host, sim);
        const auto& expected = host.window(sim).bitmap();

        auto real = drawReal(CLSID_NxCheckBox, before, size.w, size.h, {});
        ASSERT_TRUE(real);
        const std::string look = "check box alignment " + std::to_string(alignment) + " value " +
                                 std::to_string(value) + " enabled " + std::to_string(enabled);
        EXPECT_GE(colours(expected), 2) << look;  // the box image over the back colour
        const Difference d = compare(expected, *real, size.border);
        report(look, expected, d);
        // The icon reaches both through the same platform drawing: nothing may differ.
        EXPECT_EQ(d.pixels, 0) << look;
        host.destroy(sim);
      }
    }
  }
}

TEST(WidgetsPixels, HyperLinkBackgroundMatchesTheSimulation) {
  const long backs[] = {0x00FFFFFF, 0x00336699};
  for (long back : backs) {
    const std::vector<Put> before = {num("BackColor", back), text("Caption", L"")};
    const int w = 90, h = 20;
    nx::sim::SimHost host(nx::test::tpp(), nx::test::tpp());
    nx::sim::SiteOptions options;
    options.width = w * nx::test::tpp();
    options.height = h * nx::test::tpp();
    auto& sim = host.create<nx::NxHyperLink>(options);
    for (const Put& p : before) putSim(sim, p);
    host.resize(sim, w * nx::test::tpp(), h * nx::test::tpp());
    const SimSize size = simSize(host, sim);
    const auto& expected = host.window(sim).bitmap();
    auto real = drawReal(CLSID_NxHyperLink, before, size.w, size.h, {});
    ASSERT_TRUE(real);
    const std::string look = "hyperlink back " + std::to_string(back);
    EXPECT_EQ(colours(expected), 1) << look;
    EXPECT_EQ(expected.at(0, 0), static_cast<nx::Rgb>(back)) << look;
    const Difference d = compare(expected, *real, size.border);
    report(look, expected, d);
    EXPECT_EQ(d.pixels, 0) << look;
  }
}
