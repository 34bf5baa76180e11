// Captions of NxCheckBox, NxHyperLink and NxGradFrame drawn for real against the simulation.
//
// The two platforms print text in different fonts: the simulation draws every character as a
// hollow box in a cell of fixed size (6 x 13 pixels for the default 8.25-point font), the real
// one draws the system's glyphs. So a caption is compared in bounds:
// - the caption's band is the simulation's text cell (found from its own ink: a glyph box
//   starts one pixel right of its cell and two below it), widened by a tolerance;
// - outside the band the real drawing equals the simulation's (the gradient within the same
//   bound as the blank-caption comparison), and the same look with a blank caption equals it
//   everywhere, so the background under the text is right too;
// - inside the band the ink (pixels that the caption changes against the same control with a
//   blank caption) exists, has the caption's colour, is neither cut short nor much wider than
//   the simulation's, and stands where the simulation anchors it: the left end, the right end
//   or the centre, at the top or centred vertically.
#include <windows.h>

#include <gtest/gtest.h>
#include <ocidl.h>

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "core/support/color_funcs.h"
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

using nx::formhost::ComPtr;
using nx::formhost::Dispatch;
using nx::sim::Bitmap;

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

// A top-down 32-bit memory bitmap the real control's view draws into.
class Canvas {
 public:
  Canvas(int w, int h) : w_(w), h_(h) {
    BITMAPINFO info = {};
    info.bmiHeader.biSize = sizeof(info.bmiHeader);
    info.bmiHeader.biWidth = w;
    info.bmiHeader.biHeight = -h;
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    info.bmiHeader.biCompression = BI_RGB;
    dc_ = CreateCompatibleDC(nullptr);
    bitmap_ = CreateDIBSection(dc_, &info, DIB_RGB_COLORS, &bits_, nullptr, 0);
    if (bitmap_) old_ = SelectObject(dc_, bitmap_);
  }
  ~Canvas() {
    if (old_) SelectObject(dc_, old_);
    if (bitmap_) DeleteObject(bitmap_);
    if (dc_) DeleteDC(dc_);
  }
  Canvas(const Canvas&) = delete;
  Canvas& operator=(const Canvas&) = delete;
  bool ok() const { return dc_ && bitmap_ && bits_; }
  HDC dc() const { return dc_; }
  // The pixels from (x0, y0) on, w x h, as COLORREF values.
  Bitmap pixels(int x0, int y0, int w, int h) const {
    GdiFlush();
    Bitmap out(w, h);
    const auto* px = static_cast<const std::uint32_t*>(bits_);
    for (int y = 0; y < h; ++y)
      for (int x = 0; x < w; ++x) {
        const int sx = x + x0, sy = y + y0;
        if (sx < 0 || sy < 0 || sx >= w_ || sy >= h_) continue;
        const std::uint32_t bgr = px[static_cast<std::size_t>(sy) * static_cast<std::size_t>(w_) +
                                     static_cast<std::size_t>(sx)];
        out.set(x, y, ((bgr >> 16) & 0xFF) | (bgr & 0xFF00) | ((bgr & 0xFF) << 16));
      }
    return out;
  }

 private:
  int w_, h_;
  HDC dc_ = nullptr;
  HBITMAP bitmap_ = nullptr;
  void* bits_ = nullptr;
  HGDIOBJ old_ = nullptr;
};

// Moves the pointer off the control and lets it see that, so that its hover look ends.
class PointerAway {
 public:
  explicit PointerAway(HWND hwnd) : hwnd_(hwnd) {}
  ~PointerAway() {
    SetCursorPos(1000, 700);
    if (IsWindow(hwnd_)) SendMessageW(hwnd_, WM_MOUSEMOVE, 0, MAKELPARAM(0, 0));
    nx::formhost::pumpMessages();
  }
  PointerAway(const PointerAway&) = delete;
  PointerAway& operator=(const PointerAway&) = delete;

 private:
  HWND hwnd_;
};

