// A whole form for controls: one top-level window holding several controls, each in its own
// site, with the tab order, the keyboard routing of a running form (accelerators of the active
// object, Tab and Shift+Tab, the default and cancel buttons, access keys), an extender per
// control whose Parent.Controls lists every control of the form, and ambient properties shared
// by the form (font, user mode) or per control (DisplayAsDefault).
//
// Extender positions and sizes (Left, Top, Width, Height) are in twips, like the controls' own
// sizes; Placement and FormControl::position() are in pixels of the form's client area.
#pragma once

#include <windows.h>

#include <ocidl.h>
#include <olectl.h>

#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "platform/win32/formhost/client.h"

namespace nx::formhost {

class Form;
class FormControl;
class FormFrame;
class FormObject;
class SiteExtender;

// Where and how a control goes on the form.
struct Placement {
  std::wstring name;
  RECT position = {10, 10, 210, 30};  // pixels in the client area of the form or the container
  IPropertyBag* stored = nullptr;     // load the control from it; null: a new control
  std::wstring toolTipText;
  bool tabStop = true;
  // A control of the same form that holds this one (a frame that declares itself a simple frame
  // with OLEMISC_SIMPLEFRAME): the control's window is a child of the container's, drawn over it,
  // moving and hiding with it. Null: the control sits on the form itself.
  FormControl* container = nullptr;
};

// Whether an accelerator entry stands for a key pressed with the given modifiers. FVIRTKEY
// entries name a virtual key and need exactly their modifiers; character entries match the key
// that types the character, with Alt as FALT asks.
bool acceleratorMatches(const ACCEL& entry, UINT vk, bool shift, bool control, bool alt);

// One control on a form and its site: client, in-place and control site, and the ambient
// properties as the site's IDispatch.
class FormControl final : public IOleClientSite,
                          public IOleInPlaceSite,
                          public IOleControlSite,
                          public IDispatch {
 public:
  const std::wstring& name() const { return name_; }
  IOleObject* object() const { return object_.get(); }
  // The control's own automation object.
  Dispatch dispatch() const { return Dispatch(object_.get()); }
  // The extender the control gets from GetExtendedControl.
  IDispatch* extender() const;
  // The control's window, or null when it has none.
  HWND hwnd() const;
  // Position in the client area of the form or of the container, in pixels.
  RECT position() const;
  // The control holding this one, or null when it sits on the form.
  FormControl* container() const { return container_; }
  // The window the control's window is a child of: the container's or the form's.
  HWND parentWindow() const;
  // Moves and sizes the control through IOleInPlaceObject::SetObjectRects.
  HRESULT move(const RECT& position);
  bool tabStop() const { return tabStop_; }
  void setTabStop(bool on) { tabStop_ = on; }
  const std::wstring& toolTipText() const { return toolTipText_; }
  void setToolTipText(std::wstring text) { toolTipText_ = std::move(text); }
  // The accelerators the control gave in its last GetControlInfo, and its flags.
  const std::vector<ACCEL>& accelerators() const { return accelerators_; }
  DWORD controlInfoFlags() const { return controlInfoFlags_; }
  // Asks the control for its accelerators again.
  void refreshControlInfo();
  // What the control told its site.
  int focusGained = 0;
  int focusLost = 0;
  int controlInfoChanges = 0;

  // IUnknown
  HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** out) override;
  ULONG STDMETHODCALLTYPE AddRef() override { return ++refs_; }
  ULONG STDMETHODCALLTYPE Release() override;
  // IOleClientSite
  HRESULT STDMETHODCALLTYPE SaveObject() override { return S_OK; }
  HRESULT STDMETHODCALLTYPE GetMoniker(DWORD, DWORD, IMoniker**) override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE GetContainer(IOleContainer**) override { return E_NOINTERFACE; }
  HRESULT STDMETHODCALLTYPE ShowObject() override { return S_OK; }
  HRESULT STDMETHODCALLTYPE OnShowWindow(BOOL) override { return S_OK; }
  HRESULT STDMETHODCALLTYPE RequestNewObjectLayout() override { return E_NOTIMPL; }
  // IOleWindow / IOleInPlaceSite
  HRESULT STDMETHODCALLTYPE GetWindow(HWND* out) override;
  HRESULT STDMETHODCALLTYPE ContextSensitiveHelp(BOOL) override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE CanInPlaceActivate() override { return form_ ? S_OK : S_FALSE; }
  HRESULT STDMETHODCALLTYPE OnInPlaceActivate() override { return S_OK; }
  HRESULT STDMETHODCALLTYPE OnUIActivate() override;
  HRESULT STDMETHODCALLTYPE GetWindowContext(IOleInPlaceFrame** frame, IOleInPlaceUIWindow** doc,
                                             LPRECT pos, LPRECT clip,
                                             LPOLEINPLACEFRAMEINFO info) override;
  HRESULT STDMETHODCALLTYPE Scroll(SIZE) override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE OnUIDeactivate(BOOL) override;
  HRESULT STDMETHODCALLTYPE OnInPlaceDeactivate() override { return S_OK; }
  HRESULT STDMETHODCALLTYPE DiscardUndoState() override { return S_OK; }
  HRESULT STDMETHODCALLTYPE DeactivateAndUndo() override { return S_OK; }
  HRESULT STDMETHODCALLTYPE OnPosRectChange(LPCRECT pos) override;
  // IOleControlSite
  HRESULT STDMETHODCALLTYPE OnControlInfoChanged() override;
  HRESULT STDMETHODCALLTYPE LockInPlaceActive(BOOL) override { return S_OK; }
  HRESULT STDMETHODCALLTYPE GetExtendedControl(IDispatch** out) override;
  HRESULT STDMETHODCALLTYPE TransformCoords(POINTL*, POINTF*, DWORD) override { return E_NOTIMPL; }
  // A key the control offers the container: Enter and Escape reach the default and the cancel
  // button; everything else is left to the control.
  HRESULT STDMETHODCALLTYPE TranslateAccelerator(MSG* msg, DWORD modifiers) override;
  HRESULT STDMETHODCALLTYPE OnFocus(BOOL gained) override;
  HRESULT STDMETHODCALLTYPE ShowPropertyFrame() override { return E_NOTIMPL; }
  // IDispatch: the ambient properties
  HRESULT STDMETHODCALLTYPE GetTypeInfoCount(UINT* n) override;
  HRESULT STDMETHODCALLTYPE GetTypeInfo(UINT, LCID, ITypeInfo**) override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE GetIDsOfNames(REFIID, LPOLESTR* names, UINT count, LCID,
                                          DISPID* ids) override;
  HRESULT STDMETHODCALLTYPE Invoke(DISPID id, REFIID, LCID, WORD flags, DISPPARAMS* params,
                                   VARIANT* result, EXCEPINFO*, UINT*) override;

