// Persistence of the control object: IPersistStreamInit and IPersistPropertyBag over the
// property stores of persistence.h.
#include "platform/win32/com/control_object_impl.h"
#include "platform/win32/com/persistence.h"

namespace nx::win32 {

HRESULT ControlObject::InitNew() {
  if (loaded_) return E_UNEXPECTED;
  return guarded(*cls_.iid, [&] { ensureLoaded(); });
}

HRESULT ControlObject::Load(IStream* stream) {
  if (!stream) return E_POINTER;
  if (loaded_) return E_UNEXPECTED;
  StreamStore store;
  HRESULT hr = E_OUTOFMEMORY;
  try {
    hr = store.load(stream);
  } catch (...) {
  }
  if (FAILED(hr)) return hr;
  loaded_ = true;
  return guarded(*cls_.iid, [&] {
    control_->ReadProperties(store);
    control_->Resize();
  });
}

HRESULT ControlObject::Save(IStream* stream, BOOL clearDirty) {
  if (!stream) return E_POINTER;
  StreamStore store;
  HRESULT hr = guarded(*cls_.iid, [&] {
    ensureLoaded();
    control_->WriteProperties(store);
  });
  if (FAILED(hr)) return hr;
  hr = store.save(stream);
  if (SUCCEEDED(hr) && clearDirty) dirty_ = false;
  return hr;
}

HRESULT ControlObject::GetSizeMax(ULARGE_INTEGER* size) {
  if (!size) return E_POINTER;
  StreamStore store;
  const HRESULT hr = guarded(*cls_.iid, [&] {
    ensureLoaded();
    control_->WriteProperties(store);
  });
  size->QuadPart = store.size();
  return hr;
}

HRESULT ControlObject::Load(IPropertyBag* bag, IErrorLog* log) {
  if (!bag) return E_POINTER;
  if (loaded_) return E_UNEXPECTED;
  loaded_ = true;
  BagStore store(bag, log);
  return guarded(*cls_.iid, [&] {
    control_->ReadProperties(store);
    control_->Resize();
  });
}

HRESULT ControlObject::Save(IPropertyBag* bag, BOOL clearDirty, BOOL) {
  if (!bag) return E_POINTER;
  BagStore store(bag, nullptr);
  const HRESULT hr = guarded(*cls_.iid, [&] {
    ensureLoaded();
    control_->WriteProperties(store);
  });
  if (SUCCEEDED(hr) && clearDirty) dirty_ = false;
  return hr;
}

}  // namespace nx::win32
