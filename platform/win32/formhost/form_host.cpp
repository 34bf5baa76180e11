#include "platform/win32/formhost/form_host.h"

#include <cwctype>

namespace nx::formhost {

namespace {

template <class T>
HRESULT answer(T* self, REFIID iid, void** out, std::initializer_list<IID> iids) {
  if (!out) return E_POINTER;
  for (const IID& i : iids) {
    if (iid == i) {
      *out = self;
      self->AddRef();
      return S_OK;
    }
  }
  *out = nullptr;
  return E_NOINTERFACE;
}

LRESULT CALLBACK formProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
  return DefWindowProcW(hwnd, message, wParam, lParam);
}

}  // namespace

// ---- NamedDispatch ----

void NamedDispatch::set(const std::wstring& name, DISPID id, const VARIANT& value) {
  remove(name);
  Entry e{id, {}};
  VariantInit(&e.value);
  VariantCopy(&e.value, const_cast<VARIANT*>(&value));
  values_[name] = e;
}

void NamedDispatch::remove(const std::wstring& name) {
  auto it = values_.find(name);
  if (it == values_.end()) return;
  VariantClear(&it->second.value);
  values_.erase(it);
}

HRESULT NamedDispatch::QueryInterface(REFIID iid, void** out) {
  return answer(this, iid, out, {IID_IUnknown, IID_IDispatch});
}

ULONG NamedDispatch::Release() {
  const ULONG n = --refs_;
  if (n == 0) {
    for (auto& [name, e] : values_) VariantClear(&e.value);
    delete this;
  }
  return n;
}

HRESULT NamedDispatch::GetIDsOfNames(REFIID, LPOLESTR* names, UINT count, LCID, DISPID* ids) {
  HRESULT hr = S_OK;
  for (UINT i = 0; i < count; ++i) {
    ids[i] = DISPID_UNKNOWN;
    for (const auto& [name, e] : values_)
      if (_wcsicmp(name.c_str(), names[i]) == 0) ids[i] = e.id;
    if (ids[i] == DISPID_UNKNOWN) hr = DISP_E_UNKNOWNNAME;
  }
  return hr;
}

HRESULT NamedDispatch::Invoke(DISPID id, REFIID, LCID, WORD flags, DISPPARAMS*, VARIANT* result,
                              EXCEPINFO*, UINT*) {
  if (!(flags & DISPATCH_PROPERTYGET)) return DISP_E_MEMBERNOTFOUND;
  for (const auto& [name, e] : values_) {
    if (e.id != id) continue;
    if (!result) return S_OK;
    VariantInit(result);
    return VariantCopy(result, const_cast<VARIANT*>(&e.value));
  }
  return DISP_E_MEMBERNOTFOUND;
}

// ---- EventSink ----

EventSink::~EventSink() {
  clear();
}

void EventSink::clear() {
  for (Event& e : events)
    for (VARIANT& v : e.args) VariantClear(&v);
  events.clear();
}

int EventSink::count(DISPID id) const {
  int n = 0;
  for (const Event& e : events) n += e.id == id;
  return n;
}

HRESULT EventSink::QueryInterface(REFIID iid, void** out) {
  return answer(this, iid, out, {IID_IUnknown, IID_IDispatch});
}

ULONG EventSink::Release() {
  const ULONG n = --refs_;
  if (n == 0) delete this;
  return n;
}

HRESULT EventSink::Invoke(DISPID id, REFIID, LCID, WORD, DISPPARAMS* params, VARIANT*, EXCEPINFO*,
                          UINT*) {
  if (onEvent) onEvent(id, params);
  Event e{id, {}};
  for (UINT i = params ? params->cArgs : 0; i > 0; --i) {
    VARIANT copy;
    VariantInit(&copy);
    VariantCopyInd(&copy, &params->rgvarg[i - 1]);
    e.args.push_back(copy);
  }
  events.push_back(std::move(e));
  return S_OK;
}

// ---- NotifySink ----

HRESULT NotifySink::QueryInterface(REFIID iid, void** out) {
  return answer(this, iid, out, {IID_IUnknown, IID_IPropertyNotifySink});
}

ULONG NotifySink::Release() {
  const ULONG n = --refs_;
  if (n == 0) delete this;
  return n;
}

// ---- MemoryBag ----

MemoryBag::~MemoryBag() {
  for (auto& [k, v] : values_) VariantClear(&v);
}

std::wstring MemoryBag::fold(const std::wstring& s) {
  std::wstring out = s;
  for (wchar_t& c : out) c = static_cast<wchar_t>(std::towlower(c));
  return out;
}

