#include "platform/win32/formhost/form.h"

#include <algorithm>
#include <cmath>
#include <span>

#include "platform/win32/formhost/form_host.h"

namespace nx::formhost {

namespace {

constexpr wchar_t kFormClass[] = L"nxFormHost";

HRESULT answerBool(VARIANT* result, bool b) {
  if (result) *result = boolVariant(b);
  return S_OK;
}

HRESULT answerLong(VARIANT* result, long v) {
  if (result) *result = longVariant(v);
  return S_OK;
}

HRESULT answerText(VARIANT* result, const std::wstring& text) {
  if (result) *result = textVariant(text.c_str());
  return S_OK;
}

HRESULT answerSingle(VARIANT* result, double v) {
  if (result) {
    VariantInit(result);
    V_VT(result) = VT_R4;
    V_R4(result) = static_cast<float>(v);
  }
  return S_OK;
}

HRESULT answerDispatch(VARIANT* result, IDispatch* d) {
  if (result) {
    VariantInit(result);
    V_VT(result) = VT_DISPATCH;
    V_DISPATCH(result) = d;
    if (d) d->AddRef();
  }
  return S_OK;
}

struct NamedId {
  const wchar_t* name;
  DISPID id;
};

// Looks names up in a table, ignoring case; a name not there is DISPID_UNKNOWN.
HRESULT idsFromTable(std::span<const NamedId> table, LPOLESTR* names, UINT count, DISPID* ids) {
  if (!names || !ids) return E_POINTER;
  HRESULT hr = S_OK;
  for (UINT i = 0; i < count; ++i) {
    ids[i] = DISPID_UNKNOWN;
    if (i == 0 && names[i]) {
      for (const NamedId& n : table)
        if (_wcsicmp(n.name, names[i]) == 0) ids[i] = n.id;
    }
    if (ids[i] == DISPID_UNKNOWN) hr = DISP_E_UNKNOWNNAME;
  }
  return hr;
}

// The single argument of a put, converted to `type`.
HRESULT putArgument(DISPPARAMS* params, VARTYPE type, Variant& out) {
  if (!params || params->cArgs != 1) return DISP_E_BADPARAMCOUNT;
  return VariantChangeType(out.put(), &params->rgvarg[0], 0, type);
}

constexpr NamedId kAmbientNames[] = {
    {L"UserMode", DISPID_AMBIENT_USERMODE},
    {L"Font", DISPID_AMBIENT_FONT},
    {L"DisplayAsDefault", DISPID_AMBIENT_DISPLAYASDEFAULT},
    {L"DisplayName", DISPID_AMBIENT_DISPLAYNAME},
    {L"BackColor", DISPID_AMBIENT_BACKCOLOR},
    {L"ForeColor", DISPID_AMBIENT_FORECOLOR},
    {L"LocaleID", DISPID_AMBIENT_LOCALEID},
    {L"ShowGrabHandles", DISPID_AMBIENT_SHOWGRABHANDLES},
    {L"ShowHatching", DISPID_AMBIENT_SHOWHATCHING},
    {L"MessageReflect", DISPID_AMBIENT_MESSAGEREFLECT},
    {L"UIDead", DISPID_AMBIENT_UIDEAD},
    {L"SupportsMnemonics", DISPID_AMBIENT_SUPPORTSMNEMONICS},
};

// Extender members sit in a range of their own; every other DISPID belongs to the control.
enum : DISPID {
  kExtName = static_cast<DISPID>(0x80010000),
  kExtLeft,
  kExtTop,
  kExtWidth,
  kExtHeight,
  kExtToolTipText,
  kExtParent,
  kExtObject,
  kExtTabStop,
  kExtContainer,
};

constexpr NamedId kExtenderNames[] = {
    {L"Name", kExtName},           {L"Left", kExtLeft},     {L"Top", kExtTop},
    {L"Width", kExtWidth},         {L"Height", kExtHeight}, {L"ToolTipText", kExtToolTipText},
    {L"Parent", kExtParent},       {L"Object", kExtObject}, {L"TabStop", kExtTabStop},
    {L"Container", kExtContainer},
};

enum : DISPID { kFormControls = 1, kFormHwnd, kFormCaption };
constexpr NamedId kFormNames[] = {
    {L"Controls", kFormControls}, {L"hWnd", kFormHwnd}, {L"Caption", kFormCaption}};

enum : DISPID { kCollectionCount = 1 };
constexpr NamedId kCollectionNames[] = {
    {L"Count", kCollectionCount}, {L"Item", DISPID_VALUE}, {L"_NewEnum", DISPID_NEWENUM}};

// IDispatch boilerplate for the host's small automation objects.
class SimpleDispatch : public IDispatch {
 public:
  virtual ~SimpleDispatch() = default;
  HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** out) override {
    if (!out) return E_POINTER;
    if (iid == IID_IUnknown || iid == IID_IDispatch) {
      *out = static_cast<IDispatch*>(this);
      AddRef();
      return S_OK;
    }
    *out = nullptr;
    return E_NOINTERFACE;
  }
  ULONG STDMETHODCALLTYPE AddRef() override { return ++refs_; }
  ULONG STDMETHODCALLTYPE Release() override {
    const ULONG n = --refs_;
    if (n == 0) delete this;
    return n;
  }
  HRESULT STDMETHODCALLTYPE GetTypeInfoCount(UINT* n) override {
    if (!n) return E_POINTER;
    *n = 0;
    return S_OK;
  }
  HRESULT STDMETHODCALLTYPE GetTypeInfo(UINT, LCID, ITypeInfo**) override { return E_NOTIMPL; }

