// Redraw cost of NxButton on the real surface, three figures:
//   1. full redraw of a 120x32 NxButton, caption "Save", in each built-in theme (1-5), side by
//      side with the platform's BUTTON (BS_PUSHBUTTON, same text, size and font);
//   2. hover: the pointer moving onto the button and off again (the cursor is placed inside or
//      outside, the button gets WM_MOUSEMOVE and repaints at once), per hover-in + hover-out
//      pair, next to the same pointer placement without the button's work;
//   3. soft cuts on both sides of a 120x400 button: the full redraw with and without the cuts,
//      and the cut work alone over a 120x400 32-bit memory surface done two ways, one GDI call
//      per pixel read and per pixel written (GetPixel + SetPixelV) against a bulk pass over the
//      DIB section's bits (the way the control does it).
//   press_bench <nxpress.ocx>
//
// The full redraw gives both kinds of control the same two steps: the host sets the control's
// rectangle again, unchanged (IOleInPlaceObject::SetObjectRects for ours, which lays out and
// draws its retained image; SetWindowPos with the same rectangle for the platform window), then
// RedrawWindow(RDW_INVALIDATE | RDW_ERASE | RDW_UPDATENOW) paints the window synchronously (ours
// copies its image, the platform's draws). Each figure is the median over rounds of the time per
// operation of a round of kPerRound operations; the rounds of the two sides of a comparison
// alternate, so that drift and load of the machine hit both alike.
// Exit status: 0 measured, 1 the library, the form or a control could not be made (or a
// measurement did not do what it measures), 2 usage.
#include <windows.h>
// GUIDs of the generated header are defined in this file.
#include <initguid.h>

#include <ocidl.h>
#include <olectl.h>

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <memory>
#include <string>
#include <type_traits>
#include <vector>

#include "alternating_rounds.h"
#include "bench_windows.h"
#include "core/support/rounding.h"
#include "nxpress_h.h"
#include "platform/win32/formhost/form.h"
#include "platform/win32/formhost/form_host.h"

using nx::bench::alternatingMedians;
using nx::bench::Timings;
using nx::bench::WindowHandle;
using nx::formhost::ComPtr;
using nx::formhost::Dispatch;
using nx::formhost::EventSink;
using nx::formhost::Form;
using nx::formhost::FormControl;
using nx::formhost::Library;
using nx::formhost::Placement;
using nx::formhost::Variant;

namespace {

constexpr int kRounds = nx::bench::kDefaultRounds;
constexpr int kPerRound = 15;
constexpr UINT kRepaint = RDW_INVALIDATE | RDW_ERASE | RDW_UPDATENOW;

// Sizes and places in the form's client area.
constexpr int kButtonW = 120, kButtonH = 32;
constexpr int kThemeColumn = 10, kPlatformColumn = 150, kRowStep = 40;
constexpr int kCutW = 120, kCutH = 400;
constexpr int kCutColumn = 300, kPlainColumn = 440;

// Events of the button.
constexpr DISPID kMouseIn = 3, kMouseOut = 4;
// CutStyle posBoth, CutStrength stSoft.
constexpr long kPosBoth = 3, kPosNeither = 0, kSoft = 0;

struct DcDeleter {
  void operator()(HDC dc) const { DeleteDC(dc); }
};
using MemoryDc = std::unique_ptr<std::remove_pointer_t<HDC>, DcDeleter>;

struct GdiDeleter {
  void operator()(HGDIOBJ object) const { DeleteObject(object); }
};
using GdiObject = std::unique_ptr<std::remove_pointer_t<HGDIOBJ>, GdiDeleter>;

// How many times alternatingMedians runs each operation.
constexpr int kCallsPerMeasure = nx::bench::callsPerMeasure(kPerRound, kRounds);

RECT rectInParent(HWND hwnd) {
  RECT r;
  GetWindowRect(hwnd, &r);
  MapWindowPoints(nullptr, GetParent(hwnd), reinterpret_cast<POINT*>(&r), 2);
  return r;
}

std::string sizeText(const RECT& r) {
  return std::to_string(r.right - r.left) + "x" + std::to_string(r.bottom - r.top);
}

// A button of ours on the form, active in place.
struct Button {
  FormControl* control = nullptr;
  HWND hwnd = nullptr;
  ComPtr<IOleInPlaceObject> inPlace;
  RECT rect = {};  // in the form's client area, as the control settled