// The real control, new, with the puts applied, drawn through its view at w x h pixels; the
// client area (inside `border`) is returned. With `hover` the control is activated in place on
// a form and the pointer moved over its middle before drawing.
Bitmap drawReal(REFCLSID clsid, const std::vector<Put>& puts, int w, int h, int border,
                bool hover) {
  const int cw = w - 2 * border, ch = h - 2 * border;
  ComPtr<IOleObject> object;
  library().create(clsid, IID_IOleObject, object.putVoid());
  EXPECT_TRUE(object);
  if (!object) return Bitmap(cw, ch);
  // Only a hovered look needs a form (a top-level window) to put the control on.
  std::optional<nx::formhost::FormSite> site;
  if (hover) {
    site.emplace();
    site->position = {10, 10, 10 + w, 10 + h};
    object->SetClientSite(&*site);
  }
  EXPECT_EQ(nx::formhost::initNew(object.get()), S_OK);
  Dispatch d(object.get());
  for (const Put& p : puts) putReal(d, p);
  SIZEL size = {MulDiv(w, 2540, nx::test::dpi()), MulDiv(h, 2540, nx::test::dpi())};
  object->SetExtent(DVASPECT_CONTENT, &size);
  HWND hwnd = nullptr;
  if (hover) {
    hwnd = nx::formhost::activateInPlace(object.get(), &*site, site->form(), site->position);
    EXPECT_TRUE(IsWindow(hwnd));
    nx::formhost::pumpMessages();
    if (hwnd) {
      POINT middle = {cw / 2, ch / 2};
      ClientToScreen(hwnd, &middle);
      SetCursorPos(middle.x, middle.y);
      SendMessageW(hwnd, WM_MOUSEMOVE, 0, MAKELPARAM(cw / 2, ch / 2));
      nx::formhost::pumpMessages();
    }
  }
  Bitmap out(cw, ch);
  {
    PointerAway away(hwnd);
    Canvas canvas(w, h);
    ComPtr<IViewObject> view;
    object->QueryInterface(IID_IViewObject, view.putVoid());
    EXPECT_TRUE(view);
    EXPECT_TRUE(canvas.ok());
    if (view && canvas.ok()) {
      RECTL bounds = {0, 0, w, h};
      EXPECT_EQ(view->Draw(DVASPECT_CONTENT, -1, nullptr, nullptr, nullptr, canvas.dc(), &bounds,
                           nullptr, nullptr, 0),
                S_OK);
      out = canvas.pixels(border, border, cw, ch);
    }
  }
  if (hover) {
    object->Close(OLECLOSE_NOSAVE);
    object->SetClientSite(nullptr);
  }
  return out;
}

// The simulated control's client bitmap, with the outer size and border of its window.
struct SimDrawing {
  Bitmap client;
  int w = 0, h = 0, border = 0;
  nx::Rgb grayText = 0;
};

template <class C>
SimDrawing drawSim(nx::sim::SimHost& host, const std::vector<Put>& puts, int w, int h, bool hover) {
  // Sizes are pixels at 96 DPI: the control keeps its size in twips on any display, as on a
  // form, and its caption's larger font keeps its room.
  nx::sim::SiteOptions options;
  options.width = w * 15.0;
  options.height = h * 15.0;
  auto& sim = host.create<C>(options);
  for (const Put& p : puts) putSim(sim, p);
  host.resize(sim, w * 15.0, h * 15.0);
  const auto& window = host.window(sim);
  SimDrawing out;
  out.w = static_cast<int>(window.width() / nx::test::tpp() + 0.5);
  out.h = static_cast<int>(window.height() / nx::test::tpp() + 0.5);
  out.border = (out.w - window.bitmap().width()) / 2;
  if (hover) {
    host.moveMouse(
        host.screenPoint(sim, window.bitmap().width() / 2, window.bitmap().height() / 2));
  }
  out.client = window.bitmap();
  out.grayText = nx::translateColor(nx::syscolor::kGrayText, host.services());
  if (hover) host.moveMouse(nx::Point{-1000, -1000});
  host.destroy(sim);
  return out;
}

int channelDistance(nx::Rgb a, nx::Rgb b) {
  int d = 0;
  for (int shift : {0, 8, 16})
    d = std::max(
        d, std::abs(static_cast<int>((a >> shift) & 0xFF) - static_cast<int>((b >> shift) & 0xFF)));
  return d;
}

struct Box {
  int left = 0, top = 0, right = -1, bottom = -1;  // inclusive; empty when right < left
  bool empty() const { return right < left || bottom < top; }
  bool contains(int x, int y) const { return x >= left && x <= right && y >= top && y <= bottom; }
  double centreX() const { return (left + right) / 2.0; }
  double centreY() const { return (top + bottom) / 2.0; }
  int width() const { return right - left + 1; }
};

