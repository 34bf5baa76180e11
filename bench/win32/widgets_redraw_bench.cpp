// Redraw cost of every nxwidgets class on the real surface, side by side with the platform's own
// control of the same kind and size, both on one visible form:
//   NxCheckBox    160x24  "Express delivery"  vs BUTTON BS_AUTOCHECKBOX, same text
//   NxHyperLink   160x20  "www.example.com"   vs SysLink "<a>www.example.com</a>"
//   NxMeter       200x20  horizontal, 60      vs msctls_progress32, 0..100, position 60
//   NxGradFrame   250x150 "Order options", top-to-bottom gradient  vs BUTTON BS_GROUPBOX
//   NxProgressBar 200x20  60                  vs msctls_progress32, 0..100, position 60
// A class that snaps its size (the meter fits whole segments: 195 px) is measured at the size it
// settled at, and its platform counterpart gets that size too.
//   widgets_redraw_bench <nxwidgets.ocx>
//
// The measure. The two kinds of control keep their pictures differently: a platform control
// draws everything from its state inside WM_PAINT, while ours draws into a retained image when
// its state or size changes and WM_PAINT only copies that image to the window (our windows leave
// WM_PRINTCLIENT to DefWindowProc, so printing into a memory DC is no common ground either). A
// bare RedrawWindow therefore times a full drawing for the platform control but a single BitBlt
// for ours. So the headline figure ("full redraw") gives both the same two steps, which together
// take each of them from its state to the finished pixels on the screen:
//   1. the host sets the control's rectangle again, unchanged: IOleInPlaceObject::SetObjectRects
//      for ours (the control lays itself out and draws its image), SetWindowPos with the same
//      rectangle for the platform window (nothing to draw yet);
//   2. RedrawWindow(hwnd, RDW_INVALIDATE | RDW_ERASE | RDW_UPDATENOW): the whole window is
//      invalidated and painted synchronously (ours copies its image, the platform control draws).
// A second table gives step 2 alone ("repaint"), the cost of an uncovered or invalidated window.
// Each figure is the median over rounds of the time per operation of a round of kPerRound
// operations; the rounds of the two controls of a pair alternate, so that drift and load of the
// machine hit both alike. The platform controls get the form's ambient font, which ours draw with.
// Exit status: 0 measured, 1 the library, the form or a control could not be made, 2 usage.
#include <windows.h>
// GUIDs of the generated header are defined in this file.
#include <initguid.h>

#include <commctrl.h>
#include <ocidl.h>
#include <olectl.h>

#include <cstdio>
#include <string>
#include <vector>

#include "alternating_rounds.h"
#include "bench_windows.h"
#include "nxwidgets_h.h"
#include "platform/win32/formhost/form.h"

using nx::bench::alternatingMedians;
using nx::bench::rectAt;
using nx::bench::Timings;
using nx::bench::WindowHandle;
using nx::formhost::ComPtr;
using nx::formhost::Dispatch;
using nx::formhost::Form;
using nx::formhost::FormControl;
using nx::formhost::Library;
using nx::formhost::Placement;
using nx::formhost::Variant;