 private:
  ULONG refs_ = 1;
};

// An enumeration over a snapshot of automation objects.
class VariantEnum final : public IEnumVARIANT {
 public:
  explicit VariantEnum(std::vector<ComPtr<IDispatch>> items, std::size_t at = 0)
      : items_(std::move(items)), at_(at) {}
  HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** out) override {
    if (!out) return E_POINTER;
    if (iid == IID_IUnknown || iid == IID_IEnumVARIANT) {
      *out = static_cast<IEnumVARIANT*>(this);
      AddRef();
      return S_OK;
    }
    *out = nullptr;
    return E_NOINTERFACE;
  }
  ULONG STDMETHODCALLTYPE AddRef() override { return ++refs_; }
  ULONG STDMETHODCALLTYPE Release() override {
    const ULONG n = --refs_;
    if (n == 0) delete this;
    return n;
  }
  HRESULT STDMETHODCALLTYPE Next(ULONG count, VARIANT* out, ULONG* fetched) override {
    if (!out && count) return E_POINTER;
    ULONG n = 0;
    for (; n < count && at_ < items_.size(); ++n, ++at_) {
      answerDispatch(&out[n], items_[at_].get());
    }
    if (fetched) *fetched = n;
    return n == count ? S_OK : S_FALSE;
  }
  HRESULT STDMETHODCALLTYPE Skip(ULONG count) override {
    const std::size_t left = items_.size() - at_;
    at_ += std::min<std::size_t>(count, left);
    return count <= left ? S_OK : S_FALSE;
  }
  HRESULT STDMETHODCALLTYPE Reset() override {
    at_ = 0;
    return S_OK;
  }
  HRESULT STDMETHODCALLTYPE Clone(IEnumVARIANT** out) override {
    if (!out) return E_POINTER;
    *out = new VariantEnum(items_, at_);
    return S_OK;
  }

 private:
  std::vector<ComPtr<IDispatch>> items_;
  std::size_t at_;
  ULONG refs_ = 1;
};

}  // namespace

// ---- the Parent object and its Controls collection ----

class FormObject final : public SimpleDispatch {
 public:
  explicit FormObject(Form& form) : form_(&form) {}
  void detach() { form_ = nullptr; }
  Form* form() const { return form_; }

  HRESULT STDMETHODCALLTYPE GetIDsOfNames(REFIID, LPOLESTR* names, UINT count, LCID,
                                          DISPID* ids) override {
    return idsFromTable(kFormNames, names, count, ids);
  }
  HRESULT STDMETHODCALLTYPE Invoke(DISPID id, REFIID, LCID, WORD flags, DISPPARAMS* params,
                                   VARIANT* result, EXCEPINFO*, UINT*) override;

  // The extender of every control, in the order they were added.
  std::vector<ComPtr<IDispatch>> items() const {
    std::vector<ComPtr<IDispatch>> out;
    if (!form_) return out;
    for (FormControl* c : form_->controls_) out.emplace_back(c->extender());
    return out;
  }

 private:
  Form* form_;
};

namespace {

class ControlsCollection final : public SimpleDispatch {
 public:
  explicit ControlsCollection(FormObject* owner) : owner_(owner) {}
  HRESULT STDMETHODCALLTYPE GetIDsOfNames(REFIID, LPOLESTR* names, UINT count, LCID,
                                          DISPID* ids) override {
    return idsFromTable(kCollectionNames, names, count, ids);
  }
  HRESULT STDMETHODCALLTYPE Invoke(DISPID id, REFIID, LCID, WORD flags, DISPPARAMS* params,
                                   VARIANT* result, EXCEPINFO*, UINT*) override {
    if (!(flags & (DISPATCH_PROPERTYGET | DISPATCH_METHOD))) return DISP_E_MEMBERNOTFOUND;
    Form* form = owner_->form();
    const UINT argc = params ? params->cArgs : 0;
    switch (id) {
      case kCollectionCount:
        return answerLong(result, form ? static_cast<long>(form->count()) : 0);
      case DISPID_NEWENUM: {
        if (!result) return S_OK;
        VariantInit(result);
        V_VT(result) = VT_UNKNOWN;
        V_UNKNOWN(result) = new VariantEnum(owner_->items());
        return S_OK;
      }
      case DISPID_VALUE: {
        if (argc != 1) return DISP_E_BADPARAMCOUNT;
        if (!form) return DISP_E_BADINDEX;
        VARIANT* key = &params->rgvarg[0];
        while (V_VT(key) == (VT_BYREF | VT_VARIANT)) key = V_VARIANTREF(key);
        Variant text;
        FormControl* found = nullptr;
        if ((V_VT(key) & ~VT_BYREF) == VT_BSTR) {
          if (FAILED(VariantChangeType(text.put(), key, 0, VT_BSTR))) return DISP_E_TYPEMISMATCH;
          const BSTR b = V_BSTR(text.get());
          found = form->find(std::wstring_view(b ? b : L"", SysStringLen(b)));
        } else {
          Variant index;
          if (FAILED(VariantChangeType(index.put(), key, 0, VT_I4))) return DISP_E_TYPEMISMATCH;
          const long i = V_I4(index.get());  // counted from 0
          if (i >= 0) found = form->control(static_cast<std::size_t>(i));
        }
        if (!found) return DISP_E_BADINDEX;
        return answerDispatch(result, found->extender());
      }
      default:
        return DISP_E_MEMBERNOTFOUND;
    }
  }