std::string describe(const Box& b) {
  return "(" + std::to_string(b.left) + "," + std::to_string(b.top) + ")-(" +
         std::to_string(b.right) + "," + std::to_string(b.bottom) + ")";
}

// The pixels a caption changed: where `drawn` differs from `blank`, their bounds, and how many
// of them have exactly `colour`.
struct Ink {
  Box bounds;
  int pixels = 0;
  int inColour = 0;
  nx::Rgb other = 0;  // one ink pixel of another colour
};

Ink inkOf(const Bitmap& drawn, const Bitmap& blank, nx::Rgb colour) {
  Ink ink;
  ink.bounds = Box{drawn.width(), drawn.height(), -1, -1};
  for (int y = 0; y < drawn.height(); ++y)
    for (int x = 0; x < drawn.width(); ++x) {
      const nx::Rgb c = drawn.at(x, y);
      if (c == blank.at(x, y)) continue;
      ++ink.pixels;
      ink.bounds.left = std::min(ink.bounds.left, x);
      ink.bounds.right = std::max(ink.bounds.right, x);
      ink.bounds.top = std::min(ink.bounds.top, y);
      ink.bounds.bottom = std::max(ink.bounds.bottom, y);
      if (c == colour)
        ++ink.inColour;
      else
        ink.other = c;
    }
  return ink;
}

struct Mismatch {
  int pixels = 0;
  int worst = 0;
  int x = -1, y = -1;
};

// Compares two client bitmaps outside `band` (all of them with an empty band).
Mismatch compareOutside(const Bitmap& want, const Bitmap& got, const Box& band, int bound) {
  Mismatch m;
  if (want.width() != got.width() || want.height() != got.height()) {
    m.pixels = -1;
    return m;
  }
  for (int y = 0; y < want.height(); ++y)
    for (int x = 0; x < want.width(); ++x) {
      if (band.contains(x, y)) continue;
      const int d = channelDistance(want.at(x, y), got.at(x, y));
      if (d <= bound) continue;
      if (m.pixels++ == 0) {
        m.x = x;
        m.y = y;
      }
      m.worst = std::max(m.worst, d);
    }
  return m;
}

std::string describe(const Mismatch& m) {
  if (m.pixels < 0) return "sizes differ";
  return std::to_string(m.pixels) + " pixels differ by up to " + std::to_string(m.worst) +
         " (first at " + std::to_string(m.x) + "," + std::to_string(m.y) + ")";
}

// Writes a bitmap as a binary PPM into the folder NX_CAPTION_DUMP names (for a person to look
// at; nothing is written without it).
void dump(const std::string& name, const Bitmap& b) {
  const char* dir = std::getenv("NX_CAPTION_DUMP");
  if (!dir || !*dir) return;
  std::string file = std::string(dir) + "/" + name + ".ppm";
  std::replace(file.begin(), file.end(), ' ', '_');
  FILE* f = std::fopen(file.c_str(), "wb");
  if (!f) return;
  std::fprintf(f, "P6\n%d %d\n255\n", b.width(), b.height());
  for (int y = 0; y < b.height(); ++y)
    for (int x = 0; x < b.width(); ++x) {
      const nx::Rgb c = b.at(x, y);
      const unsigned char rgb[3] = {static_cast<unsigned char>(c & 0xFF),
                                    static_cast<unsigned char>((c >> 8) & 0xFF),
                                    static_cast<unsigned char>((c >> 16) & 0xFF)};
      std::fwrite(rgb, 1, 3, f);
    }
  std::fclose(f);
}

enum class Across { Left, Right, Centre };
enum class Down { Top, Centre };

// One captioned look and what its caption is anchored to.
struct Look {
  std::string name;
  std::vector<Put> puts;  // without the caption
  const char* captionProperty = "Caption";
  const wchar_t* caption = L"Caption text";
  int w = 0, h = 0;
  Across across = Across::Left;
  Down down = Down::Top;
  // The caption's colour; a system colour is translated on each platform.
  nx::OleColor colour = 0;
  bool hover = false;
  int backgroundBound = 0;  // channel difference allowed outside the band (gradients)
};