  void fullRedraw(const RECT& clip) const {
    inPlace->SetObjectRects(&rect, &clip);
    RedrawWindow(hwnd, nullptr, nullptr, kRepaint);
  }
};

struct Setting {
  const wchar_t* name;
  long value;
};

// Places a button with the caption "Save" and the settings in order; false (after saying why)
// when it cannot be created or a setting is refused.
bool placeButton(Form& form, const Library& library, const wchar_t* name, RECT where,
                 const std::vector<Setting>& settings, Button& out) {
  Placement placement;
  placement.name = name;
  placement.position = where;
  const HRESULT hr = form.add(library, CLSID_NxButton, placement, &out.control);
  out.hwnd = out.control ? out.control->hwnd() : nullptr;
  if (FAILED(hr) || !out.hwnd) {
    std::fprintf(stderr, "press_bench: cannot create an NxButton (hr 0x%08lx)\n",
                 static_cast<unsigned long>(hr));
    return false;
  }
  const Dispatch dispatch = out.control->dispatch();
  Variant caption;
  caption.ref() = nx::formhost::textVariant(L"Save");
  HRESULT put = dispatch.put(L"Caption", caption.ref());
  for (const Setting& s : settings) {
    if (FAILED(put)) break;
    put = dispatch.put(s.name, s.value);
  }
  if (FAILED(put)) {
    std::fprintf(stderr, "press_bench: the button's properties cannot be set (hr 0x%08lx)\n",
                 static_cast<unsigned long>(put));
    return false;
  }
  out.control->move(where);
  out.control->object()->QueryInterface(IID_IOleInPlaceObject, out.inPlace.putVoid());
  if (!out.inPlace) {
    std::fprintf(stderr, "press_bench: the button is not active in place\n");
    return false;
  }
  out.rect = rectInParent(out.hwnd);
  return true;
}

// ---- The cut work on its own ----

// The brightness scaling of the cuts: each channel times percent / 100, rounded half to even
// (with the control's own rounding: std::nearbyint costs several times more under MinGW and would
// swamp the pixel access being compared), capped at 255. The channels are scaled alike, so the
// byte order of the colour does not matter.
std::uint32_t scaled(std::uint32_t color, int percent) {
  std::uint32_t out = 0;
  for (int shift = 0; shift <= 16; shift += 8) {
    const double channel = static_cast<double>((color >> shift) & 0xFFu);
    const double v = std::min(nx::roundHalfEven(percent / 100.0 * channel), 255.0);
    out |= static_cast<std::uint32_t>(v) << shift;
  }
  return out;
}

// A top-down 32-bit DIB section selected into a memory DC: the kind of surface the button
// draws on.
class Surface {
 public:
  Surface(int width, int height) : width_(width), height_(height) {
    dc_.reset(CreateCompatibleDC(nullptr));
    if (!dc_) return;
    BITMAPINFO info = {};
    info.bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
    info.bmiHeader.biWidth = width;
    info.bmiHeader.biHeight = -height;
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    info.bmiHeader.biCompression = BI_RGB;
    void* bits = nullptr;
    bitmap_.reset(CreateDIBSection(dc_.get(), &info, DIB_RGB_COLORS, &bits, nullptr, 0));
    if (!bitmap_) return;
    original_ = SelectObject(dc_.get(), bitmap_.get());
    bits_ = static_cast<std::uint32_t*>(bits);
  }
  ~Surface() {
    if (original_) SelectObject(dc_.get(), original_);
  }
  Surface(const Surface&) = delete;
  Surface& operator=(const Surface&) = delete;

  bool ok() const { return bits_ != nullptr; }
  HDC dc() const { return dc_.get(); }
  int width() const { return width_; }
  int height() const { return height_; }
  // The pixel at (x, y) as 0x00RRGGBB, after GDI's pending drawing.
  std::uint32_t& at(int x, int y) {
    return bits_[static_cast<std::size_t>(y) * static_cast<std::size_t>(width_) +
                 static_cast<std::size_t>(x)];
  }