 private:
  ComPtr<FormObject> owner_{};
};

}  // namespace

HRESULT FormObject::Invoke(DISPID id, REFIID, LCID, WORD flags, DISPPARAMS*, VARIANT* result,
                           EXCEPINFO*, UINT*) {
  if (!(flags & (DISPATCH_PROPERTYGET | DISPATCH_METHOD))) return DISP_E_MEMBERNOTFOUND;
  switch (id) {
    case kFormControls: {
      auto* controls = new ControlsCollection(this);
      const HRESULT hr = answerDispatch(result, controls);
      controls->Release();
      return hr;
    }
    case kFormHwnd:
      return answerLong(result,
                        form_ ? static_cast<long>(reinterpret_cast<INT_PTR>(form_->hwnd())) : 0);
    case kFormCaption: {
      wchar_t text[256] = {};
      if (form_) GetWindowTextW(form_->hwnd(), text, 256);
      return answerText(result, text);
    }
    default:
      return DISP_E_MEMBERNOTFOUND;
  }
}

// ---- the extender ----

// The extender of one site: the host's own members (Name, Left, Top, Width, Height,
// ToolTipText, Parent, Object, TabStop, Container) and, for every other name, the control's
// members.
class SiteExtender final : public SimpleDispatch {
 public:
  explicit SiteExtender(FormControl& site) : site_(&site) {}
  void detach() { site_ = nullptr; }

  HRESULT STDMETHODCALLTYPE GetIDsOfNames(REFIID iid, LPOLESTR* names, UINT count, LCID lcid,
                                          DISPID* ids) override {
    if (!names || !ids) return E_POINTER;
    if (count == 1 && SUCCEEDED(idsFromTable(kExtenderNames, names, 1, ids))) return S_OK;
    if (Dispatch control = controlDispatch())
      return control.raw()->GetIDsOfNames(iid, names, count, lcid, ids);
    return idsFromTable(kExtenderNames, names, count, ids);
  }

  HRESULT STDMETHODCALLTYPE Invoke(DISPID id, REFIID iid, LCID lcid, WORD flags, DISPPARAMS* params,
                                   VARIANT* result, EXCEPINFO* excep, UINT* arg) override {
    const bool isOwn = id >= kExtName && id <= kExtContainer;
    if (!isOwn) {
      Dispatch control = controlDispatch();
      if (!control) return DISP_E_MEMBERNOTFOUND;
      return control.raw()->Invoke(id, iid, lcid, flags, params, result, excep, arg);
    }
    if (!site_) return E_UNEXPECTED;
    if (flags & DISPATCH_PROPERTYPUT) return put(id, params);
    if (!(flags & (DISPATCH_PROPERTYGET | DISPATCH_METHOD))) return DISP_E_MEMBERNOTFOUND;
    const RECT r = site_->position();
    switch (id) {
      case kExtName:
        return answerText(result, site_->name_);
      case kExtLeft:
        return answerSingle(result, r.left * twipsPerPixelX());
      case kExtTop:
        return answerSingle(result, r.top * twipsPerPixelY());
      case kExtWidth:
        return answerSingle(result, (r.right - r.left) * twipsPerPixelX());
      case kExtHeight:
        return answerSingle(result, (r.bottom - r.top) * twipsPerPixelY());
      case kExtToolTipText:
        return answerText(result, site_->toolTipText_);
      case kExtParent:
        return answerDispatch(result, site_->form_ ? site_->form_->formObject() : nullptr);
      case kExtObject: {
        Dispatch control = controlDispatch();
        return answerDispatch(result, control.raw());
      }
      case kExtTabStop:
        return answerBool(result, site_->tabStop_);
      case kExtContainer:
        // The holding control's extender, or the form for a control on the form itself.
        if (site_->container_) return answerDispatch(result, site_->container_->extender());
        return answerDispatch(result, site_->form_ ? site_->form_->formObject() : nullptr);
      default:
        return DISP_E_MEMBERNOTFOUND;
    }
  }

 private:
  Dispatch controlDispatch() const { return site_ ? Dispatch(site_->object_.get()) : Dispatch(); }

