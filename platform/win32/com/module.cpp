#include "platform/win32/com/module.h"

#include <optional>
#include <string>

#include "platform/win32/com/registration.h"

namespace nx::win32 {

namespace {

// One factory object per class; static, so it never counts as a live object.
class ClassFactory final : public IClassFactory {
 public:
  explicit ClassFactory(CreateFunction create) : create_(create) {}

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
  // The factory lives as long as the module; references only keep the server locked.
  ULONG STDMETHODCALLTYPE AddRef() override {
    Module::lock(true);
    return 2;
  }
  ULONG STDMETHODCALLTYPE Release() override {
    Module::lock(false);
    return 1;
  }
  HRESULT STDMETHODCALLTYPE CreateInstance(IUnknown* outer, REFIID iid, void** out) override {
    if (!out) return E_POINTER;
    *out = nullptr;
    if (outer) return CLASS_E_NOAGGREGATION;
    return create_(iid, out);
  }
  HRESULT STDMETHODCALLTYPE LockServer(BOOL lock) override {
    Module::lock(lock != FALSE);
    return S_OK;
  }

 private:
  CreateFunction create_;
};

std::wstring modulePath() {
  std::wstring path(MAX_PATH, L'\0');
  for (;;) {
    const DWORD n =
        GetModuleFileNameW(Module::instance(), path.data(), static_cast<DWORD>(path.size()));
    if (n < path.size()) {
      path.resize(n);
      return path;
    }
    path.resize(path.size() * 2);
  }
}

}  // namespace

HRESULT moduleGetClassObject(REFCLSID clsid, REFIID iid, void** out) {
  if (!out) return E_POINTER;
  *out = nullptr;
  // Enough factories for the largest library; each slot belongs to one class entry.
  static std::optional<ClassFactory> factories[16];
  const auto& classes = Module::library().classes;
  for (std::size_t i = 0; i < classes.size() && i < 16; ++i) {
    if (*classes[i].clsid != clsid) continue;
    if (!factories[i]) factories[i].emplace(classes[i].create);
    return factories[i]->QueryInterface(iid, out);
  }
  return CLASS_E_CLASSNOTAVAILABLE;
}

HRESULT moduleCanUnloadNow() {
  return Module::canUnload() ? S_OK : S_FALSE;
}

HRESULT moduleRegister() {
  return registerLibrary(Module::library(), modulePath());
}

HRESULT moduleUnregister() {
  return unregisterLibrary(Module::library(), modulePath());
}

}  // namespace nx::win32
