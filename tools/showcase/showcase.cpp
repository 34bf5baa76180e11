// nxshowcase: places the controls of nxwidgets on a form, as a host application does (ten
// progress bars in every theme, a gradient frame with check boxes, a link and a meter), and keeps
// the form open for a while (or until closed) so that it can be looked at or captured.
//   nxshowcase <nxwidgets.ocx> [seconds]
#include <windows.h>
// GUIDs of the generated header are defined in this file.
#include <initguid.h>

#include <ocidl.h>

#include <cstdio>
#include <cstdlib>
#include <string>

#include "nxwidgets_h.h"
#include "platform/win32/formhost/form_host.h"

using nx::formhost::Form;
using nx::formhost::FormControl;
using nx::formhost::Placement;

int main(int argc, char** argv) {
  if (argc < 2) {
    std::fprintf(stderr, "usage: nxshowcase <nxwidgets.ocx> [seconds]\n");
    return 2;
  }
  const int seconds = argc > 2 ? std::atoi(argv[2]) : 5;
  OleInitialize(nullptr);
  int status = 0;
  {
    nx::formhost::Library library(argv[1]);
    if (!library.loaded()) {
      std::fprintf(stderr, "nxshowcase: cannot load %s\n", argv[1]);
      OleUninitialize();
      return 1;
    }
    Form form(L"nx widgets", 720, 300);
    // Places one control; null (and status 1) when the library refuses.
    const auto place = [&](REFCLSID clsid, const wchar_t* name, RECT where) -> FormControl* {
      Placement p;
      p.name = name;
      p.position = where;
      FormControl* site = nullptr;
      const HRESULT hr = form.add(library, clsid, p, &site);
      if (FAILED(hr)) {
        std::fprintf(stderr, "nxshowcase: cannot place %ls (0x%08lx)\n", name,
                     static_cast<unsigned long>(hr));
        status = 1;
        return nullptr;
      }
      return site;
    };
    const long values[] = {25, 40, 55, 70, 85};
    for (int theme = 1; theme <= 5 && status == 0; ++theme) {
      for (int vertical = 0; vertical <= 1 && status == 0; ++vertical) {
        const RECT where = vertical ? RECT{250 + 40 * (theme - 1), 10, 270 + 40 * (theme - 1), 210}
                                    : RECT{10, 10 + 40 * (theme - 1), 210, 30 + 40 * (theme - 1)};
        const std::wstring name = L"Progress" + std::to_wstring(form.count() + 1);
        FormControl* site = place(CLSID_NxProgressBar, name.c_str(), where);
        if (!site) break;
        nx::formhost::Dispatch bar = site->dispatch();
        bar.put(L"Theme", theme);
        if (vertical) {
          // Turning the bar swaps its width and height: the form puts it back in its place.
          bar.put(L"Orientation", 1);  // orVertical
          site->move(where);
        }
        bar.put(L"Value", values[theme - 1]);
      }
    }
    // The other classes of the library, beside the bars.
    if (status == 0) {
      FormControl* frame = place(CLSID_NxGradFrame, L"Frame1", RECT{460, 10, 710, 290});
      if (frame) frame->dispatch().put(L"Caption", nx::formhost::textVariant(L"Order options"));
      const wchar_t* boxes[] = {L"Express delivery", L"Gift wrapping", L"Invoice by e-mail"};
      const long states[] = {1, 0, -1};  // ticked, empty, crossed
      for (int i = 0; i < 3 && status == 0; ++i) {
        const std::wstring name = L"Check" + std::to_wstring(i + 1);
        FormControl* box =
            place(CLSID_NxCheckBox, name.c_str(), RECT{475, 50 + 30 * i, 660, 72 + 30 * i});
        if (!box) break;
        box->dispatch().put(L"Caption", nx::formhost::textVariant(boxes[i]));
        if (i == 2) box->dispatch().put(L"Style", 2);  // three states
        box->dispatch().put(L"Value", states[i]);
      }
      if (FormControl* link = place(CLSID_NxHyperLink, L"Link1", RECT{475, 150, 690, 172})) {
        link->dispatch().put(L"Caption", nx::formhost::textVariant(L"Terms of delivery"));
        link->dispatch().put(L"URL", nx::formhost::textVariant(L"https://example.org/terms"));
      }
      if (FormControl* meter = place(CLSID_NxMeter, L"Meter1", RECT{475, 185, 690, 205})) {
        meter->dispatch().put(L"Orientation", 0);  // horizontal
        meter->move(RECT{475, 185, 690, 205});
        meter->dispatch().put(L"Value", 80);
      }
      // The frame goes behind the controls placed on it, as a designer sends a frame back.
      if (frame) SetWindowPos(frame->hwnd(), HWND_BOTTOM, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE);
    }
    if (status == 0) {
      std::printf("nxshowcase: %zu controls placed on a form\n", form.count());
      std::fflush(stdout);
      const DWORD end = GetTickCount() + static_cast<DWORD>(seconds) * 1000;
      while (GetTickCount() < end && form.open()) {
        form.pumpMessages();
        Sleep(20);
      }
    }
  }
  OleUninitialize();
  return status;
}