  HRESULT put(DISPID id, DISPPARAMS* params) {
    Variant value;
    switch (id) {
      case kExtLeft:
      case kExtTop:
      case kExtWidth:
      case kExtHeight: {
        HRESULT hr = putArgument(params, VT_R8, value);
        if (FAILED(hr)) return hr;
        const double twips = V_R8(value.get());
        const bool horizontal = id == kExtLeft || id == kExtWidth;
        const double px = twips / (horizontal ? twipsPerPixelX() : twipsPerPixelY());
        if (!std::isfinite(px) || std::fabs(px) > 32767) return DISP_E_OVERFLOW;
        const LONG n = static_cast<LONG>(std::lround(px));
        RECT r = site_->position();
        if (id == kExtLeft) OffsetRect(&r, n - r.left, 0);
        if (id == kExtTop) OffsetRect(&r, 0, n - r.top);
        if ((id == kExtWidth || id == kExtHeight) && n < 0) return E_INVALIDARG;
        if (id == kExtWidth) r.right = r.left + n;
        if (id == kExtHeight) r.bottom = r.top + n;
        return site_->move(r);
      }
      case kExtToolTipText: {
        HRESULT hr = putArgument(params, VT_BSTR, value);
        if (FAILED(hr)) return hr;
        const BSTR b = V_BSTR(value.get());
        site_->toolTipText_.assign(b ? b : L"", SysStringLen(b));
        return S_OK;
      }
      case kExtTabStop: {
        HRESULT hr = putArgument(params, VT_BOOL, value);
        if (FAILED(hr)) return hr;
        site_->tabStop_ = V_BOOL(value.get()) != VARIANT_FALSE;
        return S_OK;
      }
      default:
        return DISP_E_MEMBERNOTFOUND;  // read-only
    }
  }

  FormControl* site_;
};

// ---- accelerators ----

bool acceleratorMatches(const ACCEL& entry, UINT vk, bool shift, bool control, bool alt) {
  if (vk == 0) return false;
  if (entry.fVirt & FVIRTKEY) {
    return entry.key == vk && ((entry.fVirt & FSHIFT) != 0) == shift &&
           ((entry.fVirt & FCONTROL) != 0) == control && ((entry.fVirt & FALT) != 0) == alt;
  }
  // A character: the key that types it, any shift state, Alt as the entry asks.
  if (control || ((entry.fVirt & FALT) != 0) != alt) return false;
  const SHORT scan = VkKeyScanW(static_cast<WCHAR>(entry.key));
  return scan != -1 && LOBYTE(scan) == vk;
}

// ---- FormControl ----

FormControl::FormControl(Form& form, const Placement& placement)
    : form_(&form),
      name_(placement.name),
      position_(placement.position),
      toolTipText_(placement.toolTipText),
      tabStop_(placement.tabStop),
      container_(placement.container),
      extender_(new SiteExtender(*this)) {}

FormControl::~FormControl() {
  if (extender_) {
    extender_->detach();
    extender_->Release();
  }
}

void FormControl::detach() {
  form_ = nullptr;
  container_ = nullptr;
  object_.reset();
}

HRESULT FormControl::QueryInterface(REFIID iid, void** out) {
  if (!out) return E_POINTER;
  *out = nullptr;
  if (iid == IID_IUnknown || iid == IID_IOleClientSite)
    *out = static_cast<IOleClientSite*>(this);
  else if (iid == IID_IOleWindow || iid == IID_IOleInPlaceSite)
    *out = static_cast<IOleInPlaceSite*>(this);
  else if (iid == IID_IOleControlSite)
    *out = static_cast<IOleControlSite*>(this);
  else if (iid == IID_IDispatch)
    *out = static_cast<IDispatch*>(this);
  if (!*out) return E_NOINTERFACE;
  AddRef();
  return S_OK;
}

ULONG FormControl::Release() {
  const ULONG n = --refs_;
  if (n == 0) delete this;
  return n;
}

IDispatch* FormControl::extender() const {
  return extender_;
}

HWND FormControl::hwnd() const {
  if (!object_) return nullptr;
  ComPtr<IOleInPlaceObject> inPlace;
  object_->QueryInterface(IID_IOleInPlaceObject, inPlace.putVoid());
  HWND out = nullptr;
  if (!inPlace || FAILED(inPlace->GetWindow(&out))) return nullptr;
  return out;
}

HWND FormControl::parentWindow() const {
  if (!form_) return nullptr;
  return container_ ? container_->hwnd() : form_->hwnd();
}

RECT FormControl::position() const {
  // The window knows best where the control is: it may have sized itself.
  HWND window = hwnd();
  HWND parent = parentWindow();
  if (window && parent && GetParent(window) == parent) {
    RECT r;
    GetWindowRect(window, &r);
    MapWindowPoints(nullptr, parent, reinterpret_cast<POINT*>(&r), 2);
    return r;
  }
  return position_;
}

HRESULT FormControl::move(const RECT& position) {
  position_ = position;
  if (!object_) return S_OK;
  ComPtr<IOleInPlaceObject> inPlace;
  object_->QueryInterface(IID_IOleInPlaceObject, inPlace.putVoid());
  if (!inPlace) return S_OK;  // not active: the position applies at activation
  RECT clip = position;
  if (HWND parent = parentWindow()) GetClientRect(parent, &clip);
  movingObject_ = true;
  const HRESULT hr = inPlace->SetObjectRects(&position_, &clip);
  movingObject_ = false;
  return hr;
}

void FormControl::refreshControlInfo() {
  accelerators_.clear();
  controlInfoFlags_ = 0;
  if (!object_) return;
  ComPtr<IOleControl> control;
  object_->QueryInterface(IID_IOleControl, control.putVoid());
  if (!control) return;
  CONTROLINFO info = {};
  info.cb = sizeof(info);
  if (FAILED(control->GetControlInfo(&info))) return;
  controlInfoFlags_ = info.dwFlags;
  if (!info.hAccel || info.cAccel == 0) return;
  // The table stays the control's: keep a copy of its entries.
  const int n = CopyAcceleratorTableW(info.hAccel, nullptr, 0);
  if (n <= 0) return;
  accelerators_.resize(static_cast<std::size_t>(n));
  const int copied = CopyAcceleratorTableW(info.hAccel, accelerators_.data(), n);
  accelerators_.resize(static_cast<std::size_t>(std::max(copied, 0)));
}

