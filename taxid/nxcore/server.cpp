// nxcore.dll's entry points: the class factory of nxcore.VatEngine, unloading and
// self-registration.
#include <windows.h>

#include <objbase.h>

// GUIDs of the generated header are defined in this file.
#include <initguid.h>

#include "nxcore_h.h"
#include "registration.h"
#include "vat_engine.h"

namespace {

// The one factory; static, so its references only lock the server.
class Factory final : public IClassFactory {
 public:
  HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** out) override {
    if (!out) return E_POINTER;
    if (iid == IID_IUnknown || iid == IID_IClassFactory) {
      *out = static_cast<IClassFactory*>(this);
      AddRef();
      return S_OK;
    }
    *out = nullptr;
    return E_NOINTERFACE;
  }
  ULONG STDMETHODCALLTYPE AddRef() override {
    nx::nxcore::serverLock(true);
    return 2;
  }
  ULONG STDMETHODCALLTYPE Release() override {
    nx::nxcore::serverLock(false);
    return 1;
  }
  HRESULT STDMETHODCALLTYPE CreateInstance(IUnknown* outer, REFIID iid, void** out) override {
    if (!out) return E_POINTER;
    *out = nullptr;
    if (outer) return CLASS_E_NOAGGREGATION;
    return nx::nxcore::createVatEngine(iid, out);
  }
  HRESULT STDMETHODCALLTYPE LockServer(BOOL lock) override {
    nx::nxcore::serverLock(lock != FALSE);
    return S_OK;
  }
};

Factory gFactory;

}  // namespace

extern "C" BOOL WINAPI DllMain(HINSTANCE instance, DWORD reason, LPVOID) {
  if (reason == DLL_PROCESS_ATTACH) {
    DisableThreadLibraryCalls(instance);
    nx::nxcore::setModuleInstance(instance);
  }
  return TRUE;
}

STDAPI DllGetClassObject(REFCLSID clsid, REFIID iid, void** out) {
  if (!out) return E_POINTER;
  *out = nullptr;
  if (clsid != CLSID_VatEngine) return CLASS_E_CLASSNOTAVAILABLE;
  return gFactory.QueryInterface(iid, out);
}

STDAPI DllCanUnloadNow() {
  return nx::nxcore::serverCanUnload() ? S_OK : S_FALSE;
}

STDAPI DllRegisterServer() {
  return nx::nxcore::registerServer();
}

STDAPI DllUnregisterServer() {
  return nx::nxcore::unregisterServer();
}
