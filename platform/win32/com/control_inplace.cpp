// In-place and UI activation of the control object, its window towards the container, the
// control's focus (its window and its child parts together) and its keys (the routing itself is
// in key_routing.cpp).
#include "platform/win32/com/control_object_impl.h"

namespace nx::win32 {

HRESULT ControlObject::inPlaceActivate(bool uiActivate, IOleClientSite* site, HWND parent,
                                       LPCRECT pos) {
  if (!clientSite_ && site) clientSite_ = ComPtr<IOleClientSite>(site);
  if (!clientSite_) return E_UNEXPECTED;
  HRESULT hr = guarded(*cls_.iid, [&] { ensureLoaded(); });
  if (FAILED(hr)) return hr;
  if (!inPlace_) {
    inPlaceSite_ = clientSite_.as<IOleInPlaceSite>(IID_IOleInPlaceSite);
    if (!inPlaceSite_) return E_NOINTERFACE;
    if (inPlaceSite_->CanInPlaceActivate() != S_OK) return E_FAIL;
    inPlaceSite_->OnInPlaceActivate();
    auto undo = [&](HRESULT failure) {
      inPlaceSite_->OnInPlaceDeactivate();
      inPlaceSite_.reset();
      frame_.reset();
      doc_.reset();
      return failure;
    };
    HWND container = parent;
    if (!container && FAILED(inPlaceSite_->GetWindow(&container))) return undo(E_FAIL);
    RECT position = {0, 0, window_->widthPx(), window_->heightPx()};
    RECT clip = position;
    OLEINPLACEFRAMEINFO info = {};
    info.cb = sizeof(info);
    // The site's position wins over the one passed with the verb.
    if (FAILED(inPlaceSite_->GetWindowContext(frame_.put(), doc_.put(), &position, &clip, &info)) &&
        pos)
      position = *pos;
    bool created = false;
    hr = guarded(*cls_.iid, [&] { created = window_->create(container, position); });
    if (FAILED(hr) || !created) return undo(FAILED(hr) ? hr : E_FAIL);
    inPlace_ = true;
    hr = guarded(*cls_.iid, [&] { control_->Resize(); });
    if (FAILED(hr)) return hr;
  }
  if (uiActivate && !uiActive_) {
    uiActive_ = true;
    inPlaceSite_->OnUIActivate();
    // The container routes keys and accelerators to the active object.
    auto* active = static_cast<IOleInPlaceActiveObject*>(this);
    if (frame_) frame_->SetActiveObject(active, nullptr);
    if (doc_) doc_->SetActiveObject(active, nullptr);
    // The focus may already be in a child part, which counts as the control's focus.
    if (!window_->focusWithin()) SetFocus(window_->hwnd());
  }
  ShowWindow(window_->hwnd(), SW_SHOW);
  return S_OK;
}

// ---- in-place object ----

HRESULT ControlObject::GetWindow(HWND* out) {
  if (!out) return E_POINTER;
  *out = window_->hwnd();
  return *out ? S_OK : E_FAIL;
}

HRESULT ControlObject::InPlaceDeactivate() {
  if (!inPlace_) return S_OK;
  UIDeactivate();
  inPlace_ = false;
  window_->destroy();
  if (inPlaceSite_) inPlaceSite_->OnInPlaceDeactivate();
  inPlaceSite_.reset();
  frame_.reset();
  doc_.reset();
  return S_OK;
}

HRESULT ControlObject::UIDeactivate() {
  if (!uiActive_) return S_OK;
  uiActive_ = false;
  if (frame_) frame_->SetActiveObject(nullptr, nullptr);
  if (doc_) doc_->SetActiveObject(nullptr, nullptr);
  if (inPlaceSite_) inPlaceSite_->OnUIDeactivate(FALSE);
  return S_OK;
}

HRESULT ControlObject::SetObjectRects(LPCRECT pos, LPCRECT) {
  if (!pos) return E_POINTER;
  return guarded(*cls_.iid, [&] {
    window_->setPosition(*pos);
    if (loaded_) control_->Resize();
  });
}

// ---- focus ----

// The window reports the focus entering the control (its window or a child part) once and
// leaving the control window and all its children once: a move between the control window and
// its own parts changes nothing here.
void ControlObject::windowFocus(bool gained) {
  // Taking the focus makes the control the container's active object.
  if (gained && inPlace_ && !uiActive_) inPlaceActivate(true, nullptr, nullptr, nullptr);
  if (clientSite_) {
    if (auto control = clientSite_.as<IOleControlSite>(IID_IOleControlSite))
      control->OnFocus(gained);
  }
  guarded(*cls_.iid, [&] { gained ? control_->GotFocus() : control_->LostFocus(); });
}

// ---- keys ----

HRESULT ControlObject::TranslateAccelerator(LPMSG msg) {
  if (!msg) return E_INVALIDARG;
  if (!inPlace_ || !loaded_) return S_FALSE;
  ComPtr<IOleObject> keepAlive(static_cast<IOleObject*>(this));
  try {
    return routeAccelerator(*msg, *this);
  } catch (...) {
    return S_FALSE;
  }
}

void ControlObject::keyDownToControl(std::int16_t& code, std::int16_t shift) {
  guarded(*cls_.iid, [&] { control_->KeyDown(code, shift); });
}

HRESULT ControlObject::keyToContainer(MSG& msg, DWORD modifiers) {
  if (!clientSite_) return S_FALSE;
  auto control = clientSite_.as<IOleControlSite>(IID_IOleControlSite);
  return control ? control->TranslateAccelerator(&msg, modifiers) : S_FALSE;
}

}  // namespace nx::win32