HRESULT FormControl::GetWindow(HWND* out) {
  if (!out) return E_POINTER;
  *out = parentWindow();
  return *out ? S_OK : E_FAIL;
}

HRESULT FormControl::OnUIActivate() {
  if (!form_) return E_UNEXPECTED;
  // One object is UI active at a time: the one before gives way.
  FormControl* before = form_->uiActive_;
  form_->uiActive_ = this;
  if (before && before != this && before->object_) {
    ComPtr<IOleInPlaceObject> inPlace;
    before->object_->QueryInterface(IID_IOleInPlaceObject, inPlace.putVoid());
    if (inPlace) inPlace->UIDeactivate();
  }
  return S_OK;
}

HRESULT FormControl::OnUIDeactivate(BOOL) {
  if (form_ && form_->uiActive_ == this) form_->uiActive_ = nullptr;
  return S_OK;
}

HRESULT FormControl::GetWindowContext(IOleInPlaceFrame** frame, IOleInPlaceUIWindow** doc,
                                      LPRECT pos, LPRECT clip, LPOLEINPLACEFRAMEINFO info) {
  if (frame) *frame = nullptr;
  if (doc) *doc = nullptr;
  if (!form_) return E_UNEXPECTED;
  if (frame) {
    *frame = &form_->frame();
    (*frame)->AddRef();
  }
  if (pos) *pos = position_;
  if (clip) GetClientRect(parentWindow(), clip);
  if (info) {
    info->fMDIApp = FALSE;
    info->hwndFrame = form_->hwnd();
    info->haccel = nullptr;
    info->cAccelEntries = 0;
  }
  return S_OK;
}

HRESULT FormControl::OnPosRectChange(LPCRECT pos) {
  if (!pos) return E_POINTER;
  // The container agrees to every size the control asks for, and tells it so.
  if (movingObject_) {
    position_ = *pos;
    return S_OK;
  }
  return move(*pos);
}

HRESULT FormControl::OnControlInfoChanged() {
  ++controlInfoChanges;
  refreshControlInfo();
  return S_OK;
}

HRESULT FormControl::GetExtendedControl(IDispatch** out) {
  if (!out) return E_POINTER;
  *out = extender_;
  extender_->AddRef();
  return S_OK;
}

HRESULT FormControl::TranslateAccelerator(MSG* msg, DWORD modifiers) {
  if (!msg) return E_POINTER;
  if (!form_) return S_FALSE;
  ComPtr<FormControl> keep(this);  // the button's handler may take this control off the form
  // The modifier flags of the call: 1 Shift, 2 Ctrl, 4 Alt.
  return form_->defaultOrCancel(*msg, modifiers & 1, modifiers & 2, modifiers & 4) ? S_OK : S_FALSE;
}

HRESULT FormControl::OnFocus(BOOL gained) {
  if (gained) {
    ++focusGained;
    if (form_) form_->reportedFocus_ = this;
  } else {
    ++focusLost;
    if (form_ && form_->reportedFocus_ == this) form_->reportedFocus_ = nullptr;
  }
  return S_OK;
}

HRESULT FormControl::GetTypeInfoCount(UINT* n) {
  if (!n) return E_POINTER;
  *n = 0;
  return S_OK;
}

HRESULT FormControl::GetIDsOfNames(REFIID, LPOLESTR* names, UINT count, LCID, DISPID* ids) {
  return idsFromTable(kAmbientNames, names, count, ids);
}

HRESULT FormControl::Invoke(DISPID id, REFIID, LCID, WORD flags, DISPPARAMS*, VARIANT* result,
                            EXCEPINFO*, UINT*) {
  if (!(flags & DISPATCH_PROPERTYGET)) return DISP_E_MEMBERNOTFOUND;
  if (!form_) return DISP_E_MEMBERNOTFOUND;
  const bool run = form_->userMode();
  switch (id) {
    case DISPID_AMBIENT_USERMODE:
      return answerBool(result, run);
    case DISPID_AMBIENT_FONT:
      if (!form_->font()) return DISP_E_MEMBERNOTFOUND;
      return answerDispatch(result, form_->font());
    case DISPID_AMBIENT_DISPLAYASDEFAULT:
      return answerBool(result, form_->defaultButton() == this);
    case DISPID_AMBIENT_DISPLAYNAME:
      return answerText(result, name_);
    case DISPID_AMBIENT_BACKCOLOR:
      return answerLong(result, static_cast<long>(0x8000000F));
    case DISPID_AMBIENT_FORECOLOR:
      return answerLong(result, static_cast<long>(0x80000012));
    case DISPID_AMBIENT_LOCALEID:
      return answerLong(result, static_cast<long>(GetUserDefaultLCID()));
    case DISPID_AMBIENT_SHOWGRABHANDLES:
    case DISPID_AMBIENT_SHOWHATCHING:
      return answerBool(result, !run);
    case DISPID_AMBIENT_MESSAGEREFLECT:
    case DISPID_AMBIENT_UIDEAD:
      return answerBool(result, false);
    case DISPID_AMBIENT_SUPPORTSMNEMONICS:
      return answerBool(result, true);
    default:
      return DISP_E_MEMBERNOTFOUND;
  }
}