// Tolerances, in pixels. The simulation's cell starts and ends exactly at the anchor; a real
// line starts at it too but its ink does not fill the advance: a glyph may have a blank first
// column, and the last glyph's advance ends in up to 2 blank columns (the gap before a next
// character). So an end agrees within 2. A centre adds the half-pixel rounding each platform
// makes of its own text width: within 3. Vertically a real line of the default font is as high
// as the simulation's (13 pixels) but its glyphs sit on a baseline: capitals start 2 rows below
// the top (as the simulation's boxes do) and descenders reach 2 rows above the bottom, so the
// top of the ink agrees within 2 and its middle within 3.
constexpr int kEndTolerance = 2;
constexpr int kCentreTolerance = 3;
constexpr int kBandMargin = 3;  // around the simulation's cell, beyond the ink tolerances

// The simulation's text cell from its ink: glyph boxes run from one pixel right of the cell's
// left edge to two left of its right edge, and from two below its top to three above its
// bottom.
Box simCell(const Box& ink) {
  return Box{ink.left - 1, ink.top - 2, ink.right + 1, ink.bottom + 2};
}

// The band the real caption may take: the simulation's cell and margin, and on the side the
// text grows towards, room for a real font up to half as wide again.
Box bandAround(const Box& cell, Across across, int width, int height) {
  const int extra = cell.width() / 2 + kBandMargin;
  Box band{cell.left - kBandMargin, cell.top - kBandMargin, cell.right + kBandMargin,
           cell.bottom + kBandMargin};
  if (across == Across::Left) band.right = cell.right + extra;
  if (across == Across::Right) band.left = cell.left - extra;
  if (across == Across::Centre) {
    band.left = cell.left - extra / 2;
    band.right = cell.right + extra / 2;
  }
  band.left = std::max(band.left, 0);
  band.top = std::max(band.top, 0);
  band.right = std::min(band.right, width - 1);
  band.bottom = std::min(band.bottom, height - 1);
  return band;
}

template <class C>
void checkLook(REFCLSID clsid, const Look& look,
               const std::function<void(nx::sim::SimHost&)>& prepare = {}) {
  SCOPED_TRACE(look.name);
  std::vector<Put> withCaption = look.puts;
  withCaption.push_back(text(look.captionProperty, look.caption));
  std::vector<Put> withBlank = look.puts;
  withBlank.push_back(text(look.captionProperty, L" "));

  nx::sim::SimHost host(nx::test::tpp(), nx::test::tpp());
  if (prepare) prepare(host);
  const SimDrawing sim = drawSim<C>(host, withCaption, look.w, look.h, look.hover);
  const SimDrawing simBlank = drawSim<C>(host, withBlank, look.w, look.h, false);
  // The cell comes from the plain look: a hover may underline, which fills the cell's width.
  const SimDrawing simPlain =
      look.hover ? drawSim<C>(host, withCaption, look.w, look.h, false) : sim;
  const Bitmap real = drawReal(clsid, withCaption, sim.w, sim.h, sim.border, look.hover);
  const Bitmap realBlank = drawReal(clsid, withBlank, sim.w, sim.h, sim.border, false);
  dump(look.name + " sim", sim.client);
  dump(look.name + " real", real);

  // Disabled text is in each platform's own grey-text colour (the simulation's classic scheme
  // has 808080; the real system may have another).
  const bool system = (look.colour & 0x80000000u) != 0;
  const nx::Rgb simColour = system ? sim.grayText : static_cast<nx::Rgb>(look.colour);
  const nx::Rgb realColour = system ? static_cast<nx::Rgb>(GetSysColor(COLOR_GRAYTEXT))
                                    : static_cast<nx::Rgb>(look.colour);
  ASSERT_TRUE(!system || look.colour == nx::syscolor::kGrayText) << "only grey text is translated";

  // The simulation's own caption: there, in its colour and nothing else.
  const Ink simInk = inkOf(sim.client, simBlank.client, simColour);
  ASSERT_GT(simInk.pixels, 0) << "the simulation printed no caption";
  EXPECT_EQ(simInk.inColour, simInk.pixels)
      << "simulated ink of another colour, e.g. " << std::hex << simInk.other;
  const Ink plainInk = look.hover ? inkOf(simPlain.client, simBlank.client, simColour) : simInk;
  const Box cell = simCell(plainInk.bounds);
  const Box band = bandAround(cell, look.across, sim.client.width(), sim.client.height());

  // The background: the blank look everywhere, the captioned one outside the band.
  const Mismatch blank = compareOutside(simBlank.client, realBlank, Box{}, look.backgroundBound);
  EXPECT_EQ(blank.pixels, 0) << "blank caption: " << describe(blank);
  const Mismatch outside = compareOutside(sim.client, real, band, look.backgroundBound);
  EXPECT_EQ(outside.pixels, 0) << "outside the band " << describe(band) << ": "
                               << describe(outside);

  // The real caption: there, in its colour, about as wide as the simulation's and anchored
  // where it is.
  const Ink ink = inkOf(real, realBlank, realColour);
  std::printf("%s: sim cell %s, real ink %s, %d of %d ink pixels in %06X\n", look.name.c_str(),
              describe(cell).c_str(), describe(ink.bounds).c_str(), ink.inColour, ink.pixels,
              static_cast<unsigned>(realColour));
  ASSERT_GT(ink.pixels, 0) << "no real caption";
  EXPECT_EQ(ink.inColour, ink.pixels)
      << "real ink of another colour, e.g. " << std::hex << ink.other;
  EXPECT_GE(ink.bounds.width() * 2, cell.width()) << "the real caption is cut short";
  switch (look.across) {
    case Across::Left:
      EXPECT_NEAR(ink.bounds.left, cell.left, kEndTolerance) << "left end";
      break;
    case Across::Right:
      EXPECT_NEAR(ink.bounds.right, cell.right, kEndTolerance) << "right end";
      break;
    case Across::Centre:
      EXPECT_NEAR(ink.bounds.centreX(), cell.centreX(), kCentreTolerance) << "centre";
      break;
  }
  if (look.down == Down::Top) {
    EXPECT_NEAR(ink.bounds.top, plainInk.bounds.top, kEndTolerance) << "top";
  }
  EXPECT_NEAR(ink.bounds.centreY(), cell.centreY(), kCentreTolerance) << "middle";
}