  // A face like the button's: a vertical gradient from a light to a darker grey, one row a
  // colour, so that every pixel of a column differs from its neighbours.
  void paintFace() {
    for (int y = 0; y < height_; ++y) {
      const int v = 255 - (y * 127) / std::max(height_ - 1, 1);
      const COLORREF c = RGB(v, std::max(v - 8, 0), std::max(v - 20, 0));
      GdiObject brush(CreateSolidBrush(c));
      const RECT row = {0, y, width_, y + 1};
      FillRect(dc_.get(), &row, static_cast<HBRUSH>(brush.get()));
    }
    GdiFlush();
  }

 private:
  int width_;
  int height_;
  MemoryDc dc_;
  GdiObject bitmap_;
  HGDIOBJ original_ = nullptr;
  std::uint32_t* bits_ = nullptr;
};

// The pixel columns of a soft cut at both sides of a surface `width` wide: (0, 1) and
// (width - 2, width - 1); each pair is a darkened left and a brightened right column.
struct CutColumns {
  int left;
  int right;
};
std::vector<CutColumns> bothCuts(int width) {
  return {{0, 1}, {width - 2, width - 1}};
}

// The soft cuts with one platform call per pixel read and per pixel written, rows 4 .. H - 4.
void cutsPerPixel(Surface& s) {
  HDC dc = s.dc();
  for (const CutColumns& cut : bothCuts(s.width())) {
    for (int y = 4; y <= s.height() - 4; ++y) {
      SetPixelV(dc, cut.left, y, scaled(GetPixel(dc, cut.left, y), 90));
      SetPixelV(dc, cut.right, y, scaled(GetPixel(dc, cut.right, y), 130));
    }
  }
}

// The same cuts in one pass over the section's bits, each cut's block read out and written back
// in one piece.
void cutsBulk(Surface& s) {
  GdiFlush();
  const int rows = s.height() - 4 - 4 + 1;
  std::vector<std::uint32_t> block(static_cast<std::size_t>(rows) * 2);
  for (const CutColumns& cut : bothCuts(s.width())) {
    for (int i = 0; i < rows; ++i) {
      block[static_cast<std::size_t>(i) * 2] = s.at(cut.left, 4 + i);
      block[static_cast<std::size_t>(i) * 2 + 1] = s.at(cut.right, 4 + i);
    }
    for (int i = 0; i < rows; ++i) {
      std::uint32_t* p = &block[static_cast<std::size_t>(i) * 2];
      p[0] = scaled(p[0] & 0xFFFFFFu, 90);
      p[1] = scaled(p[1] & 0xFFFFFFu, 130);
    }
    for (int i = 0; i < rows; ++i) {
      s.at(cut.left, 4 + i) = block[static_cast<std::size_t>(i) * 2];
      s.at(cut.right, 4 + i) = block[static_cast<std::size_t>(i) * 2 + 1];
    }
  }
}

// Whether both ways give the same pixels on the same face, and change the cut columns at all.
bool cutWaysAgree() {
  Surface a(kCutW, kCutH);
  Surface b(kCutW, kCutH);
  Surface face(kCutW, kCutH);
  if (!a.ok() || !b.ok() || !face.ok()) return false;
  a.paintFace();
  b.paintFace();
  face.paintFace();
  cutsPerPixel(a);
  cutsBulk(b);
  GdiFlush();
  int changed = 0;
  for (int y = 0; y < kCutH; ++y) {
    for (int x = 0; x < kCutW; ++x) {
      const std::uint32_t pa = a.at(x, y) & 0xFFFFFFu;
      if (pa != (b.at(x, y) & 0xFFFFFFu)) {
        std::fprintf(stderr, "press_bench: the two cut passes differ at (%d, %d)\n", x, y);
        return false;
      }
      changed += pa != (face.at(x, y) & 0xFFFFFFu);
    }
  }
  if (changed == 0) std::fprintf(stderr, "press_bench: the cut passes changed no pixel\n");
  return changed > 0;
}

// ---- The figures ----

int run(const char* path) {
  Library library(path);
  if (!library.loaded()) {
    std::fprintf(stderr, "press_bench: cannot load %s\n", path);
    return 1;
  }
  Form form(L"press bench", 600, 470);
  if (!form.hwnd()) {
    std::fprintf(stderr, "press_bench: cannot create the form\n");
    return 1;
  }
  SetWindowPos(form.hwnd(), HWND_TOP, 40, 40, 0, 0, SWP_NOSIZE | SWP_SHOWWINDOW);
  HFONT font = nullptr;
  if (IFontDisp* ambient = form.font()) {
    ComPtr<IFont> f;
    ambient->QueryInterface(IID_IFont, f.putVoid());
    if (f) f->get_hFont(&font);
  }

  // Figure 1: one button per theme, each with a platform button beside it.
  constexpr int kThemes = 5;
  std::vector<Button> themed(kThemes);
  std::vector<WindowHandle> platform;
  for (int t = 1; t <= kThemes; ++t) {
    const int top = 10 + (t - 1) * kRowStep;
    const std::wstring name = L"Theme" + std::to_wstring(t);
    if (!placeButton(form, library, name.c_str(),
                     {kThemeColumn, top, kThemeColumn + kButtonW, top + kButtonH}, {{L"Theme", t}},
                     themed[t - 1]))
      return 1;
    const RECT& r = themed[t - 1].rect;
    platform.emplace_back(
        CreateWindowExW(0, L"BUTTON", L"Save", WS_CHILD | WS_VISIBLE | WS_TABSTOP | BS_PUSHBUTTON,
                        kPlatformColumn, r.top, r.right - r.left, r.bottom - r.top, form.hwnd(),
                        nullptr, GetModuleHandleW(nullptr), nullptr));
    if (!platform.back()) {
      std::fprintf(stderr, "press_bench: cannot create the platform's BUTTON (error %lu)\n",
                   GetLastError());
      return 1;
    }
    if (font) SendMessageW(platform.back().get(), WM_SETFONT, reinterpret_cast<WPARAM>(font), 0);
  }
  // Figure 3: the tall button with soft cuts on both sides and the same one without.
  Button cut;
  Button plain;
  if (!placeButton(form, library, L"Cut", {kCutColumn, 10, kCutColumn + kCutW, 10 + kCutH},
                   {{L"CutStyle", kPosBoth}, {L"CutStrength", kSoft}}, cut) ||
      !placeButton(form, library, L"Plain", {kPlainColumn, 10, kPlainColumn + kCutW, 10 + kCutH},
                   {{L"CutStyle", kPosNeither}, {L"CutStrength", kSoft}}, plain))
    return 1;
  form.pumpMessages();
  for (int t = 0; t < kThemes; ++t) {
    if (!IsWindowVisible(themed[t].hwnd) || !IsWindowVisible(platform[t].get())) {
      std::fprintf(stderr, "press_bench: a button of theme %d is not visible\n", t + 1);
      return 1;
    }
  }
  if (!IsWindowVisible(cut.hwnd) || !IsWindowVisible(plain.hwnd)) {
    std::fprintf(stderr, "press_bench: the tall buttons are not visible\n");
    return 1;
  }

  RECT clip;
  GetClientRect(form.hwnd(), &clip);
  std::vector<Timings> full;
  for (int t = 0; t < kThemes; ++t) {
    HWND p = platform[t].get();
    const RECT r = rectInParent(p);
    full.push_back(alternatingMedians([&] { themed[t].fullRedraw(clip); },
                                      [&] {
                                        SetWindowPos(p, nullptr, r.left, r.top, r.right - r.left,
                                                     r.bottom - r.top,
                                                     SWP_NOZORDER | SWP_NOACTIVATE);
                                        RedrawWindow(p, nullptr, nullptr, kRepaint);
                                      },
                                      kPerRound));
  }

  // Figure 2: hover in and out on the theme-1 button, against placing the pointer alone.
  const Button& hovered = themed[0];
  auto* sink = new EventSink;
  DWORD cookie = 0;
  const HRESULT advised =
      nx::formhost::advise(hovered.control->object(), DIID___NxButton, sink, &cookie);
  if (FAILED(advised)) {
    sink->Release();
    std::fprintf(stderr, "press_bench: cannot connect to the button's events (hr 0x%08lx)\n",
                 static_cast<unsigned long>(advised));
    return 1;
  }
  POINT inside = {(hovered.rect.left + hovered.rect.right) / 2,
                  (hovered.rect.top + hovered.rect.bottom) / 2};
  POINT outside = {(hovered.rect.right + kPlatformColumn) / 2, inside.y};  // the bare form
  ClientToScreen(form.hwnd(), &inside);
  ClientToScreen(form.hwnd(), &outside);
  auto moveTo = [&](POINT at) {
    SetCursorPos(at.x, at.y);
    SendMessageW(hovered.hwnd, WM_MOUSEMOVE, 0, 0);
    UpdateWindow(hovered.hwnd);
  };
  SetCursorPos(outside.x, outside.y);
  form.pumpMessages();
  sink->clear();
  const Timings hover = alternatingMedians(
      [&] {
        moveTo(inside);
        moveTo(outside);
      },
      [&] {
        SetCursorPos(inside.x, inside.y);
        SetCursorPos(outside.x, outside.y);
      },
      kPerRound);
  const int ins = sink->count(kMouseIn);
  const int outs = sink->count(kMouseOut);
  nx::formhost::unadvise(hovered.control->object(), DIID___NxButton, cookie);
  sink->Release();
  form.pumpMessages();
  if (ins != kCallsPerMeasure || outs != kCallsPerMeasure) {
    std::fprintf(stderr,
                 "press_bench: hover measured nothing: %d MouseIn and %d MouseOut for %d moves "
                 "each way\n",
                 ins, outs, kCallsPerMeasure);
    return 1;
  }

  // Figure 3.
  const Timings cuts =
      alternatingMedians([&] { cut.fullRedraw(clip); }, [&] { plain.fullRedraw(clip); }, kPerRound);
  if (!cutWaysAgree()) return 1;
  Surface perPixel(kCutW, kCutH);
  Surface bulk(kCutW, kCutH);
  if (!perPixel.ok() || !bulk.ok()) {
    std::fprintf(stderr, "press_bench: cannot create the memory surfaces\n");
    return 1;
  }
  perPixel.paintFace();
  bulk.paintFace();
  // The cuts are applied again and again to the same surface: the colours drift, the work per
  // pixel does not.
  const Timings cutWork =
      alternatingMedians([&] { cutsPerPixel(perPixel); }, [&] { cutsBulk(bulk); }, kPerRound);

  std::printf("nxpress NxButton, %d-bit, median of %d rounds x %d (per operation)\n",
              static_cast<int>(sizeof(void*) * 8), kRounds, kPerRound);
  for (int t = 0; t < kThemes; ++t) {
    std::printf("full redraw %s theme %d: NxButton %8.1f us  BUTTON %8.1f us  ratio %5.2f\n",
                sizeText(themed[t].rect).c_str(), t + 1, full[t].first, full[t].second,
                full[t].ratio());
  }
  std::printf(
      "hover in+out pair %s theme 1: %8.1f us (SetCursorPos pair alone %.1f us; %d MouseIn, %d "
      "MouseOut)\n",
      sizeText(hovered.rect).c_str(), hover.first, hover.second, ins, outs);
  std::printf(
      "full redraw %s soft cuts both sides: with cuts %8.1f us  without %8.1f us  ratio %5.2f\n",
      sizeText(cut.rect).c_str(), cuts.first, cuts.second, cuts.ratio());
  std::printf(
      "soft cut work %dx%d, 4 columns x %d rows: per pixel (GetPixel+SetPixelV) %8.1f us  bulk "
      "(DIB bits) %8.1f us  ratio %5.1f\n",
      kCutW, kCutH, kCutH - 7, cutWork.first, cutWork.second, cutWork.ratio());
  return 0;
}

}  // namespace

int main(int argc, char** argv) {
  return nx::bench::benchMain(argc, argv, "press_bench", "nxpress.ocx", &run);
}