// ---- Form ----

Form::Form(const wchar_t* caption, int width, int height) {
  static const ATOM atom = [] {
    WNDCLASSW wc = {};
    wc.lpfnWndProc = windowProc;
    wc.hInstance = GetModuleHandleW(nullptr);
    wc.lpszClassName = kFormClass;
    wc.hCursor = LoadCursorW(nullptr, reinterpret_cast<LPCWSTR>(IDC_ARROW));
    wc.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);
    return RegisterClassW(&wc);
  }();
  (void)atom;
  hwnd_ = CreateWindowExW(0, kFormClass, caption ? caption : L"", WS_OVERLAPPEDWINDOW | WS_VISIBLE,
                          0, 0, width, height, nullptr, nullptr, GetModuleHandleW(nullptr), this);
  frame_ = std::make_unique<FormFrame>(hwnd_);
  formObject_ = new FormObject(*this);
  setFont(L"Tahoma", 8);
}

Form::~Form() {
  // Controls go first, last added first, while the window and the frame still exist.
  while (!controls_.empty()) remove(controls_.back());
  formObject_->detach();
  formObject_->Release();
  if (hwnd_ && IsWindow(hwnd_)) {
    SetWindowLongPtrW(hwnd_, GWLP_USERDATA, 0);
    DestroyWindow(hwnd_);
  }
}

LRESULT CALLBACK Form::windowProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
  if (message == WM_NCCREATE) {
    auto* create = reinterpret_cast<CREATESTRUCTW*>(lParam);
    SetWindowLongPtrW(hwnd, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(create->lpCreateParams));
  }
  auto* form = reinterpret_cast<Form*>(GetWindowLongPtrW(hwnd, GWLP_USERDATA));
  if (message == WM_CLOSE && form) {
    // Closing hides the form; its owner ends it and its controls.
    form->open_ = false;
    ShowWindow(hwnd, SW_HIDE);
    return 0;
  }
  return DefWindowProcW(hwnd, message, wParam, lParam);
}

IDispatch* Form::formObject() const {
  return formObject_;
}

HRESULT Form::add(IUnknown* object, const Placement& placement, FormControl** out) {
  if (out) *out = nullptr;
  if (!object) return E_POINTER;
  if (!hwnd_) return E_UNEXPECTED;
  if (placement.container && !canContain(placement.container)) return E_INVALIDARG;
  ComPtr<IOleObject> ole;
  HRESULT hr = object->QueryInterface(IID_IOleObject, ole.putVoid());
  if (FAILED(hr) || !ole) return FAILED(hr) ? hr : E_NOINTERFACE;
  auto* site = new FormControl(*this, placement);
  auto fail = [&](HRESULT failure) {
    ole->Close(OLECLOSE_NOSAVE);
    ole->SetClientSite(nullptr);
    site->detach();
    site->Release();
    return failure;
  };
  hr = ole->SetClientSite(site);
  if (FAILED(hr)) return fail(hr);
  if (placement.stored) {
    ComPtr<IPersistPropertyBag> persist;
    ole->QueryInterface(IID_IPersistPropertyBag, persist.putVoid());
    if (!persist) return fail(E_NOINTERFACE);
    hr = persist->Load(placement.stored, nullptr);
  } else {
    hr = initNew(ole.get());
  }
  if (FAILED(hr)) return fail(hr);
  site->object_ = ole;
  hr = ole->DoVerb(OLEIVERB_INPLACEACTIVATE, nullptr, site, 0, site->parentWindow(),
                   &site->position_);
  if (FAILED(hr)) {
    site->object_.reset();
    return fail(hr);
  }
  controls_.push_back(site);
  tabOrder_.push_back(site);
  site->refreshControlInfo();
  if (out) *out = site;
  return S_OK;
}

HRESULT Form::add(REFCLSID clsid, const Placement& placement, FormControl** out) {
  if (out) *out = nullptr;
  ComPtr<IUnknown> object;
  const HRESULT hr =
      CoCreateInstance(clsid, nullptr, CLSCTX_INPROC_SERVER, IID_IUnknown, object.putVoid());
  if (FAILED(hr)) return hr;
  return add(object.get(), placement, out);
}

HRESULT Form::add(const wchar_t* progId, const Placement& placement, FormControl** out) {
  if (out) *out = nullptr;
  if (!progId) return E_POINTER;
  CLSID clsid;
  const HRESULT hr = CLSIDFromProgID(progId, &clsid);
  if (FAILED(hr)) return hr;
  return add(clsid, placement, out);
}

HRESULT Form::add(const Library& library, REFCLSID clsid, const Placement& placement,
                  FormControl** out) {
  if (out) *out = nullptr;
  ComPtr<IUnknown> object;
  const HRESULT hr = library.create(clsid, IID_IUnknown, object.putVoid());
  if (FAILED(hr)) return hr;
  return add(object.get(), placement, out);
}

bool Form::canContain(FormControl* container) const {
  if (std::find(controls_.begin(), controls_.end(), container) == controls_.end()) return false;
  if (!container->object_ || !container->hwnd()) return false;
  DWORD misc = 0;
  if (FAILED(container->object_->GetMiscStatus(DVASPECT_CONTENT, &misc))) return false;
  return (misc & OLEMISC_SIMPLEFRAME) != 0;
}