// The check box images, drawn by the platform over the back colour, as the simulation's
// pictures (it paints pictures opaque; the real icons go through their mask).
void addCheckBoxPictures(nx::sim::SimHost& host, nx::OleColor back) {
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
    ASSERT_TRUE(canvas.ok());
    HBRUSH brush = CreateSolidBrush(static_cast<COLORREF>(back));
    const RECT all = {0, 0, size, size};
    FillRect(canvas.dc(), &all, brush);
    DeleteObject(brush);
    DrawIconEx(canvas.dc(), 0, 0, icon, size, size, 0, nullptr, DI_NORMAL);
    DestroyIcon(icon);
    host.services().addResourcePicture(
        name, std::make_shared<nx::sim::SimPicture>(canvas.pixels(0, 0, size, size),
                                                    1440.0 / nx::test::tpp()));
  }
}

}  // namespace

TEST(CaptionPixels, CheckBoxCaptionOnEitherSide) {
  // Right-aligned, the caption ends 255 twips before the right edge, left of the box; left-
  // aligned it starts 270 twips from the left edge. The line is centred on the box.
  const long back = 0x00D0E0F0, fore = 0x00206010;
  for (long alignment = 0; alignment <= 1; ++alignment) {
    for (long enabled = 1; enabled >= 0; --enabled) {
      Look look;
      look.name = "check box alignment " + std::to_string(alignment) + " enabled " +
                  std::to_string(enabled);
      look.puts = {num("BackColor", back),
                   num("ForeColor", fore),
                   num("Alignment", alignment),
                   num("Style", 2),
                   num("AutoSize", 0),
                   num("Value", 1),
                   num("Enabled", enabled ? -1 : 0)};
      look.w = 160;
      look.h = 24;
      look.across = alignment == 1 ? Across::Right : Across::Left;
      look.down = Down::Centre;
      look.colour = enabled ? static_cast<nx::OleColor>(fore) : nx::syscolor::kGrayText;
      checkLook<nx::NxCheckBox>(CLSID_NxCheckBox, look,
                                [&](nx::sim::SimHost& host) { addCheckBoxPictures(host, back); });
    }
  }
}