namespace {

constexpr int kRounds = nx::bench::kDefaultRounds;
constexpr int kPerRound = 15;
// Left edge of the platform's controls in the form's client area; ours stand left of it.
constexpr int kPlatformColumn = 300;

// One property of a control and the value it gets before the measurement.
struct Setting {
  const wchar_t* name;
  const wchar_t* text;  // a string value, or null for `number`
  long number;
};

// A class of ours and its platform counterpart, created at the rectangle ours settled at.
struct Pair {
  const wchar_t* ourClass;
  const CLSID* clsid;
  RECT asked;  // where ours is placed; the platform's goes to the right of it
  std::vector<Setting> settings;
  const char* platformName;
  const wchar_t* platformClass;
  const wchar_t* platformText;
  DWORD platformStyle;
  long platformPos;  // progress bars: the position in 0..100
};

struct Placed {
  HWND ours = nullptr;
  ComPtr<IOleInPlaceObject> inPlace;
  RECT ourRect = {};  // in the form's client area, as the control settled
  WindowHandle platform;
  RECT platformRect = {};
};

RECT rectInParent(HWND hwnd) {
  RECT r;
  GetWindowRect(hwnd, &r);
  MapWindowPoints(nullptr, GetParent(hwnd), reinterpret_cast<POINT*>(&r), 2);
  return r;
}

HRESULT apply(const Dispatch& dispatch, const Setting& setting) {
  if (!setting.text) return dispatch.put(setting.name, setting.number);
  Variant value;
  value.ref() = nx::formhost::textVariant(setting.text);
  return dispatch.put(setting.name, value.ref());
}

std::string narrow(const wchar_t* text) {
  std::string out;
  for (const wchar_t* p = text; *p; ++p) out.push_back(static_cast<char>(*p));
  return out;
}

// Places our control, sets its properties and creates the platform's counterpart at the
// size ours settled at; false (after saying why) when either cannot be created.
bool place(Form& form, const Library& library, HFONT font, const Pair& pair, Placed& out) {
  const std::string name = narrow(pair.ourClass);
  Placement placement;
  placement.name = pair.ourClass;
  placement.position = pair.asked;
  FormControl* control = nullptr;
  const HRESULT hr = form.add(library, *pair.clsid, placement, &control);
  out.ours = control ? control->hwnd() : nullptr;
  if (FAILED(hr) || !out.ours) {
    std::fprintf(stderr, "widgets_redraw_bench: cannot create %s (hr 0x%08lx)\n", name.c_str(),
                 static_cast<unsigned long>(hr));
    return false;
  }
  const Dispatch dispatch = control->dispatch();
  for (const Setting& setting : pair.settings) {
    const HRESULT put = apply(dispatch, setting);
    if (FAILED(put)) {
      std::fprintf(stderr, "widgets_redraw_bench: %s.%s cannot be set (hr 0x%08lx)\n", name.c_str(),
                   narrow(setting.name).c_str(), static_cast<unsigned long>(put));
      return false;
    }
  }
  // Some settings change the size (the meter's orientation swaps width and height): place the
  // control where it was asked again.
  control->move(pair.asked);
  control->object()->QueryInterface(IID_IOleInPlaceObject, out.inPlace.putVoid());
  if (!out.inPlace) {
    std::fprintf(stderr, "widgets_redraw_bench: %s is not active in place\n", name.c_str());
    return false;
  }
  // Some classes snap their size (the meter fits whole segments): measure at the settled one.
  out.ourRect = rectInParent(out.ours);
  const int width = out.ourRect.right - out.ourRect.left;
  const int height = out.ourRect.bottom - out.ourRect.top;
  out.platformRect = {kPlatformColumn, out.ourRect.top, kPlatformColumn + width,
                      out.ourRect.top + height};
  out.platform.reset(CreateWindowExW(0, pair.platformClass, pair.platformText,
                                     WS_CHILD | WS_VISIBLE | pair.platformStyle, kPlatformColumn,
                                     out.ourRect.top, width, height, form.hwnd(), nullptr,
                                     GetModuleHandleW(nullptr), nullptr));
  if (!out.platform) {
    std::fprintf(stderr, "widgets_redraw_bench: cannot create the platform's %s (error %lu)\n",
                 pair.platformName, GetLastError());
    return false;
  }
  HWND platform = out.platform.get();
  if (font) SendMessageW(platform, WM_SETFONT, reinterpret_cast<WPARAM>(font), FALSE);
  if (pair.platformPos >= 0) {
    SendMessageW(platform, PBM_SETRANGE32, 0, 100);
    SendMessageW(platform, PBM_SETPOS, static_cast<WPARAM>(pair.platformPos), 0);
  }
  return true;
}

void printRow(const Pair& pair, const Placed& placed, const Timings& t) {
  const std::string size = std::to_string(placed.ourRect.right - placed.ourRect.left) + "x" +
                           std::to_string(placed.ourRect.bottom - placed.ourRect.top);
  std::printf("  %-14s %-8s %9.1f us  %-16s %9.1f us  %6.2f\n", narrow(pair.ourClass).c_str(),
              size.c_str(), t.first, pair.platformName, t.second, t.ratio());
}

int run(const char* path) {
  Library library(path);
  if (!library.loaded()) {
    std::fprintf(stderr, "widgets_redraw_bench: cannot load %s\n", path);
    return 1;
  }
  INITCOMMONCONTROLSEX icc = {sizeof(icc),
                              ICC_LINK_CLASS | ICC_PROGRESS_CLASS | ICC_STANDARD_CLASSES};
  if (!InitCommonControlsEx(&icc)) {
    std::fprintf(stderr, "widgets_redraw_bench: InitCommonControlsEx failed\n");
    return 1;
  }

  Form form(L"redraw bench", 600, 400);
  if (!form.hwnd()) {
    std::fprintf(stderr, "widgets_redraw_bench: cannot create the form\n");
    return 1;
  }
  HFONT font = nullptr;
  if (IFontDisp* ambient = form.font()) {
    ComPtr<IFont> f;
    ambient->QueryInterface(IID_IFont, f.putVoid());
    if (f) f->get_hFont(&font);
  }

  const std::vector<Pair> pairs = {
      {L"NxCheckBox",
       &CLSID_NxCheckBox,
       rectAt(10, 10, 160, 24),
       {{L"Caption", L"Express delivery", 0}},
       "BUTTON checkbox",
       L"BUTTON",
       L"Express delivery",
       BS_AUTOCHECKBOX | WS_TABSTOP,
       -1},
      {L"NxHyperLink",
       &CLSID_NxHyperLink,
       rectAt(10, 44, 160, 20),
       {{L"Caption", L"www.example.com", 0}},
       "SysLink",
       WC_LINK,
       L"<a>www.example.com</a>",
       WS_TABSTOP,
       -1},
      {L"NxMeter",
       &CLSID_NxMeter,
       rectAt(10, 74, 200, 20),
       {{L"Orientation", nullptr, 0},
        {L"Min", nullptr, 0},
        {L"Max", nullptr, 100},
        {L"Value", nullptr, 60}},
       "progress bar",
       PROGRESS_CLASSW,
       L"",
       0,
       60},
      {L"NxGradFrame",
       &CLSID_NxGradFrame,
       rectAt(10, 134, 250, 150),
       {{L"Caption", L"Order options", 0}, {L"Orientation", nullptr, 1}},
       "BUTTON groupbox",
       L"BUTTON",
       L"Order options",
       BS_GROUPBOX,
       -1},
      {L"NxProgressBar",
       &CLSID_NxProgressBar,
       rectAt(10, 104, 200, 20),
       {{L"Orientation", nullptr, 0},
        {L"Min", nullptr, 0},
        {L"Max", nullptr, 100},
        {L"Value", nullptr, 60}},
       "progress bar",
       PROGRESS_CLASSW,
       L"",
       0,
       60},
  };
  std::vector<Placed> placed(pairs.size());
  for (std::size_t i = 0; i < pairs.size(); ++i) {
    if (!place(form, library, font, pairs[i], placed[i])) return 1;
  }
  form.pumpMessages();
  // A hidden window paints nothing and would time nothing.
  for (std::size_t i = 0; i < pairs.size(); ++i) {
    if (!IsWindowVisible(placed[i].ours) || !IsWindowVisible(placed[i].platform.get())) {
      std::fprintf(stderr, "widgets_redraw_bench: %s or its counterpart is not visible\n",
                   narrow(pairs[i].ourClass).c_str());
      return 1;
    }
  }

  RECT clip;
  GetClientRect(form.hwnd(), &clip);
  constexpr UINT kRepaint = RDW_INVALIDATE | RDW_ERASE | RDW_UPDATENOW;
  std::vector<Timings> full;
  std::vector<Timings> repaint;
  for (const Placed& p : placed) {
    HWND platform = p.platform.get();
    const RECT& r = p.platformRect;
    full.push_back(alternatingMedians(
        [&] {
          p.inPlace->SetObjectRects(&p.ourRect, &clip);
          RedrawWindow(p.ours, nullptr, nullptr, kRepaint);
        },
        [&] {
          SetWindowPos(platform, nullptr, r.left, r.top, r.right - r.left, r.bottom - r.top,
                       SWP_NOZORDER | SWP_NOACTIVATE);
          RedrawWindow(platform, nullptr, nullptr, kRepaint);
        },
        kPerRound));
    repaint.push_back(
        alternatingMedians([&] { RedrawWindow(p.ours, nullptr, nullptr, kRepaint); },
                           [&] { RedrawWindow(platform, nullptr, nullptr, kRepaint); }, kPerRound));
  }

  std::printf("nxwidgets vs platform controls, %d-bit, median of %d rounds x %d (per operation)\n",
              static_cast<int>(sizeof(void*) * 8), kRounds, kPerRound);
  std::printf("full redraw (same rectangle set again + RedrawWindow UPDATENOW):\n");
  std::printf("  %-14s %-8s %12s  %-16s %12s  %6s\n", "class", "size", "ours", "platform",
              "platform", "ratio");
  for (std::size_t i = 0; i < pairs.size(); ++i) printRow(pairs[i], placed[i], full[i]);
  std::printf("repaint only (RedrawWindow UPDATENOW; ours copies its retained image):\n");
  for (std::size_t i = 0; i < pairs.size(); ++i) printRow(pairs[i], placed[i], repaint[i]);
  return 0;
}

}  // namespace

int main(int argc, char** argv) {
  return nx::bench::benchMain(argc, argv, "widgets_redraw_bench", "nxwidgets.ocx", &run);
}
