#include "platform/win32/com/class_types.h"

#include <map>
#include <string>

#include "platform/win32/com/module.h"

namespace nx::win32 {

namespace {

thread_local std::map<const ControlClass*, ClassTypes> tClassTypes;

std::wstring modulePath() {
  wchar_t path[MAX_PATH * 2] = {};
  GetModuleFileNameW(Module::instance(), path, MAX_PATH * 2);
  return path;
}

HRESULT load(const ControlClass& cls, ClassTypes& t) {
  ComPtr<ITypeLib> lib;
  HRESULT hr = LoadTypeLibEx(modulePath().c_str(), REGKIND_NONE, lib.put());
  if (FAILED(hr)) return hr;
  ComPtr<ITypeInfo> dispatchInfo, interfaceInfo, coclass, events;
  if (FAILED(hr = lib->GetTypeInfoOfGuid(*cls.iid, dispatchInfo.put()))) return hr;
  HREFTYPE ref = 0;
  if (FAILED(hr = dispatchInfo->GetRefTypeOfImplType(static_cast<UINT>(-1), &ref))) return hr;
  if (FAILED(hr = dispatchInfo->GetRefTypeInfo(ref, interfaceInfo.put()))) return hr;
  if (FAILED(hr = lib->GetTypeInfoOfGuid(*cls.clsid, coclass.put()))) return hr;
  if (FAILED(hr = lib->GetTypeInfoOfGuid(*cls.eventIid, events.put()))) return hr;
  DualInterface dual;
  if (FAILED(hr = DualInterface::build(interfaceInfo.get(), dual))) return hr;
  dual.setDispatchInfo(dispatchInfo);
  t.lib = std::move(lib);
  t.coclass = std::move(coclass);
  t.events = std::move(events);
  t.dual = std::move(dual);
  return S_OK;
}

}  // namespace

HRESULT ClassTypesLease::acquire(const ControlClass& cls) {
  if (types_) return S_OK;
  ClassTypes& t = tClassTypes[&cls];
  if (t.users == 0) {
    const HRESULT hr = load(cls, t);
    if (FAILED(hr)) return hr;
  }
  ++t.users;
  cls_ = &cls;
  types_ = &t;
  return S_OK;
}

ClassTypesLease::~ClassTypesLease() {
  if (!types_) return;
  auto it = tClassTypes.find(cls_);
  if (it != tClassTypes.end() && --it->second.users == 0) tClassTypes.erase(it);
}

}  // namespace nx::win32
