// Figures of the real control under Wine or Windows: a full redraw of a 200x20 px bar on the
// real surface, a property put that redraws, and creation + InitNew + in-place activation.
//   nxwidgets_bench <nxwidgets.ocx>
#include <windows.h>
// GUIDs of the generated header are defined in this file.
#include <initguid.h>

#include <ocidl.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <functional>
#include <vector>

#include "nxwidgets_h.h"
#include "platform/win32/formhost/form_host.h"

using nx::formhost::ComPtr;
using nx::formhost::FormSite;

namespace {

using GetClassObjectFn = HRESULT(STDAPICALLTYPE*)(REFCLSID, REFIID, void**);

// Median time per call in microseconds over `rounds` rounds of `perRound` calls.
double median(int rounds, int perRound, const std::function<void()>& call) {
  std::vector<double> times;
  for (int r = 0; r < rounds; ++r) {
    const auto start = std::chrono::steady_clock::now();
    for (int i = 0; i < perRound; ++i) call();
    const std::chrono::duration<double, std::micro> took = std::chrono::steady_clock::now() - start;
    times.push_back(took.count() / perRound);
  }
  std::sort(times.begin(), times.end());
  return times[times.size() / 2];
}

}  // namespace

int main(int argc, char** argv) {
  if (argc < 2) {
    std::fprintf(stderr, "usage: nxwidgets_bench <nxwidgets.ocx>\n");
    return 2;
  }
  OleInitialize(nullptr);
  HMODULE library = LoadLibraryA(argv[1]);
  auto getClassObject = library ? reinterpret_cast<GetClassObjectFn>(reinterpret_cast<void*>(
                                      GetProcAddress(library, "DllGetClassObject")))
                                : nullptr;
  ComPtr<IClassFactory> factory;
  if (!getClassObject ||
      FAILED(getClassObject(CLSID_NxProgressBar, IID_IClassFactory, factory.putVoid()))) {
    std::fprintf(stderr, "nxwidgets_bench: cannot load %s\n", argv[1]);
    return 1;
  }
  FormSite site;
  site.position = {10, 10, 210, 30};

  auto place = [&](ComPtr<IOleObject>& object) {
    factory->CreateInstance(nullptr, IID_IOleObject, object.putVoid());
    object->SetClientSite(&site);
    ComPtr<IPersistStreamInit> persist;
    object->QueryInterface(IID_IPersistStreamInit, persist.putVoid());
    persist->InitNew();
    object->DoVerb(OLEIVERB_INPLACEACTIVATE, nullptr, &site, 0, site.form(), &site.position);
  };
  auto remove = [&](ComPtr<IOleObject>& object) {
    object->Close(OLECLOSE_NOSAVE);
    object->SetClientSite(nullptr);
    object.reset();
  };

  ComPtr<IOleObject> object;
  place(object);
  ComPtr<_NxProgressBar> bar;
  object->QueryInterface(IID__NxProgressBar, bar.putVoid());
  ComPtr<IOleInPlaceObject> inPlace;
  object->QueryInterface(IID_IOleInPlaceObject, inPlace.putVoid());

  // A full redraw: the host resizes the control (same size), which clears and paints it all.
  const double redraw =
      median(9, 200, [&] { inPlace->SetObjectRects(&site.position, &site.position); });
  long value = 0;
  const double put = median(9, 200, [&] { bar->put_Value(value = (value + 7) % 100); });
  remove(object);
  const double create = median(5, 20, [&] {
    ComPtr<IOleObject> o;
    place(o);
    remove(o);
  });

  std::printf("NxProgressBar 200x20 px, real surface (median per call):\n");
  std::printf("  full redraw (resize):                 %8.1f us\n", redraw);
  std::printf("  Value put with redraw:                %8.1f us\n", put);
  std::printf("  create + InitNew + in-place activate\n");
  std::printf("  (and close):                          %8.1f us\n", create);
  factory.reset();
  OleUninitialize();
  return 0;
}
