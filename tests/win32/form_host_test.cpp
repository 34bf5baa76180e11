// The form host holding a whole form: several NxProgressBar controls and small stand-in controls
// with access keys on one window, keyboard through the form's message loop, the extender with
// Parent.Controls, and ambient changes.
#include <windows.h>

#include <gtest/gtest.h>
#include <ocidl.h>
#include <olectl.h>

#include <algorithm>
#include <cmath>
#include <span>
#include <string>
#include <utility>
#include <vector>

#include "library_under_test.h"
#include "nxwidgets_h.h"
#include "platform/win32/com/control_object.h"
#include "platform/win32/formhost/form_host.h"

using nx::formhost::ComPtr;
using nx::formhost::Dispatch;
using nx::formhost::Form;
using nx::formhost::FormControl;
using nx::formhost::MemoryBag;
using nx::formhost::NotifySink;
using nx::formhost::Placement;

namespace {

using nx::test::library;

Placement at(const wchar_t* name, int left, int top, int width = 200, int height = 24) {
  Placement p;
  p.name = name;
  p.position = {left, top, left + width, top + height};
  return p;
}

FormControl* addBar(Form& form, const Placement& placement) {
  FormControl* site = nullptr;
  EXPECT_EQ(form.add(library(), CLSID_NxProgressBar, placement, &site), S_OK);
  return site;
}

// A minimal windowed control with an access key table, for what NxProgressBar does not have:
// it records mnemonics, ambient changes and the keys offered to it as the active object.
class FakeControl final : public IOleObject,
                          public IOleInPlaceObject,
                          public IOleInPlaceActiveObject,
                          public IOleControl {
 public:
  std::vector<ACCEL> keys;  // what GetControlInfo gives
  LRESULT dlgCode = 0;      // what its window answers to WM_GETDLGCODE
  UINT eatKey = 0;          // a key its TranslateAccelerator takes
  std::vector<WPARAM> mnemonics;
  std::vector<DISPID> ambientChanges;
  std::vector<bool> ambientValues;  // the changed Boolean ambient, read when told of the change
  int keysOffered = 0;

  ~FakeControl() {
    if (accel_) DestroyAcceleratorTable(accel_);
  }
  HWND hwnd() const { return hwnd_; }
  // Changes its access key and tells the site, as a control whose caption changed does.
  void setKeys(std::vector<ACCEL> k) {
    keys = std::move(k);
    if (auto cs = site_.as<IOleControlSite>(IID_IOleControlSite)) cs->OnControlInfoChanged();
  }

  HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** out) override {
    if (!out) return E_POINTER;
    *out = nullptr;
    if (iid == IID_IUnknown || iid == IID_IOleObject)
      *out = static_cast<IOleObject*>(this);
    else if (iid == IID_IOleWindow || iid == IID_IOleInPlaceObject)
      *out = static_cast<IOleInPlaceObject*>(this);
    else if (iid == IID_IOleInPlaceActiveObject)
      *out = static_cast<IOleInPlaceActiveObject*>(this);
    else if (iid == IID_IOleControl)
      *out = static_cast<IOleControl*>(this);
    if (!*out) return E_NOINTERFACE;
    AddRef();
    return S_OK;
  }
  ULONG STDMETHODCALLTYPE AddRef() override { return ++refs_; }
  ULONG STDMETHODCALLTYPE Release() override {
    const ULONG n = --refs_;
    if (n == 0) delete this;
    return n;
  }
  // IOleObject
  HRESULT STDMETHODCALLTYPE SetClientSite(IOleClientSite* site) override {
    site_ = ComPtr<IOleClientSite>(site);
    return S_OK;
  }
  HRESULT STDMETHODCALLTYPE GetClientSite(IOleClientSite** out) override {
    *out = site_.get();
    if (*out) (*out)->AddRef();
    return S_OK;
  }
  HRESULT STDMETHODCALLTYPE SetHostNames(LPCOLESTR, LPCOLESTR) override { return S_OK; }
  HRESULT STDMETHODCALLTYPE Close(DWORD) override { return InPlaceDeactivate(); }
  HRESULT STDMETHODCALLTYPE SetMoniker(DWORD, IMoniker*) override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE GetMoniker(DWORD, DWORD, IMoniker**) override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE InitFromData(IDataObject*, BOOL, DWORD) override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE GetClipboardData(DWORD, IDataObject**) override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE DoVerb(LONG verb, LPMSG, IOleClientSite*, LONG, HWND parent,
                                   LPCRECT pos) override {
    if (verb != OLEIVERB_INPLACEACTIVATE && verb != OLEIVERB_UIACTIVATE) return E_NOTIMPL;
    auto inPlace = site_.as<IOleInPlaceSite>(IID_IOleInPlaceSite);
    if (!inPlace) return E_UNEXPECTED;
    if (!hwnd_) {
      RECT r = pos ? *pos : RECT{0, 0, 50, 20}, clip;
      OLEINPLACEFRAMEINFO info = {sizeof(info), FALSE, nullptr, nullptr, 0};
      inPlace->GetWindowContext(frame_.put(), doc_.put(), &r, &clip, &info);
      inPlace->OnInPlaceActivate();
      hwnd_ = CreateWindowExW(0, windowClass(), L"", WS_CHILD | WS_VISIBLE | WS_TABSTOP, r.left,
                              r.top, r.right - r.left, r.bottom - r.top, parent, nullptr,
                              GetModuleHandleW(nullptr), nullptr);
      SetWindowLongPtrW(hwnd_, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(this));
    }
    if (verb == OLEIVERB_UIACTIVATE && !uiActive_) {
      uiActive_ = true;
      inPlace->OnUIActivate();
      if (frame_) frame_->SetActiveObject(this, nullptr);
    }
    return S_OK;
  }
  HRESULT STDMETHODCALLTYPE EnumVerbs(IEnumOLEVERB**) override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE Update() override { return S_OK; }
  HRESULT STDMETHODCALLTYPE IsUpToDate() override { return S_OK; }
  HRESULT STDMETHODCALLTYPE GetUserClassID(CLSID*) override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE GetUserType(DWORD, LPOLESTR*) override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE SetExtent(DWORD, SIZEL*) override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE GetExtent(DWORD, SIZEL*) override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE Advise(IAdviseSink*, DWORD*) override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE Unadvise(DWORD) override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE EnumAdvise(IEnumSTATDATA**) override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE GetMiscStatus(DWORD, DWORD* s) override {
    *s = 0;
    return S_OK;
  }
  HRESULT STDMETHODCALLTYPE SetColorScheme(LOGPALETTE*) override { return E_NOTIMPL; }
  // IOleWindow, IOleInPlaceObject, IOleInPlaceActiveObject
  HRESULT STDMETHODCALLTYPE GetWindow(HWND* out) override {
    *out = hwnd_;
    return hwnd_ ? S_OK : E_FAIL;
  }
  HRESULT STDMETHODCALLTYPE ContextSensitiveHelp(BOOL) override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE InPlaceDeactivate() override {
    if (!hwnd_) return S_OK;
    UIDeactivate();
    DestroyWindow(std::exchange(hwnd_, nullptr));
    if (auto inPlace = site_.as<IOleInPlaceSite>(IID_IOleInPlaceSite))
      inPlace->OnInPlaceDeactivate();
    frame_.reset();
    doc_.reset();
    return S_OK;
  }
  HRESULT STDMETHODCALLTYPE UIDeactivate() override {
    if (!uiActive_) return S_OK;
    uiActive_ = false;
    if (frame_) frame_->SetActiveObject(nullptr, nullptr);
    if (auto inPlace = site_.as<IOleInPlaceSite>(IID_IOleInPlaceSite))
      inPlace->OnUIDeactivate(FALSE);
    return S_OK;
  }
  HRESULT STDMETHODCALLTYPE SetObjectRects(LPCRECT pos, LPCRECT) override {
    if (hwnd_)
      MoveWindow(hwnd_, pos->left, pos->top, pos->right - pos->left, pos->bottom - pos->top, TRUE);
    return S_OK;
  }
  HRESULT STDMETHODCALLTYPE ReactivateAndUndo() override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE TranslateAccelerator(LPMSG msg) override {
    ++keysOffered;
    return msg->message == WM_KEYDOWN && eatKey && msg->wParam == eatKey ? S_OK : S_FALSE;
  }
  HRESULT STDMETHODCALLTYPE OnFrameWindowActivate(BOOL) override { return S_OK; }
  HRESULT STDMETHODCALLTYPE OnDocWindowActivate(BOOL) override { return S_OK; }
  HRESULT STDMETHODCALLTYPE ResizeBorder(LPCRECT, IOleInPlaceUIWindow*, BOOL) override {
    return S_OK;
  }
  HRESULT STDMETHODCALLTYPE EnableModeless(BOOL) override { return S_OK; }
  // IOleControl
  HRESULT STDMETHODCALLTYPE GetControlInfo(CONTROLINFO* info) override {
    if (accel_) DestroyAcceleratorTable(std::exchange(accel_, nullptr));
    info->hAccel = nullptr;
    info->cAccel = 0;
    info->dwFlags = 0;
    if (keys.empty()) return S_OK;
    accel_ = CreateAcceleratorTableW(keys.data(), static_cast<int>(keys.size()));
    info->hAccel = accel_;
    info->cAccel = static_cast<USHORT>(keys.size());
    return S_OK;
  }
  HRESULT STDMETHODCALLTYPE OnMnemonic(MSG* msg) override {
    mnemonics.push_back(msg ? msg->wParam : 0);
    return S_OK;
  }
  HRESULT STDMETHODCALLTYPE OnAmbientPropertyChange(DISPID id) override {
    ambientChanges.push_back(id);
    // A control reads the new value when it hears of the change.
    ambientValues.push_back(ambientBool(id));
    return S_OK;
  }
  HRESULT STDMETHODCALLTYPE FreezeEvents(BOOL) override { return S_OK; }

