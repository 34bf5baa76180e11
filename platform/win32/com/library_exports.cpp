// The entry points every control library exports: DllMain records the module and the library's
// class table (which the library itself defines as nxLibrary()), the four self-registration
// entry points answer from them. Compiled into each library.
#include <windows.h>

#include "platform/win32/com/module.h"

extern "C" BOOL WINAPI DllMain(HINSTANCE instance, DWORD reason, LPVOID) {
  if (reason == DLL_PROCESS_ATTACH) {
    DisableThreadLibraryCalls(instance);
    nx::win32::Module::setInstance(instance);
    nx::win32::Module::setLibrary(&nx::win32::nxLibrary());
  }
  return TRUE;
}

STDAPI DllGetClassObject(REFCLSID clsid, REFIID iid, void** out) {
  return nx::win32::moduleGetClassObject(clsid, iid, out);
}
STDAPI DllCanUnloadNow() {
  return nx::win32::moduleCanUnloadNow();
}
STDAPI DllRegisterServer() {
  return nx::win32::moduleRegister();
}
STDAPI DllUnregisterServer() {
  return nx::win32::moduleUnregister();
}