 private:
  friend class Form;
  friend class SiteExtender;
  FormControl(Form& form, const Placement& placement);
  ~FormControl();
  // The form is going away: calls that still arrive answer without it.
  void detach();

  Form* form_;
  std::wstring name_;
  RECT position_;
  std::wstring toolTipText_;
  bool tabStop_;
  FormControl* container_;
  ComPtr<IOleObject> object_;
  SiteExtender* extender_;
  std::vector<ACCEL> accelerators_;
  DWORD controlInfoFlags_ = 0;
  bool movingObject_ = false;
  ULONG refs_ = 1;
};

class Form {
 public:
  explicit Form(const wchar_t* caption = L"nx form", int width = 480, int height = 320);
  ~Form();
  Form(const Form&) = delete;
  Form& operator=(const Form&) = delete;

  HWND hwnd() const { return hwnd_; }
  // False once the user closed the form (it is hidden then, its controls stay).
  bool open() const { return open_; }
  FormFrame& frame() { return *frame_; }
  // The object that extenders return as Parent: Controls, hWnd, Caption.
  IDispatch* formObject() const;

  // Places a control: the object gets its site, is initialised as new or loaded from
  // `placement.stored`, and is activated in place at `placement.position`. On failure nothing
  // is placed and `out` (when given) is null.
  HRESULT add(IUnknown* object, const Placement& placement, FormControl** out = nullptr);
  HRESULT add(REFCLSID clsid, const Placement& placement, FormControl** out = nullptr);
  HRESULT add(const wchar_t* progId, const Placement& placement, FormControl** out = nullptr);
  HRESULT add(const Library& library, REFCLSID clsid, const Placement& placement,
              FormControl** out = nullptr);
  // Closes the control and takes it off the form, with the controls it holds.
  HRESULT remove(FormControl* control);