  bool ambientBool(DISPID id) const {
    auto ambient = site_.as<IDispatch>(IID_IDispatch);
    VARIANT v;
    VariantInit(&v);
    DISPPARAMS none = {nullptr, nullptr, 0, 0};
    if (!ambient ||
        FAILED(ambient->Invoke(id, IID_NULL, 0, DISPATCH_PROPERTYGET, &none, &v, nullptr, nullptr)))
      return false;
    const bool out = V_VT(&v) == VT_BOOL && V_BOOL(&v) != VARIANT_FALSE;
    VariantClear(&v);
    return out;
  }

 private:
  static const wchar_t* windowClass() {
    static const ATOM atom = [] {
      WNDCLASSW wc = {};
      wc.lpfnWndProc = proc;
      wc.hInstance = GetModuleHandleW(nullptr);
      wc.lpszClassName = L"nxFakeControl";
      return RegisterClassW(&wc);
    }();
    (void)atom;
    return L"nxFakeControl";
  }
  static LRESULT CALLBACK proc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
    auto* self = reinterpret_cast<FakeControl*>(GetWindowLongPtrW(hwnd, GWLP_USERDATA));
    if (self && message == WM_GETDLGCODE) return self->dlgCode;
    if (self && (message == WM_SETFOCUS || message == WM_KILLFOCUS)) {
      if (auto cs = self->site_.as<IOleControlSite>(IID_IOleControlSite))
        cs->OnFocus(message == WM_SETFOCUS);
      return 0;
    }
    return DefWindowProcW(hwnd, message, wParam, lParam);
  }

  ULONG refs_ = 1;
  ComPtr<IOleClientSite> site_;
  ComPtr<IOleInPlaceFrame> frame_;
  ComPtr<IOleInPlaceUIWindow> doc_;
  HWND hwnd_ = nullptr;
  bool uiActive_ = false;
  HACCEL accel_ = nullptr;
};