HRESULT Form::remove(FormControl* control) {
  auto it = std::find(controls_.begin(), controls_.end(), control);
  if (it == controls_.end()) return E_INVALIDARG;
  // What the control holds goes first, while its window still exists.
  for (std::size_t i = controls_.size(); i-- > 0;)
    if (i < controls_.size() && controls_[i]->container_ == control) remove(controls_[i]);
  it = std::find(controls_.begin(), controls_.end(), control);
  controls_.erase(it);
  tabOrder_.erase(std::find(tabOrder_.begin(), tabOrder_.end(), control));
  if (defaultButton_ == control) defaultButton_ = nullptr;
  if (cancelButton_ == control) cancelButton_ = nullptr;
  if (ComPtr<IOleObject> object = control->object_) {
    object->Close(OLECLOSE_NOSAVE);
    object->SetClientSite(nullptr);
  }
  if (uiActive_ == control) uiActive_ = nullptr;
  if (reportedFocus_ == control) reportedFocus_ = nullptr;
  control->detach();
  control->Release();
  return S_OK;
}

FormControl* Form::control(std::size_t index) const {
  return index < controls_.size() ? controls_[index] : nullptr;
}

FormControl* Form::find(std::wstring_view name) const {
  for (FormControl* c : controls_)
    if (c->name_.size() == name.size() &&
        CompareStringOrdinal(c->name_.data(), static_cast<int>(c->name_.size()), name.data(),
                             static_cast<int>(name.size()), TRUE) == CSTR_EQUAL)
      return c;
  return nullptr;
}

void Form::setTabIndex(FormControl* control, std::size_t index) {
  auto it = std::find(tabOrder_.begin(), tabOrder_.end(), control);
  if (it == tabOrder_.end()) return;
  tabOrder_.erase(it);
  tabOrder_.insert(
      tabOrder_.begin() + static_cast<std::ptrdiff_t>(std::min(index, tabOrder_.size())), control);
}

FormControl* Form::owning(HWND window) const {
  for (HWND w = window; w && w != hwnd_; w = GetParent(w))
    for (FormControl* c : controls_)
      if (c->hwnd() == w) return c;
  return nullptr;
}

FormControl* Form::focused() const {
  return owning(GetFocus());
}

bool Form::canFocus(FormControl* control) const {
  if (!control || !control->tabStop_) return false;
  HWND window = control->hwnd();
  return window && IsWindowVisible(window) && IsWindowEnabled(window);
}

bool Form::focus(FormControl* control) {
  if (!control || std::find(controls_.begin(), controls_.end(), control) == controls_.end())
    return false;
  HWND window = control->hwnd();
  if (!window) return false;
  // Keep the site alive: the control may be removed from one of its own focus handlers.
  ComPtr<FormControl> keep(control);
  SetFocus(window);
  // A control that did not make itself the active object when it took the focus is asked to.
  ComPtr<IOleInPlaceActiveObject> active;
  if (control->object_)
    control->object_->QueryInterface(IID_IOleInPlaceActiveObject, active.putVoid());
  const bool isActive = active ? frame_->active() == active.get() : uiActive_ == control;
  if (!isActive && control->object_ && control->form_)
    control->object_->DoVerb(OLEIVERB_UIACTIVATE, nullptr, control, 0, control->parentWindow(),
                             &control->position_);
  return GetFocus() == window || IsChild(window, GetFocus());
}

FormControl* Form::focusNext(bool backwards) {
  const std::size_t n = tabOrder_.size();
  if (n == 0) return nullptr;
  FormControl* current = focused();
  std::size_t start = n;  // none: the first (or last) in the order
  for (std::size_t i = 0; i < n; ++i)
    if (tabOrder_[i] == current) start = i;
  for (std::size_t step = 1; step <= n; ++step) {
    std::size_t i;
    if (start == n)
      i = backwards ? n - step : step - 1;
    else
      i = backwards ? (start + n - step) % n : (start + step) % n;
    FormControl* candidate = tabOrder_[i];
    if (candidate == current) break;
    if (canFocus(candidate) && focus(candidate)) return candidate;
  }
  return focused();
}

void Form::notifyAmbient(FormControl* control, DISPID id) {
  if (!control || !control->object_) return;
  ComPtr<IOleControl> ole;
  control->object_->QueryInterface(IID_IOleControl, ole.putVoid());
  if (ole) ole->OnAmbientPropertyChange(id);
}

void Form::setUserMode(bool on) {
  if (on == userMode_) return;
  userMode_ = on;
  const std::vector<FormControl*> all = controls_;
  for (FormControl* c : all) notifyAmbient(c, DISPID_AMBIENT_USERMODE);
}

HRESULT Form::setFont(IFontDisp* font) {
  if (!font) return E_POINTER;
  font_ = ComPtr<IFontDisp>(font);
  const std::vector<FormControl*> all = controls_;
  for (FormControl* c : all) notifyAmbient(c, DISPID_AMBIENT_FONT);
  return S_OK;
}