  // The controls in the order they were added.
  std::size_t count() const { return controls_.size(); }
  FormControl* control(std::size_t index) const;
  // By name, ignoring case; null when none has it.
  FormControl* find(std::wstring_view name) const;

  // Tab order: the order in which Tab moves the focus (first added first).
  const std::vector<FormControl*>& tabOrder() const { return tabOrder_; }
  // Moves the control to `index` of the tab order (clamped to the end).
  void setTabIndex(FormControl* control, std::size_t index);
  // The control whose window (or a window inside it) has the focus.
  FormControl* focused() const;
  // The control that last told its site it gained the focus and has not lost it since.
  FormControl* reportedFocus() const { return reportedFocus_; }
  // Gives the control the focus and makes it the frame's active object.
  bool focus(FormControl* control);
  // Moves the focus to the next (or previous) control in tab order that can take it; the
  // control that has it then, or null when none can.
  FormControl* focusNext(bool backwards = false);

  // Ambient properties.
  bool userMode() const { return userMode_; }
  void setUserMode(bool on);
  IFontDisp* font() const { return font_.get(); }
  HRESULT setFont(IFontDisp* font);
  HRESULT setFont(const wchar_t* face, double points, bool bold = false, bool italic = false);
  FormControl* defaultButton() const { return defaultButton_; }
  // The one control that shows as the default button (null for none).
  void setDefaultButton(FormControl* control);
  FormControl* cancelButton() const { return cancelButton_; }
  void setCancelButton(FormControl* control) { cancelButton_ = control; }

  // One step of the form's message loop for a key message: the active object's accelerators,
  // then Tab and Shift+Tab, Enter for the default button, Escape for the cancel button, and
  // access keys (Alt+key, or the key alone when the focused window does not want characters),
  // delivered with IOleControl::OnMnemonic. True when the form used the message: it must then
  // not be translated or dispatched.
  bool processMessage(MSG& msg);
  // Runs the thread's pending messages through processMessage.
  void pumpMessages();
  // Mnemonics delivered so far, for hosts that want to log them.
  int mnemonicsDelivered = 0;

 private:
  friend class FormControl;
  friend class FormObject;
  static LRESULT CALLBACK windowProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam);
  void notifyAmbient(FormControl* control, DISPID id);
  bool deliverMnemonic(FormControl* control, MSG& msg);
  // Enter for the default button and Escape for the cancel button; whether one took the key.
  bool defaultOrCancel(MSG& msg, bool shift, bool ctrl, bool alt);
  FormControl* mnemonicTarget(UINT vk, bool shift, bool control, bool alt) const;
  bool canFocus(FormControl* control) const;
  // Whether the control is on this form, has a window and holds other controls.
  bool canContain(FormControl* container) const;
  FormControl* owning(HWND window) const;

  HWND hwnd_ = nullptr;
  bool open_ = true;
  std::unique_ptr<FormFrame> frame_;
  FormObject* formObject_ = nullptr;
  std::vector<FormControl*> controls_;
  std::vector<FormControl*> tabOrder_;
  FormControl* uiActive_ = nullptr;
  FormControl* reportedFocus_ = nullptr;
  FormControl* defaultButton_ = nullptr;
  FormControl* cancelButton_ = nullptr;
  ComPtr<IFontDisp> font_;
  bool userMode_ = true;
};

}  // namespace nx::formhost