ComPtr<FakeControl> makeFake(std::vector<ACCEL> keys = {}) {
  auto fake = ComPtr<FakeControl>::adopt(new FakeControl);
  fake->keys = std::move(keys);
  return fake;
}

FormControl* addFake(Form& form, FakeControl* fake, const Placement& placement) {
  FormControl* site = nullptr;
  EXPECT_EQ(form.add(static_cast<IOleObject*>(fake), placement, &site), S_OK);
  return site;
}

// Posts a key to the window with the focus (the form when none has it) and runs the form's
// loop. Shift is set in the thread's key state for the time of the key.
void press(Form& form, UINT vk, bool shift = false, bool alt = false) {
  BYTE keys[256] = {}, before[256] = {};
  GetKeyboardState(before);
  std::copy(before, before + 256, keys);
  keys[VK_SHIFT] = shift ? 0x80 : 0;
  SetKeyboardState(keys);
  HWND target = GetFocus() ? GetFocus() : form.hwnd();
  PostMessageW(target, alt ? WM_SYSKEYDOWN : WM_KEYDOWN, vk, alt ? (1 | (1 << 29)) : 1);
  form.pumpMessages();
  SetKeyboardState(before);
}

ComPtr<IOleInPlaceActiveObject> activeObjectOf(FormControl* site) {
  ComPtr<IOleInPlaceActiveObject> out;
  site->object()->QueryInterface(IID_IOleInPlaceActiveObject, out.putVoid());
  return out;
}

std::wstring nameOf(IDispatch* extender) {
  return Dispatch(extender).getText(L"Name");
}

}  // namespace