TEST(CaptionPixels, CheckBoxHoverColour) {
  const long back = 0x00D0E0F0, hover = 0x000000C0;
  for (long alignment = 0; alignment <= 1; ++alignment) {
    Look look;
    look.name = "check box hovered alignment " + std::to_string(alignment);
    look.puts = {num("BackColor", back),  num("ForeColor", 0x00206010), num("Alignment", alignment),
                 num("Style", 2),         num("AutoSize", 0),           num("HoverFX", -1),
                 num("HoverColor", hover)};
    look.w = 160;
    look.h = 24;
    look.across = alignment == 1 ? Across::Right : Across::Left;
    look.down = Down::Centre;
    look.colour = static_cast<nx::OleColor>(hover);
    look.hover = true;
    checkLook<nx::NxCheckBox>(CLSID_NxCheckBox, look,
                              [&](nx::sim::SimHost& host) { addCheckBoxPictures(host, back); });
  }
}

TEST(CaptionPixels, HyperLinkInEachAlignment) {
  // 0 left, 1 right, 2 centred; the first line at the top.
  const Across across[] = {Across::Left, Across::Right, Across::Centre};
  const long fore = 0x00A03000;
  for (long alignment = 0; alignment <= 2; ++alignment) {
    for (long enabled = 1; enabled >= 0; --enabled) {
      Look look;
      look.name = "hyperlink alignment " + std::to_string(alignment) + " enabled " +
                  std::to_string(enabled);
      look.puts = {num("BackColor", 0x00F0F0E0), num("ForeColor", fore), num("AutoSize", 0),
                   num("Alignment", alignment), num("Enabled", enabled ? -1 : 0)};
      look.w = 160;
      look.h = 20;
      look.across = across[alignment];
      look.down = Down::Top;
      look.colour = enabled ? static_cast<nx::OleColor>(fore) : nx::syscolor::kGrayText;
      checkLook<nx::NxHyperLink>(CLSID_NxHyperLink, look);
    }
  }
}

TEST(CaptionPixels, HyperLinkHoverColour) {
  // A new link's hover font is its font underlined; the underline stays inside the band.
  const Across across[] = {Across::Left, Across::Right, Across::Centre};
  const long over = 0x000080FF;
  for (long alignment = 0; alignment <= 2; ++alignment) {
    Look look;
    look.name = "hyperlink hovered alignment " + std::to_string(alignment);
    look.puts = {num("BackColor", 0x00F0F0E0), num("ForeColor", 0x00A03000),
                 num("MouseOverColor", over), num("AutoSize", 0), num("Alignment", alignment)};
    look.w = 160;
    look.h = 20;
    look.across = across[alignment];
    look.down = Down::Top;
    look.colour = static_cast<nx::OleColor>(over);
    look.hover = true;
    checkLook<nx::NxHyperLink>(CLSID_NxHyperLink, look);
  }
}

TEST(CaptionPixels, GradFrameCaptionInEachCorner) {
  // A tab of fixed size (1800 x 450 twips, wider and higher than the caption in either font),
  // so that the outline does not depend on the font; the caption is centred in the tab's
  // height, and across it either centred or 30 twips in from the frame's side.
  const long fore = 0x00400080;
  for (long corner = 0; corner <= 3; ++corner) {
    for (long centred = 0; centred <= 1; ++centred) {
      Look look;
      look.name = "frame corner " + std::to_string(corner) + " centred " + std::to_string(centred);
      look.puts = {num("ColorA", 0x00BBAD9C),
                   num("ColorB", 0x00FFFFFF),
                   num("Orientation", 1),
                   num("Appearance", 1),
                   num("BorderStyle", 1),
                   num("BorderColor", 0x00606060),
                   num("ForeColor", fore),
                   num("CaptionAlignment", corner),
                   num("CaptionWidth", 1800),
                   num("CaptionHeight", 450),
                   num("CaptionTextCentered", centred ? -1 : 0)};
      look.w = 220;
      look.h = 140;
      const bool right = corner == 1 || corner == 3;
      look.across = centred ? Across::Centre : right ? Across::Right : Across::Left;
      look.down = Down::Centre;
      look.colour = static_cast<nx::OleColor>(fore);
      // The gradient goes through the platform's gradient fill (see the blank-caption test).
      look.backgroundBound = 2;
      checkLook<nx::NxGradFrame>(CLSID_NxGradFrame, look);
    }
  }
}
