// nxshowcase: places controls of a control library on a form, as a host application does, and
// keeps the form open for a while (or until closed) so that it can be looked at or captured.
//   nxshowcase <nxwidgets.ocx> [seconds]
#include <windows.h>
// GUIDs of the generated header are defined in this file.
#include <initguid.h>

#include <ocidl.h>

#include <cstdio>
#include <cstdlib>
#include <memory>
#include <vector>

#include "nxwidgets_h.h"
#include "platform/win32/formhost/form_host.h"

using nx::formhost::ComPtr;
using nx::formhost::FormSite;

namespace {

using GetClassObjectFn = HRESULT(STDAPICALLTYPE*)(REFCLSID, REFIID, void**);

struct Placed {
  std::unique_ptr<FormSite> site;
  ComPtr<IOleObject> object;
};

}  // namespace

int main(int argc, char** argv) {
  if (argc < 2) {
    std::fprintf(stderr, "usage: nxshowcase <nxwidgets.ocx> [seconds]\n");
    return 2;
  }
  const int seconds = argc > 2 ? std::atoi(argv[2]) : 5;
  OleInitialize(nullptr);
  HMODULE library = LoadLibraryA(argv[1]);
  auto getClassObject = library ? reinterpret_cast<GetClassObjectFn>(reinterpret_cast<void*>(
                                      GetProcAddress(library, "DllGetClassObject")))
                                : nullptr;
  if (!getClassObject) {
    std::fprintf(stderr, "nxshowcase: cannot load %s\n", argv[1]);
    return 1;
  }
  ComPtr<IClassFactory> factory;
  if (FAILED(getClassObject(CLSID_NxProgressBar, IID_IClassFactory, factory.putVoid()))) return 1;

  FormSite owner;  // its form carries every control
  HWND form = owner.form();
  SetWindowTextW(form, L"nx widgets");
  SetWindowPos(form, nullptr, 0, 0, 480, 300, SWP_NOZORDER);
  std::vector<Placed> placed;
  const long values[] = {25, 40, 55, 70, 85};
  for (int theme = 1; theme <= 5; ++theme) {
    for (int vertical = 0; vertical <= 1; ++vertical) {
      Placed p;
      p.site = std::make_unique<FormSite>(form);
      p.site->position = vertical ? RECT{250 + 40 * (theme - 1), 10, 270 + 40 * (theme - 1), 210}
                                  : RECT{10, 10 + 40 * (theme - 1), 210, 30 + 40 * (theme - 1)};
      factory->CreateInstance(nullptr, IID_IOleObject, p.object.putVoid());
      if (!p.object) return 1;
      p.object->SetClientSite(p.site.get());
      ComPtr<IPersistStreamInit> persist;
      p.object->QueryInterface(IID_IPersistStreamInit, persist.putVoid());
      persist->InitNew();
      ComPtr<_NxProgressBar> bar;
      p.object->QueryInterface(IID__NxProgressBar, bar.putVoid());
      bar->put_Theme(static_cast<PB_THEME>(theme));
      if (vertical) bar->put_Orientation(orVertical);
      bar->put_Value(values[theme - 1]);
      p.object->DoVerb(OLEIVERB_INPLACEACTIVATE, nullptr, p.site.get(), 0, form, &p.site->position);
      placed.push_back(std::move(p));
    }
  }
  std::printf("nxshowcase: %zu progress bars placed on a form\n", placed.size());
  std::fflush(stdout);
  const DWORD end = GetTickCount() + static_cast<DWORD>(seconds) * 1000;
  while (GetTickCount() < end && IsWindow(form)) {
    nx::formhost::pumpMessages();
    Sleep(20);
  }
  for (Placed& p : placed) {
    p.object->Close(OLECLOSE_NOSAVE);
    p.object->SetClientSite(nullptr);
  }
  placed.clear();
  factory.reset();
  OleUninitialize();
  return 0;
}