TEST(FormHost, TabAndShiftTabCycleThroughTheTabOrder) {
  Form form;
  FormControl* a = addBar(form, at(L"barA", 10, 10));
  FormControl* b = addBar(form, at(L"barB", 10, 40));
  FormControl* c = addBar(form, at(L"barC", 10, 70));
  Placement skipped = at(L"barSkipped", 10, 100);
  skipped.tabStop = false;
  FormControl* d = addBar(form, skipped);
  ASSERT_TRUE(a && b && c && d);
  EXPECT_EQ(form.count(), 4u);
  // barC goes first in the tab order: C, A, B (D is no tab stop).
  form.setTabIndex(c, 0);
  ASSERT_TRUE(form.focus(c));
  EXPECT_EQ(form.focused(), c);
  EXPECT_EQ(form.reportedFocus(), c) << "the control reports the focus through OnFocus";
  EXPECT_EQ(form.frame().active(), activeObjectOf(c).get());

  const FormControl* forward[] = {a, b, c, a};
  for (const FormControl* want : forward) {
    press(form, VK_TAB);
    ASSERT_EQ(form.focused(), want) << "Tab goes to " << (want ? "next" : "none");
    EXPECT_EQ(GetFocus(), want->hwnd());
    EXPECT_EQ(form.reportedFocus(), want);
    // Whoever has the focus is the frame's active object and sees keys first.
    EXPECT_EQ(form.frame().active(), activeObjectOf(const_cast<FormControl*>(want)).get());
  }
  const FormControl* backward[] = {c, b, a};
  for (const FormControl* want : backward) {
    press(form, VK_TAB, true);
    ASSERT_EQ(form.focused(), want);
  }
  EXPECT_GE(a->focusGained, 2);
  EXPECT_GE(a->focusLost, 2);
  EXPECT_EQ(d->focusGained, 0);
  // Focus on the form itself: Tab enters at the first control of the order.
  SetFocus(form.hwnd());
  press(form, VK_TAB);
  EXPECT_EQ(form.focused(), c);
}

TEST(FormHost, ActiveObjectSeesKeysFirst) {
  Form form;
  auto fake = makeFake();
  fake->eatKey = VK_TAB;
  FormControl* f = addFake(form, fake.get(), at(L"fake", 10, 10, 50, 20));
  FormControl* bar = addBar(form, at(L"bar", 10, 40));
  ASSERT_TRUE(f && bar);
  ASSERT_TRUE(form.focus(f));
  EXPECT_EQ(form.frame().active(), static_cast<IOleInPlaceActiveObject*>(fake.get()));
  press(form, VK_TAB);
  EXPECT_EQ(fake->keysOffered, 1);
  EXPECT_EQ(form.focused(), f) << "the active object took Tab";
  fake->eatKey = 0;
  press(form, VK_TAB);
  EXPECT_EQ(form.focused(), bar);
  // The fake gave way as UI-active object when the bar took the focus.
  EXPECT_EQ(form.frame().active(), activeObjectOf(bar).get());
  press(form, VK_TAB);
  EXPECT_EQ(form.focused(), f);
  EXPECT_EQ(form.frame().active(), static_cast<IOleInPlaceActiveObject*>(fake.get()));
}

TEST(FormHost, ParentControlsSeenFromTheExtender) {
  Form form;
  FormControl* first = addBar(form, at(L"Progress1", 10, 10));
  addBar(form, at(L"Progress2", 10, 40));
  addBar(form, at(L"Progress3", 10, 70));
  ASSERT_EQ(form.count(), 3u);
  // As the control sees it: its site's extender.
  auto controlSite = ComPtr<IOleClientSite>(first).as<IOleControlSite>(IID_IOleControlSite);
  ASSERT_TRUE(controlSite);
  ComPtr<IDispatch> extender;
  ASSERT_EQ(controlSite->GetExtendedControl(extender.put()), S_OK);
  Dispatch ext(extender.get());
  EXPECT_EQ(ext.getText(L"Name"), L"Progress1");
  // The extender passes the control's own members through.
  EXPECT_EQ(ext.put(L"Value", 42), S_OK);
  EXPECT_EQ(first->dispatch().getLong(L"Value"), 42);

  VARIANT parent = ext.get(L"Parent");
  ASSERT_EQ(V_VT(&parent), VT_DISPATCH);
  VARIANT controls = Dispatch(V_DISPATCH(&parent)).get(L"Controls");
  VariantClear(&parent);
  ASSERT_EQ(V_VT(&controls), VT_DISPATCH);
  Dispatch collection(V_DISPATCH(&controls));
  EXPECT_EQ(collection.getLong(L"Count"), 3);
  // Item by index (from 0) and by name, ignoring case; a bad index is an error.
  VARIANT index = nx::formhost::longVariant(1), item;
  ASSERT_EQ(collection.get(L"Item", item, std::span<VARIANT>(&index, 1)), S_OK);
  ASSERT_EQ(V_VT(&item), VT_DISPATCH);
  EXPECT_EQ(nameOf(V_DISPATCH(&item)), L"Progress2");
  VariantClear(&item);
  VARIANT name = nx::formhost::textVariant(L"PROGRESS3");
  ASSERT_EQ(collection.get(L"Item", item, std::span<VARIANT>(&name, 1)), S_OK);
  EXPECT_EQ(nameOf(V_DISPATCH(&item)), L"Progress3");
  VariantClear(&item);
  VariantClear(&name);
  index = nx::formhost::longVariant(3);
  EXPECT_EQ(collection.get(L"Item", item, std::span<VARIANT>(&index, 1)), DISP_E_BADINDEX);
  name = nx::formhost::textVariant(L"nobody");
  EXPECT_EQ(collection.get(L"Item", item, std::span<VARIANT>(&name, 1)), DISP_E_BADINDEX);
  VariantClear(&name);

  // _NewEnum read as a property, the way the controls walk the form: every item leads to the
  // control's hosted object through "Object".
  VARIANT enumerator;
  ASSERT_EQ(collection.invoke(DISPID_NEWENUM, DISPATCH_PROPERTYGET, {}, &enumerator), S_OK);
  ASSERT_EQ(V_VT(&enumerator), VT_UNKNOWN);
  ComPtr<IEnumVARIANT> items;
  ASSERT_EQ(V_UNKNOWN(&enumerator)->QueryInterface(IID_IEnumVARIANT, items.putVoid()), S_OK);
  VariantClear(&enumerator);
  std::vector<std::wstring> names;
  std::vector<nx::HostedObject*> hosted;
  ULONG fetched = 0;
  while (items->Next(1, &item, &fetched) == S_OK && fetched == 1) {
    ASSERT_EQ(V_VT(&item), VT_DISPATCH);
    names.push_back(nameOf(V_DISPATCH(&item)));
    VARIANT object = Dispatch(V_DISPATCH(&item)).get(L"Object");
    ComPtr<nx::win32::INxHostedControl> control;
    if (V_VT(&object) == VT_DISPATCH)
      V_DISPATCH(&object)->QueryInterface(nx::win32::IID_INxHostedControl, control.putVoid());
    ASSERT_TRUE(control);
    hosted.push_back(control->hostedObject());
    VariantClear(&object);
    VariantClear(&item);
  }
  EXPECT_EQ(names, (std::vector<std::wstring>{L"Progress1", L"Progress2", L"Progress3"}));
  ASSERT_EQ(hosted.size(), 3u);
  EXPECT_TRUE(hosted[0] && hosted[1] && hosted[2]);
  EXPECT_NE(hosted[0], hosted[1]);
  // A control taken off the form leaves the collection.
  ASSERT_EQ(form.remove(form.find(L"progress2")), S_OK);
  EXPECT_EQ(collection.getLong(L"Count"), 2);
  VariantClear(&controls);
}

