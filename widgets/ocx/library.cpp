// nxwidgets.ocx: its classes, and the entry points of a self-registering control library.
#include <windows.h>
// GUIDs of the generated header are defined in this file.
#include <initguid.h>

#include <olectl.h>

#include <array>
#include <memory>

#include "nxwidgets_h.h"
#include "platform/win32/com/control_object.h"
#include "platform/win32/com/module.h"
#include "resource_ids.h"
#include "widgets/progressbar/progress_bar.h"

namespace {

using namespace nx::win32;

constexpr DWORD kMiscStatus = OLEMISC_RECOMPOSEONRESIZE | OLEMISC_CANTLINKINSIDE |
                              OLEMISC_INSIDEOUT | OLEMISC_ACTIVATEWHENVISIBLE |
                              OLEMISC_SETCLIENTSITEFIRST;

const ControlClass kProgressBar = {&CLSID_NxProgressBar,
                                   &IID__NxProgressBar,
                                   &DIID___NxProgressBar,
                                   kMiscStatus,
                                   {200, 20},
                                   [](nx::ControlSite& site) -> std::unique_ptr<nx::ControlBase> {
                                     return std::make_unique<nx::NxProgressBar>(site);
                                   }};

HRESULT createProgressBar(REFIID iid, void** out) {
  return createControlObject(kProgressBar, iid, out);
}

const std::array<ClassEntry, 1> kClasses = {{
    {&CLSID_NxProgressBar, L"NxProgressBar", L"nx progress bar", IDB_PROGRESSBAR_TOOLBOX,
     kMiscStatus, &createProgressBar},
}};

const LibraryEntry kLibrary = {&LIBID_nxwidgets, L"nxwidgets", 1, 0, kClasses};

}  // namespace

extern "C" BOOL WINAPI DllMain(HINSTANCE instance, DWORD reason, LPVOID) {
  if (reason == DLL_PROCESS_ATTACH) {
    DisableThreadLibraryCalls(instance);
    Module::setInstance(instance);
    Module::setLibrary(&kLibrary);
  }
  return TRUE;
}

STDAPI DllGetClassObject(REFCLSID clsid, REFIID iid, void** out) {
  return moduleGetClassObject(clsid, iid, out);
}
STDAPI DllCanUnloadNow() {
  return moduleCanUnloadNow();
}
STDAPI DllRegisterServer() {
  return moduleRegister();
}
STDAPI DllUnregisterServer() {
  return moduleUnregister();
}