HRESULT Form::setFont(const wchar_t* face, double points, bool bold, bool italic) {
  if (!face || !(points > 0) || points > 2000) return E_INVALIDARG;
  FONTDESC desc = {};
  desc.cbSizeofstruct = sizeof(desc);
  desc.lpstrName = const_cast<LPOLESTR>(face);
  desc.cySize.int64 = static_cast<LONGLONG>(std::llround(points * 10000));
  desc.sWeight = static_cast<SHORT>(bold ? FW_BOLD : FW_NORMAL);
  desc.sCharset = DEFAULT_CHARSET;
  desc.fItalic = italic;
  ComPtr<IFontDisp> font;
  const HRESULT hr = OleCreateFontIndirect(&desc, IID_IFontDisp, font.putVoid());
  if (FAILED(hr)) return hr;
  return setFont(font.get());
}

void Form::setDefaultButton(FormControl* control) {
  if (control && std::find(controls_.begin(), controls_.end(), control) == controls_.end()) return;
  FormControl* before = defaultButton_;
  if (before == control) return;
  defaultButton_ = control;
  notifyAmbient(before, DISPID_AMBIENT_DISPLAYASDEFAULT);
  notifyAmbient(control, DISPID_AMBIENT_DISPLAYASDEFAULT);
}

bool Form::deliverMnemonic(FormControl* control, MSG& msg) {
  if (!control || !control->object_) return false;
  ComPtr<FormControl> keep(control);
  ComPtr<IOleControl> ole;
  control->object_->QueryInterface(IID_IOleControl, ole.putVoid());
  if (!ole) return false;
  ++mnemonicsDelivered;
  ole->OnMnemonic(&msg);
  return true;
}

bool Form::defaultOrCancel(MSG& msg, bool shift, bool ctrl, bool alt) {
  if (msg.message != WM_KEYDOWN || shift || ctrl || alt) return false;
  if (msg.wParam == VK_RETURN) return defaultButton_ && deliverMnemonic(defaultButton_, msg);
  if (msg.wParam == VK_ESCAPE) return cancelButton_ && deliverMnemonic(cancelButton_, msg);
  return false;
}

FormControl* Form::mnemonicTarget(UINT vk, bool shift, bool ctrl, bool alt) const {
  // From the control after the focused one, round the tab order, so that a key that two
  // controls share moves between them.
  const std::size_t n = tabOrder_.size();
  FormControl* current = focused();
  std::size_t start = 0;
  for (std::size_t i = 0; i < n; ++i)
    if (tabOrder_[i] == current) start = i + 1;
  for (std::size_t step = 0; step < n; ++step) {
    FormControl* c = tabOrder_[(start + step) % n];
    HWND window = c->hwnd();
    if (window && !IsWindowEnabled(window)) continue;
    for (const ACCEL& a : c->accelerators_)
      if (acceleratorMatches(a, vk, shift, ctrl, alt)) return c;
  }
  return nullptr;
}

bool Form::processMessage(MSG& msg) {
  if (!hwnd_ || msg.message < WM_KEYFIRST || msg.message > WM_KEYLAST) return false;
  if (msg.hwnd != hwnd_ && !IsChild(hwnd_, msg.hwnd)) return false;
  // The active object sees every key first.
  if (IOleInPlaceActiveObject* active = frame_->active()) {
    ComPtr<IOleInPlaceActiveObject> keep(active);
    if (active->TranslateAccelerator(&msg) == S_OK) return true;
  }
  if (msg.message != WM_KEYDOWN && msg.message != WM_SYSKEYDOWN) return false;
  const UINT vk = static_cast<UINT>(msg.wParam);
  const bool alt =
      msg.message == WM_SYSKEYDOWN ? (msg.lParam & (1 << 29)) != 0 : GetKeyState(VK_MENU) < 0;
  const bool shift = GetKeyState(VK_SHIFT) < 0;
  const bool ctrl = GetKeyState(VK_CONTROL) < 0;
  if (vk == VK_SHIFT || vk == VK_CONTROL || vk == VK_MENU) return false;
  // What the window with the focus wants to handle itself.
  LRESULT wants = 0;
  HWND focus = GetFocus();
  if (focus && focus != hwnd_ && IsChild(hwnd_, focus))
    wants = SendMessageW(focus, WM_GETDLGCODE, msg.wParam, reinterpret_cast<LPARAM>(&msg));
  FormControl* current = focused();
  const DWORD eats = current ? current->controlInfoFlags_ : 0;

  if (vk == VK_TAB && !alt && !ctrl) {
    if (wants & (DLGC_WANTTAB | DLGC_WANTALLKEYS)) return false;
    focusNext(shift);
    return true;
  }
  if (vk == VK_RETURN || vk == VK_ESCAPE) {
    if ((wants & DLGC_WANTALLKEYS) ||
        (eats & (vk == VK_RETURN ? CTRLINFO_EATS_RETURN : CTRLINFO_EATS_ESCAPE)))
      return false;
    return defaultOrCancel(msg, shift, ctrl, alt);
  }
  if (!alt && (wants & (DLGC_WANTCHARS | DLGC_WANTALLKEYS))) return false;
  return deliverMnemonic(mnemonicTarget(vk, shift, ctrl, alt), msg);
}

void Form::pumpMessages() {
  MSG msg;
  while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
    if (processMessage(msg)) continue;
    TranslateMessage(&msg);
    DispatchMessageW(&msg);
  }
}

}  // namespace nx::formhost