TEST(FormHost, ExtenderPositionInTwipsAndMoves) {
  Form form;
  Placement p = at(L"bar", 20, 30, 150, 24);
  p.toolTipText = L"progress of the job";
  FormControl* site = addBar(form, p);
  ASSERT_TRUE(site);
  Dispatch ext(site->extender());
  const double tx = nx::formhost::twipsPerPixelX(), ty = nx::formhost::twipsPerPixelY();
  EXPECT_EQ(ext.getLong(L"Left"), std::lround(20 * tx));
  EXPECT_EQ(ext.getLong(L"Top"), std::lround(30 * ty));
  EXPECT_EQ(ext.getLong(L"Width"), std::lround(150 * tx));
  EXPECT_EQ(ext.getLong(L"Height"), std::lround(24 * ty));
  EXPECT_EQ(ext.getText(L"ToolTipText"), L"progress of the job");

  // Left and Width moved and sized through the in-place object: the window follows.
  ASSERT_EQ(ext.put(L"Left", std::lround(60 * tx)), S_OK);
  ASSERT_EQ(ext.put(L"Width", std::lround(90 * tx)), S_OK);
  RECT r;
  GetWindowRect(site->hwnd(), &r);
  MapWindowPoints(nullptr, form.hwnd(), reinterpret_cast<POINT*>(&r), 2);
  EXPECT_EQ(r.left, 60);
  EXPECT_EQ(r.top, 30);
  EXPECT_EQ(r.right - r.left, 90);
  EXPECT_EQ(r.bottom - r.top, 24);
  EXPECT_EQ(ext.getLong(L"Left"), std::lround(60 * tx));
  // A left edge kept while the width changes: the right edge moves with it.
  const long right = ext.getLong(L"Left") + ext.getLong(L"Width");
  ASSERT_EQ(ext.put(L"Width", std::lround(50 * tx)), S_OK);
  ASSERT_EQ(ext.put(L"Left", right - std::lround(50 * tx)), S_OK);
  EXPECT_EQ(ext.getLong(L"Left") + ext.getLong(L"Width"), right);
  // Refused: a negative width, a text, and Name, which is read-only.
  EXPECT_EQ(ext.put(L"Width", -15), E_INVALIDARG);
  VARIANT text = nx::formhost::textVariant(L"wide");
  EXPECT_EQ(ext.put(L"Width", text), DISP_E_TYPEMISMATCH);
  VariantClear(&text);
  text = nx::formhost::textVariant(L"other");
  EXPECT_NE(ext.put(L"Name", text), S_OK);
  VariantClear(&text);
  EXPECT_EQ(ext.getText(L"Name"), L"bar");
}