HRESULT MemoryBag::QueryInterface(REFIID iid, void** out) {
  return answer(this, iid, out, {IID_IUnknown, IID_IPropertyBag});
}

ULONG MemoryBag::Release() {
  const ULONG n = --refs_;
  if (n == 0) delete this;
  return n;
}

HRESULT MemoryBag::Read(LPCOLESTR name, VARIANT* value, IErrorLog*) {
  auto it = values_.find(fold(name));
  if (it == values_.end()) return E_INVALIDARG;
  const VARTYPE wanted = V_VT(value);
  VariantInit(value);
  HRESULT hr = VariantCopy(value, &it->second);
  if (SUCCEEDED(hr) && wanted != VT_EMPTY && wanted != V_VT(value))
    hr = VariantChangeType(value, value, 0, wanted);
  return hr;
}

HRESULT MemoryBag::Write(LPCOLESTR name, VARIANT* value) {
  VARIANT& slot = values_[fold(name)];
  VariantClear(&slot);
  VariantInit(&slot);
  return VariantCopy(&slot, value);
}

bool MemoryBag::has(const std::wstring& key) const {
  return values_.count(fold(key)) != 0;
}

const VARIANT* MemoryBag::find(const std::wstring& key) const {
  auto it = values_.find(fold(key));
  return it == values_.end() ? nullptr : &it->second;
}

// ---- FormFrame ----

HRESULT FormFrame::QueryInterface(REFIID iid, void** out) {
  return answer(this, iid, out,
                {IID_IUnknown, IID_IOleWindow, IID_IOleInPlaceUIWindow, IID_IOleInPlaceFrame});
}

// ---- FormSite ----

FormSite::FormSite(HWND form) : ambient_(new NamedDispatch), extender_(new NamedDispatch) {
  if (form) {
    form_ = form;
    ownsForm_ = false;
    frame_ = std::make_unique<FormFrame>(form_);
    return;
  }
  static ATOM atom = [] {
    WNDCLASSW wc = {};
    wc.lpfnWndProc = formProc;
    wc.hInstance = GetModuleHandleW(nullptr);
    wc.lpszClassName = L"nxForm";
    wc.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);
    return RegisterClassW(&wc);
  }();
  (void)atom;
  form_ = CreateWindowExW(0, L"nxForm", L"nx form", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 0, 0, 400,
                          300, nullptr, nullptr, GetModuleHandleW(nullptr), nullptr);
  frame_ = std::make_unique<FormFrame>(form_);
}

FormSite::~FormSite() {
  ambient_->Release();
  extender_->Release();
  if (form_ && ownsForm_) DestroyWindow(form_);
}

HRESULT FormSite::QueryInterface(REFIID iid, void** out) {
  if (!out) return E_POINTER;
  *out = nullptr;
  if (iid == IID_IUnknown || iid == IID_IOleClientSite)
    *out = static_cast<IOleClientSite*>(this);
  else if (iid == IID_IOleWindow || iid == IID_IOleInPlaceSite)
    *out = static_cast<IOleInPlaceSite*>(this);
  else if (iid == IID_IOleControlSite)
    *out = static_cast<IOleControlSite*>(this);
  else if (iid == IID_IDispatch && withAmbient)
    *out = static_cast<IDispatch*>(this);
  if (!*out) return E_NOINTERFACE;
  AddRef();
  return S_OK;
}

ULONG FormSite::Release() {
  return --refs_;
}  // lives on the test's stack

HRESULT FormSite::GetWindowContext(IOleInPlaceFrame** frame, IOleInPlaceUIWindow** doc, LPRECT pos,
                                   LPRECT clip, LPOLEINPLACEFRAMEINFO info) {
  if (frame) {
    *frame = frame_.get();
    frame_->AddRef();
  }
  if (doc) *doc = nullptr;
  if (pos) *pos = position;
  if (clip) *clip = position;
  if (info) {
    info->fMDIApp = FALSE;
    info->hwndFrame = form_;
    info->haccel = nullptr;
    info->cAccelEntries = 0;
  }
  return S_OK;
}

HRESULT FormSite::OnPosRectChange(LPCRECT pos) {
  position = *pos;
  return S_OK;
}

HRESULT FormSite::GetExtendedControl(IDispatch** out) {
  if (!out) return E_POINTER;
  *out = nullptr;
  if (!withExtender) return E_NOTIMPL;
  *out = extender_;
  extender_->AddRef();
  return S_OK;
}

void pumpMessages() {
  MSG msg;
  while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
    TranslateMessage(&msg);
    DispatchMessageW(&msg);
  }
}

}  // namespace nx::formhost
