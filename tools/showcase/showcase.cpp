// nxshowcase: places controls of a control library on a form, as a host application does, and
// keeps the form open for a while (or until closed) so that it can be looked at or captured.
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
    Form form(L"nx widgets", 480, 300);
    const long values[] = {25, 40, 55, 70, 85};
    for (int theme = 1; theme <= 5 && status == 0; ++theme) {
      for (int vertical = 0; vertical <= 1; ++vertical) {
        Placement p;
        p.name = L"Progress" + std::to_wstring(form.count() + 1);
        p.position = vertical ? RECT{250 + 40 * (theme - 1), 10, 270 + 40 * (theme - 1), 210}
                              : RECT{10, 10 + 40 * (theme - 1), 210, 30 + 40 * (theme - 1)};
        FormControl* site = nullptr;
        const HRESULT hr = form.add(library, CLSID_NxProgressBar, p, &site);
        if (FAILED(hr)) {
          std::fprintf(stderr, "nxshowcase: cannot place a progress bar (0x%08lx)\n",
                       static_cast<unsigned long>(hr));
          status = 1;
          break;
        }
        nx::formhost::Dispatch bar = site->dispatch();
        bar.put(L"Theme", theme);
        if (vertical) {
          // Turning the bar swaps its width and height: the form puts it back in its place.
          bar.put(L"Orientation", 1);  // orVertical
          site->move(p.position);
        }
        bar.put(L"Value", values[theme - 1]);
      }
    }
    if (status == 0) {
      std::printf("nxshowcase: %zu progress bars placed on a form\n", form.count());
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