// A right-aligned check box that sizes itself to its caption moves its left edge through the
// extender and keeps its right edge.
TEST(FormHost, RightAlignedAutoSizeMovesTheLeftEdgeThroughTheExtender) {
  Form form;
  FormControl* site = nullptr;
  ASSERT_EQ(form.add(library(), CLSID_NxCheckBox, at(L"Agree", 100, 30, 300, 24), &site), S_OK);
  Dispatch box = site->dispatch();
  ASSERT_EQ(box.put(L"Alignment", 1), S_OK);  // baRight
  RECT before;
  GetWindowRect(site->hwnd(), &before);
  ASSERT_EQ(box.put(L"AutoSize", nx::formhost::boolVariant(true)), S_OK);
  RECT after;
  GetWindowRect(site->hwnd(), &after);
  EXPECT_LT(after.right - after.left, before.right - before.left);  // "Agree" is short
  EXPECT_GT(after.left, before.left);
  EXPECT_NEAR(after.right, before.right, 1);
}

TEST(FormHost, UserModeSwitchReachesEveryControl) {
  Form form;
  form.setUserMode(false);  // a form in design
  auto fake = makeFake();
  FormControl* f = addFake(form, fake.get(), at(L"fake", 10, 10, 50, 20));
  ASSERT_TRUE(f);
  auto* designBag = new MemoryBag;
  Placement stored = at(L"storedInDesign", 10, 40);
  stored.stored = designBag;
  FormControl* designBar = addBar(form, stored);
  ASSERT_TRUE(designBar);

  form.setUserMode(true);
  ASSERT_EQ(fake->ambientChanges.size(), 1u);
  EXPECT_EQ(fake->ambientChanges[0], DISPID_AMBIENT_USERMODE);
  EXPECT_TRUE(fake->ambientValues[0]) << "the new value is readable when the change arrives";
  form.setUserMode(true);  // no change, no notification
  EXPECT_EQ(fake->ambientChanges.size(), 1u);

  // NxProgressBar reads the user mode when it is loaded: a stored bar placed on the running
  // form keeps its notifications back, one loaded at design time sends them.
  auto* runBag = new MemoryBag;
  stored.name = L"storedAtRun";
  stored.stored = runBag;
  FormControl* runBar = addBar(form, stored);
  ASSERT_TRUE(runBar);
  auto* designNotes = new NotifySink;
  auto* runNotes = new NotifySink;
  DWORD c1 = 0, c2 = 0;
  ASSERT_EQ(nx::formhost::advise(designBar->object(), IID_IPropertyNotifySink, designNotes, &c1),
            S_OK);
  ASSERT_EQ(nx::formhost::advise(runBar->object(), IID_IPropertyNotifySink, runNotes, &c2), S_OK);
  designBar->dispatch().put(L"Value", 30);
  runBar->dispatch().put(L"Value", 30);
  EXPECT_GT(designNotes->changed, 0);
  EXPECT_EQ(runNotes->changed, 0);

  form.setUserMode(false);
  ASSERT_EQ(fake->ambientChanges.size(), 2u);
  EXPECT_FALSE(fake->ambientValues[1]);
  form.remove(runBar);
  form.remove(designBar);
  designNotes->Release();
  runNotes->Release();
  designBag->Release();
  runBag->Release();
}

TEST(FormHost, DefaultAndCancelButtons) {
  Form form;
  auto ok = makeFake(), cancel = makeFake(), other = makeFake();
  FormControl* okSite = addFake(form, ok.get(), at(L"ok", 10, 10, 60, 20));
  FormControl* cancelSite = addFake(form, cancel.get(), at(L"cancel", 80, 10, 60, 20));
  FormControl* otherSite = addFake(form, other.get(), at(L"other", 150, 10, 60, 20));
  ASSERT_TRUE(okSite && cancelSite && otherSite);

  form.setDefaultButton(okSite);
  ASSERT_EQ(ok->ambientChanges, std::vector<DISPID>{DISPID_AMBIENT_DISPLAYASDEFAULT});
  EXPECT_TRUE(ok->ambientValues.back());
  EXPECT_TRUE(cancel->ambientChanges.empty());
  EXPECT_FALSE(cancel->ambientBool(DISPID_AMBIENT_DISPLAYASDEFAULT));
  // Moving the default tells the old and the new one; exactly one shows as default.
  form.setDefaultButton(cancelSite);
  ASSERT_EQ(ok->ambientChanges.size(), 2u);
  EXPECT_FALSE(ok->ambientValues.back());
  ASSERT_EQ(cancel->ambientChanges.size(), 1u);
  EXPECT_TRUE(cancel->ambientValues.back());
  EXPECT_TRUE(other->ambientChanges.empty());
  form.setDefaultButton(okSite);
  form.setCancelButton(cancelSite);

  // Enter clicks the default button through its access path, Escape the cancel button.
  ASSERT_TRUE(form.focus(otherSite));
  press(form, VK_RETURN);
  EXPECT_EQ(ok->mnemonics, std::vector<WPARAM>{VK_RETURN});
  EXPECT_TRUE(cancel->mnemonics.empty());
  press(form, VK_ESCAPE);
  EXPECT_EQ(cancel->mnemonics, std::vector<WPARAM>{VK_ESCAPE});
  // A focused control that wants every key keeps Enter.
  other->dlgCode = DLGC_WANTALLKEYS;
  press(form, VK_RETURN);
  EXPECT_EQ(ok->mnemonics.size(), 1u);
  EXPECT_TRUE(other->mnemonics.empty());
  // Without a default button Enter goes nowhere.
  other->dlgCode = 0;
  form.setDefaultButton(nullptr);
  press(form, VK_RETURN);
  EXPECT_EQ(ok->mnemonics.size(), 1u);
  EXPECT_FALSE(ok->ambientBool(DISPID_AMBIENT_DISPLAYASDEFAULT));
}

TEST(FormHost, AccessKeysReachTheControlsMnemonic) {
  Form form;
  // "&Save": Alt+S and, where characters are free, S alone.
  auto save = makeFake({{FVIRTKEY | FALT, 'S', 1}, {FVIRTKEY, 'S', 1}});
  auto other = makeFake();
  FormControl* bar = addBar(form, at(L"bar", 10, 40));
  FormControl* saveSite = addFake(form, save.get(), at(L"save", 10, 10, 60, 20));
  FormControl* otherSite = addFake(form, other.get(), at(L"other", 80, 10, 60, 20));
  ASSERT_TRUE(bar && saveSite && otherSite);
  ASSERT_EQ(saveSite->accelerators().size(), 2u);

  ASSERT_TRUE(form.focus(bar));
  press(form, 'S', false, true);
  EXPECT_EQ(save->mnemonics, std::vector<WPARAM>{'S'});
  // The bar takes characters itself: the plain letter is its own.
  press(form, 'S');
  EXPECT_EQ(save->mnemonics.size(), 1u);
  // A focused control that does not want characters lets the plain letter through.
  ASSERT_TRUE(form.focus(otherSite));
  press(form, 'S');
  EXPECT_EQ(save->mnemonics.size(), 2u);
  // Other keys match nothing.
  press(form, 'Q', false, true);
  EXPECT_EQ(save->mnemonics.size(), 2u);
  EXPECT_TRUE(other->mnemonics.empty());

  // A new access key is read again when the control says its information changed.
  save->setKeys({{FVIRTKEY | FALT, 'D', 1}});
  EXPECT_EQ(saveSite->controlInfoChanges, 1);
  press(form, 'S', false, true);
  EXPECT_EQ(save->mnemonics.size(), 2u);
  press(form, 'D', false, true);
  EXPECT_EQ(save->mnemonics.size(), 3u);
  // A disabled control gets no mnemonic.
  EnableWindow(save->hwnd(), FALSE);
  press(form, 'D', false, true);
  EXPECT_EQ(save->mnemonics.size(), 3u);
  EXPECT_EQ(form.mnemonicsDelivered, 3);
}

TEST(FormHost, AcceleratorMatching) {
  using nx::formhost::acceleratorMatches;
  const ACCEL altS = {FVIRTKEY | FALT, 'S', 1};
  EXPECT_TRUE(acceleratorMatches(altS, 'S', false, false, true));
  EXPECT_FALSE(acceleratorMatches(altS, 'S', false, false, false));
  EXPECT_FALSE(acceleratorMatches(altS, 'S', true, false, true));
  EXPECT_FALSE(acceleratorMatches(altS, 'S', false, true, true));
  EXPECT_FALSE(acceleratorMatches(altS, 'D', false, false, true));
  const ACCEL ctrlShiftF5 = {FVIRTKEY | FCONTROL | FSHIFT, VK_F5, 1};
  EXPECT_TRUE(acceleratorMatches(ctrlShiftF5, VK_F5, true, true, false));
  EXPECT_FALSE(acceleratorMatches(ctrlShiftF5, VK_F5, false, true, false));
  // Character entries: the key that types the letter, either case; Alt as asked.
  const ACCEL charA = {FALT, 'a', 1};
  EXPECT_TRUE(acceleratorMatches(charA, 'A', false, false, true));
  EXPECT_TRUE(acceleratorMatches(charA, 'A', true, false, true));
  EXPECT_FALSE(acceleratorMatches(charA, 'A', false, false, false));
  EXPECT_FALSE(acceleratorMatches(charA, 'A', false, true, true));
  EXPECT_FALSE(acceleratorMatches(charA, 0, false, false, true));
}

TEST(FormHost, StoredControlsAmbientFontAndBadInput) {
  Form form;
  // A control loaded from a stored property bag shows the stored values.
  auto* bag = new MemoryBag;
  VARIANT v = nx::formhost::longVariant(64);
  bag->Write(L"vl", &v);
  v = nx::formhost::longVariant(0x000000C0);
  bag->Write(L"BarColor", &v);
  Placement p = at(L"stored", 10, 10);
  p.stored = bag;
  FormControl* site = addBar(form, p);
  ASSERT_TRUE(site);
  EXPECT_EQ(site->dispatch().getLong(L"Value"), 64);
  EXPECT_EQ(site->dispatch().getLong(L"BarColor"), 0xC0);

  // The ambient font: the form's IFontDisp; a change reaches every control, and the ambient
  // then answers the new font.
  auto fake = makeFake();
  ASSERT_TRUE(addFake(form, fake.get(), at(L"fake", 10, 40, 50, 20)));
  auto ambientFont = [&] {
    VARIANT font;
    VariantInit(&font);
    DISPPARAMS none = {nullptr, nullptr, 0, 0};
    auto ambient = ComPtr<IOleClientSite>(site).as<IDispatch>(IID_IDispatch);
    EXPECT_EQ(ambient->Invoke(DISPID_AMBIENT_FONT, IID_NULL, 0, DISPATCH_PROPERTYGET, &none, &font,
                              nullptr, nullptr),
              S_OK);
    ComPtr<IFontDisp> out;
    if (V_VT(&font) == VT_DISPATCH && V_DISPATCH(&font))
      V_DISPATCH(&font)->QueryInterface(IID_IFontDisp, out.putVoid());
    VariantClear(&font);
    return out;
  };
  ComPtr<IFontDisp> before = ambientFont();
  ASSERT_TRUE(before);
  EXPECT_EQ(before.get(), form.font());
  EXPECT_EQ(Dispatch(before.get()).getLong(L"Size"), 8);
  EXPECT_EQ(Dispatch(before.get()).getLong(L"Bold"), 0);
  ASSERT_EQ(form.setFont(L"Tahoma", 12, true), S_OK);
  EXPECT_EQ(fake->ambientChanges, std::vector<DISPID>{DISPID_AMBIENT_FONT});
  ComPtr<IFontDisp> after = ambientFont();
  ASSERT_TRUE(after);
  EXPECT_NE(after.get(), before.get());
  EXPECT_GT(Dispatch(after.get()).getLong(L"Size"), 10);
  EXPECT_EQ(Dispatch(after.get()).getLong(L"Bold"), -1);
  EXPECT_EQ(form.setFont(nullptr, 10), E_INVALIDARG);
  EXPECT_EQ(form.setFont(L"Tahoma", -1), E_INVALIDARG);
  EXPECT_EQ(fake->ambientChanges.size(), 1u);

  // Bad input places nothing.
  FormControl* none_ = reinterpret_cast<FormControl*>(1);
  EXPECT_EQ(form.add(static_cast<IUnknown*>(nullptr), p, &none_), E_POINTER);
  EXPECT_EQ(none_, nullptr);
  EXPECT_TRUE(FAILED(form.add(L"Nx.NoSuchControl.1", p, &none_)));
  EXPECT_NE(form.add(library(), CLSID_NULL, p, &none_), S_OK);
  EXPECT_EQ(form.remove(nullptr), E_INVALIDARG);
  EXPECT_EQ(form.count(), 2u);
  bag->Release();
}

TEST(FormHost, ClosingTheFormEndsItsControls) {
  HWND barWindow = nullptr, formWindow = nullptr;
  auto fake = makeFake();
  {
    Form form;
    formWindow = form.hwnd();
    FormControl* bar = addBar(form, at(L"bar", 10, 10));
    ASSERT_TRUE(bar && addFake(form, fake.get(), at(L"fake", 10, 40, 50, 20)));
    barWindow = bar->hwnd();
    ASSERT_TRUE(IsWindow(barWindow));
    // The user's close hides the form and leaves the controls to their owner.
    SendMessageW(form.hwnd(), WM_CLOSE, 0, 0);
    EXPECT_FALSE(form.open());
    EXPECT_TRUE(IsWindow(barWindow));
  }
  EXPECT_FALSE(IsWindow(barWindow));
  EXPECT_FALSE(IsWindow(formWindow));
  EXPECT_EQ(fake->hwnd(), nullptr) << "the form deactivated the control";
  IOleClientSite* site = reinterpret_cast<IOleClientSite*>(1);
  fake->GetClientSite(&site);
  EXPECT_EQ(site, nullptr) << "the form took its site back";
}
