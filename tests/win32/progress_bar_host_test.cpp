// NxProgressBar as an ActiveX control in a form host: dispatch and vtable, events, persistence
// through property bags and streams, in-place activation, drawing and object lifetimes.
#include <windows.h>
// GUIDs of the generated header are defined in this file.
#include <initguid.h>

#include <gtest/gtest.h>
#include <ocidl.h>
#include <olectl.h>

#include <cstdint>
#include <string>
#include <vector>

#include "handle_census.h"
#include "nxwidgets_h.h"
#include "platform/win32/formhost/form_host.h"

using nx::formhost::boolVariant;
using nx::formhost::ComPtr;
using nx::formhost::Dispatch;
using nx::formhost::EventSink;
using nx::formhost::FormSite;
using nx::formhost::MemoryBag;
using nx::formhost::NotifySink;

namespace {

// The library, loaded once for the whole test program.
class Library {
 public:
  static Library& get() {
    static Library library;
    return library;
  }
  ComPtr<IOleObject> create() {
    ComPtr<IOleObject> object;
    EXPECT_EQ(library_.create(CLSID_NxProgressBar, IID_IOleObject, object.putVoid()), S_OK);
    return object;
  }
  HRESULT canUnloadNow() { return library_.canUnloadNow(); }
  HMODULE module() const { return library_.module(); }

 private:
  Library() : ole_(OleInitialize(nullptr)), library_(NX_OCX_PATH) {}
  HRESULT ole_;
  nx::formhost::Library library_;
};

DWORD advise(IUnknown* object, REFIID iid, IUnknown* sink) {
  DWORD cookie = 0;
  EXPECT_EQ(nx::formhost::advise(object, iid, sink, &cookie), S_OK);
  return cookie;
}

void initNew(IUnknown* object) {
  ASSERT_EQ(nx::formhost::initNew(object), S_OK);
}

// Activates the control in place on the site's form; its window, or null when that failed.
HWND activateInPlace(IOleObject* object, FormSite& site) {
  return nx::formhost::activateInPlace(object, &site, site.form(), site.position);
}

}  // namespace

TEST(ProgressBarHost, NewControlValuesThroughDispatch) {
  auto object = Library::get().create();
  initNew(object.get());
  Dispatch d(object.get());
  EXPECT_EQ(d.getLong(L"Theme"), 1);
  EXPECT_EQ(d.getLong(L"Max"), 100);
  EXPECT_EQ(d.getLong(L"Min"), 0);
  EXPECT_EQ(d.getLong(L"Value"), 0);
  EXPECT_EQ(d.getLong(L"Orientation"), 0);
  EXPECT_EQ(d.getLong(L"BarColor"), 0x00873A00);
  EXPECT_EQ(d.getLong(L"BackColor"), 0x00DED9D8);
  EXPECT_EQ(d.getLong(L"BorderColor"), 0x00C9A08D);
  EXPECT_EQ(d.getLong(L"BorderStyle"), 1);
  EXPECT_EQ(d.getLong(L"LightStyle"), 1);
  EXPECT_EQ(d.getLong(L"Appearance"), 0);
  // The default property is Value.
  VARIANT v;
  VariantInit(&v);
  DISPPARAMS none = {nullptr, nullptr, 0, 0};
  ASSERT_EQ(
      d.raw()->Invoke(DISPID_VALUE, IID_NULL, 0, DISPATCH_PROPERTYGET, &none, &v, nullptr, nullptr),
      S_OK);
  EXPECT_EQ(V_VT(&v), VT_I4);
  EXPECT_EQ(V_I4(&v), 0);
}

TEST(ProgressBarHost, PropertyRulesAndErrors) {
  auto object = Library::get().create();
  initNew(object.get());
  Dispatch d(object.get());
  EXPECT_EQ(d.put(L"Value", 150), S_OK);
  EXPECT_EQ(d.getLong(L"Value"), 100);
  d.put(L"Value", 50);
  EXPECT_EQ(d.put(L"Max", 40), S_OK);
  EXPECT_EQ(d.getLong(L"Value"), 40);
  EXPECT_EQ(d.put(L"Max", 0), S_OK);  // not above Min: ignored without error
  EXPECT_EQ(d.getLong(L"Max"), 40);
  d.put(L"Theme", 2);
  EXPECT_EQ(d.getLong(L"BarColor"), 0x008D918E);
  d.put(L"BarColor", 0x00112233);
  EXPECT_EQ(d.getLong(L"Theme"), 0);

  // A text that is no number is refused with a type mismatch.
  VARIANT text;
  V_VT(&text) = VT_BSTR;
  V_BSTR(&text) = SysAllocString(L"abc");
  EXPECT_EQ(d.put(L"Value", text), DISP_E_TYPEMISMATCH);
  VariantClear(&text);
  // A variant the control cannot keep fails with a described error.
  VARIANT date;
  V_VT(&date) = VT_DATE;
  V_DATE(&date) = 45000.0;
  EXCEPINFO excep = {};
  EXPECT_EQ(d.put(L"xtrVar", date, &excep), DISP_E_EXCEPTION);
  ASSERT_NE(excep.bstrDescription, nullptr);
  EXPECT_NE(std::wstring(excep.bstrDescription).find(L"xtrVar"), std::wstring::npos);
  SysFreeString(excep.bstrSource);
  SysFreeString(excep.bstrDescription);
  SysFreeString(excep.bstrHelpFile);
  // Read-only properties have no put.
  EXPECT_NE(d.put(L"Percentage", 5), S_OK);
}

TEST(ProgressBarHost, EarlyBoundCallsUseTheSameRules) {
  auto object = Library::get().create();
  initNew(object.get());
  ComPtr<_NxProgressBar> bar;
  ASSERT_EQ(object->QueryInterface(IID__NxProgressBar, bar.putVoid()), S_OK);
  EXPECT_EQ(bar->put_Value(70), S_OK);
  long value = 0;
  EXPECT_EQ(bar->get_Value(&value), S_OK);
  EXPECT_EQ(value, 70);
  EXPECT_EQ(bar->put_Max(60), S_OK);
  EXPECT_EQ(bar->get_Value(&value), S_OK);
  EXPECT_EQ(value, 60);
  float percentage = 0;
  EXPECT_EQ(bar->get_Percentage(&percentage), S_OK);
  PB_ORIENTATION orientation = orVertical;
  EXPECT_EQ(bar->get_Orientation(&orientation), S_OK);
  EXPECT_EQ(orientation, orHorizontal);
  VARIANT v;
  V_VT(&v) = VT_BSTR;
  V_BSTR(&v) = SysAllocString(L"kept for the host");
  EXPECT_EQ(bar->put_xtrVar(v), S_OK);
  VariantClear(&v);
  EXPECT_EQ(bar->get_xtrVar(&v), S_OK);
  ASSERT_EQ(V_VT(&v), VT_BSTR);
  EXPECT_STREQ(V_BSTR(&v), L"kept for the host");
  VariantClear(&v);
  IPictureDisp* picture = nullptr;
  EXPECT_EQ(bar->get_Image(&picture), S_OK);
  ASSERT_NE(picture, nullptr);
  picture->Release();
}

TEST(ProgressBarHost, EventsReachSinksInOrder) {
  auto object = Library::get().create();
  FormSite site;
  object->SetClientSite(&site);
  initNew(object.get());
  auto* sink = new EventSink;
  advise(object.get(), DIID___NxProgressBar, sink);
  Dispatch d(object.get());
  d.put(L"Value", 150);
  d.put(L"Value", 100);  // same value after clamping: no event
  d.put(L"Value", 20);
  EXPECT_EQ(sink->count(3), 2);
  d.put(L"Max", 10);  // Value follows Max without Change
  EXPECT_EQ(sink->count(3), 2);

  HWND hwnd = activateInPlace(object.get(), site);
  ASSERT_TRUE(IsWindow(hwnd));
  EXPECT_EQ(GetParent(hwnd), site.form());
  SendMessageW(hwnd, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(5, 5));
  SendMessageW(hwnd, WM_LBUTTONUP, 0, MAKELPARAM(5, 5));
  SendMessageW(hwnd, WM_LBUTTONDBLCLK, MK_LBUTTON, MAKELPARAM(5, 5));
  EXPECT_EQ(sink->count(1), 1);
  EXPECT_EQ(sink->count(2), 1);
  ASSERT_FALSE(sink->events.empty());
  EXPECT_EQ(sink->events.back().id, 2);
  object->Close(OLECLOSE_NOSAVE);
  EXPECT_FALSE(IsWindow(hwnd));
  object->SetClientSite(nullptr);
  sink->Release();
}

TEST(ProgressBarHost, PropertyBagRoundTrip) {
  {
    // A new control is horizontal although the store's default is vertical: it says so.
    auto* fresh = new MemoryBag;
    auto object = Library::get().create();
    initNew(object.get());
    ComPtr<IPersistPropertyBag> persist;
    object->QueryInterface(IID_IPersistPropertyBag, persist.putVoid());
    ASSERT_EQ(persist->Save(fresh, TRUE, TRUE), S_OK);
    const VARIANT* orient = fresh->find(L"orient");
    ASSERT_NE(orient, nullptr);
    VARIANT v;
    VariantInit(&v);
    VariantChangeType(&v, const_cast<VARIANT*>(orient), 0, VT_I4);
    EXPECT_EQ(V_I4(&v), 0);
    EXPECT_FALSE(fresh->has(L"minv"));  // equal to its default: left out
    fresh->Release();
  }
  auto* bag = new MemoryBag;
  {
    auto object = Library::get().create();
    initNew(object.get());
    Dispatch d(object.get());
    d.put(L"Theme", 4);
    d.put(L"Min", -5);
    d.put(L"Max", 500);
    d.put(L"Value", 123);
    d.put(L"Orientation", 1);
    ComPtr<IPersistPropertyBag> persist;
    ASSERT_EQ(object->QueryInterface(IID_IPersistPropertyBag, persist.putVoid()), S_OK);
    ASSERT_EQ(persist->Save(bag, TRUE, TRUE), S_OK);
  }
  EXPECT_FALSE(bag->has(L"orient"));  // vertical is the default
  EXPECT_TRUE(bag->has(L"BARCOLOR"));
  EXPECT_FALSE(bag->has(L"thm"));
  EXPECT_FALSE(bag->has(L"Theme"));
  {
    auto object = Library::get().create();
    ComPtr<IPersistPropertyBag> persist;
    object->QueryInterface(IID_IPersistPropertyBag, persist.putVoid());
    ASSERT_EQ(persist->Load(bag, nullptr), S_OK);
    Dispatch d(object.get());
    EXPECT_EQ(d.getLong(L"Theme"), 0);  // not stored: a reloaded control reports custom
    EXPECT_EQ(d.getLong(L"BarColor"), 0x000000C0);
    EXPECT_EQ(d.getLong(L"Appearance"), 1);
    EXPECT_EQ(d.getLong(L"Min"), -5);
    EXPECT_EQ(d.getLong(L"Max"), 500);
    EXPECT_EQ(d.getLong(L"Value"), 123);
    EXPECT_EQ(d.getLong(L"Orientation"), 1);
    // Loading twice is refused.
    EXPECT_EQ(persist->Load(bag, nullptr), E_UNEXPECTED);
  }
  bag->Release();
}

TEST(ProgressBarHost, StreamRoundTripAndBadStreams) {
  ComPtr<IStream> stream;
  ASSERT_EQ(CreateStreamOnHGlobal(nullptr, TRUE, stream.put()), S_OK);
  {
    auto object = Library::get().create();
    initNew(object.get());
    Dispatch d(object.get());
    d.put(L"Value", 77);
    d.put(L"LightStyle", 0);
    VARIANT v;
    V_VT(&v) = VT_BSTR;
    V_BSTR(&v) = SysAllocString(L"tag");
    d.put(L"xtrVar", v);
    VariantClear(&v);
    ComPtr<IPersistStreamInit> persist;
    object->QueryInterface(IID_IPersistStreamInit, persist.putVoid());
    EXPECT_EQ(persist->IsDirty(), S_OK);  // a new control is at design time: changes count
    ASSERT_EQ(persist->Save(stream.get(), TRUE), S_OK);
  }
  LARGE_INTEGER zero = {};
  stream->Seek(zero, STREAM_SEEK_SET, nullptr);
  {
    auto object = Library::get().create();
    ComPtr<IPersistStreamInit> persist;
    object->QueryInterface(IID_IPersistStreamInit, persist.putVoid());
    ASSERT_EQ(persist->Load(stream.get()), S_OK);
    Dispatch d(object.get());
    EXPECT_EQ(d.getLong(L"Value"), 77);
    EXPECT_EQ(d.getLong(L"LightStyle"), 0);
    VARIANT tag = d.get(L"xtrVar");
    ASSERT_EQ(V_VT(&tag), VT_BSTR);
    EXPECT_STREQ(V_BSTR(&tag), L"tag");
    VariantClear(&tag);
  }
  // Truncated or foreign data is refused, and the control stays usable as a new one.
  ComPtr<IStream> bad;
  CreateStreamOnHGlobal(nullptr, TRUE, bad.put());
  const char junk[] = "\x10\x00\x00\x00NXPQ\x01\x00";
  bad->Write(junk, sizeof junk - 1, nullptr);
  bad->Seek(zero, STREAM_SEEK_SET, nullptr);
  auto object = Library::get().create();
  ComPtr<IPersistStreamInit> persist;
  object->QueryInterface(IID_IPersistStreamInit, persist.putVoid());
  EXPECT_NE(persist->Load(bad.get()), S_OK);
  Dispatch d(object.get());
  EXPECT_EQ(d.getLong(L"Max"), 100);
}

TEST(ProgressBarHost, NotificationsOnlyAtDesignTime) {
  for (const bool userMode : {false, true}) {
    auto* bag = new MemoryBag;
    auto object = Library::get().create();
    FormSite site;
    site.ambient().set(L"UserMode", DISPID_AMBIENT_USERMODE, boolVariant(userMode));
    object->SetClientSite(&site);
    ComPtr<IPersistPropertyBag> persist;
    object->QueryInterface(IID_IPersistPropertyBag, persist.putVoid());
    ASSERT_EQ(persist->Load(bag, nullptr), S_OK);  // a stored control
    auto* notify = new NotifySink;
    advise(object.get(), IID_IPropertyNotifySink, notify);
    Dispatch d(object.get());
    d.put(L"Value", 30);
    d.put(L"BarColor", 0x123456);
    EXPECT_EQ(notify->changed > 0, !userMode) << "user mode " << userMode;
    if (!userMode) {
      // Each notification names the property: Value is the default property, BarColor id 7.
      ASSERT_EQ(notify->ids.size(), 2u);
      EXPECT_EQ(notify->ids[0], DISPID_VALUE);
      EXPECT_EQ(notify->ids[1], 7);
    }
    ComPtr<IPersistStreamInit> stream;
    object->QueryInterface(IID_IPersistStreamInit, stream.putVoid());
    EXPECT_EQ(stream->IsDirty(), userMode ? S_FALSE : S_OK);
    object->Close(OLECLOSE_NOSAVE);
    object->SetClientSite(nullptr);
    notify->Release();
    bag->Release();
  }
}

TEST(ProgressBarHost, DrawsTheBarThroughTheView) {
  auto object = Library::get().create();
  initNew(object.get());
  SIZEL size = {MulDiv(200, 2540, 96), MulDiv(20, 2540, 96)};
  ASSERT_EQ(object->SetExtent(DVASPECT_CONTENT, &size), S_OK);
  Dispatch d(object.get());
  d.put(L"Theme", 3);  // vitamin: orange bar on a light background
  d.put(L"Value", 50);
  ComPtr<IViewObject2> view;
  ASSERT_EQ(object->QueryInterface(IID_IViewObject2, view.putVoid()), S_OK);

  HDC screen = GetDC(nullptr);
  HDC dc = CreateCompatibleDC(screen);
  HBITMAP bitmap = CreateCompatibleBitmap(screen, 200, 20);
  ReleaseDC(nullptr, screen);
  HGDIOBJ old = SelectObject(dc, bitmap);
  RECTL bounds = {0, 0, 200, 20};
  ASSERT_EQ(
      view->Draw(DVASPECT_CONTENT, -1, nullptr, nullptr, nullptr, dc, &bounds, nullptr, nullptr, 0),
      S_OK);
  // Flat look with a single border in BorderColor (0x808080).
  EXPECT_EQ(GetPixel(dc, 0, 0), 0x808080u);
  EXPECT_EQ(GetPixel(dc, 199, 19), 0x808080u);
  // Inside the filled half the bar's orange dominates: red high, blue low.
  const COLORREF filled = GetPixel(dc, 50, 15);
  EXPECT_GT(GetRValue(filled), 200);
  EXPECT_LT(GetBValue(filled), 60);
  // Beyond the fill the light background.
  const COLORREF empty = GetPixel(dc, 150, 15);
  EXPECT_GT(GetBValue(empty), 180);
  SelectObject(dc, old);
  DeleteObject(bitmap);
  DeleteDC(dc);
}

TEST(ProgressBarHost, BareSiteLeavesDefaults) {
  auto object = Library::get().create();
  FormSite site;
  site.withAmbient = false;
  site.withExtender = false;
  object->SetClientSite(&site);
  initNew(object.get());
  ASSERT_EQ(
      object->DoVerb(OLEIVERB_INPLACEACTIVATE, nullptr, &site, 0, site.form(), &site.position),
      S_OK);
  Dispatch d(object.get());
  EXPECT_EQ(d.put(L"Value", 10), S_OK);
  EXPECT_EQ(d.getLong(L"Value"), 10);
  object->Close(OLECLOSE_NOSAVE);
  object->SetClientSite(nullptr);
}

TEST(ProgressBarHost, ManyCyclesLeakNothing) {
  FormSite site;  // one form; each cycle places a control on it
  auto cycle = [&site] {
    auto object = Library::get().create();
    object->SetClientSite(&site);
    initNew(object.get());
    object->DoVerb(OLEIVERB_INPLACEACTIVATE, nullptr, &site, 0, site.form(), &site.position);
    Dispatch(object.get()).put(L"Value", 40);
    nx::formhost::pumpMessages();
    object->Close(OLECLOSE_NOSAVE);
    object->SetClientSite(nullptr);
  };
  cycle();  // first use loads what stays loaded
  // The system's own object counters answer 0 under Wine: the census counts the library's
  // calls that create and release window-system objects.
  static const bool watched = nx::test::watchLibrary(Library::get().module());
  ASSERT_TRUE(watched);
  const nx::test::Census before = nx::test::census();
  for (int i = 0; i < 1000; ++i) cycle();
  nx::formhost::pumpMessages();
  const nx::test::Census after = nx::test::census();
  EXPECT_EQ(after, before) << "before " << before.describe() << "; after " << after.describe();
  EXPECT_EQ(Library::get().canUnloadNow(), S_OK);
}

TEST(ProgressBarHost, WindowShowsTheDrawingAndFollowsTheHost) {
  auto object = Library::get().create();
  FormSite site;
  site.position = {20, 20, 220, 44};
  object->SetClientSite(&site);
  initNew(object.get());
  Dispatch d(object.get());
  d.put(L"Theme", 5);
  d.put(L"Value", 60);
  HWND hwnd = activateInPlace(object.get(), site);
  ASSERT_TRUE(IsWindow(hwnd));
  ComPtr<IOleInPlaceObject> inPlace;
  object->QueryInterface(IID_IOleInPlaceObject, inPlace.putVoid());
  SetForegroundWindow(site.form());
  UpdateWindow(hwnd);
  nx::formhost::pumpMessages();

  // What the window shows on screen is what the view draws.
  RECT screenRect;
  GetWindowRect(hwnd, &screenRect);
  const int w = screenRect.right - screenRect.left;
  const int h = screenRect.bottom - screenRect.top;
  EXPECT_EQ(w, 200);
  EXPECT_EQ(h, 24);
  HDC screen = GetDC(nullptr);
  HDC shot = CreateCompatibleDC(screen);
  HBITMAP shotBitmap = CreateCompatibleBitmap(screen, w, h);
  HGDIOBJ oldShot = SelectObject(shot, shotBitmap);
  BitBlt(shot, 0, 0, w, h, screen, screenRect.left, screenRect.top, SRCCOPY);
  HDC drawn = CreateCompatibleDC(screen);
  HBITMAP drawnBitmap = CreateCompatibleBitmap(screen, w, h);
  HGDIOBJ oldDrawn = SelectObject(drawn, drawnBitmap);
  ReleaseDC(nullptr, screen);
  ComPtr<IViewObject> view;
  object->QueryInterface(IID_IViewObject, view.putVoid());
  RECTL bounds = {0, 0, w, h};
  view->Draw(DVASPECT_CONTENT, -1, nullptr, nullptr, nullptr, drawn, &bounds, nullptr, nullptr, 0);
  int differing = 0;
  // Inside the 3D edge (which the window manager's theme may draw differently).
  for (int y = 2; y < h - 2; ++y)
    for (int x = 2; x < w - 2; ++x) differing += GetPixel(shot, x, y) != GetPixel(drawn, x, y);
  EXPECT_EQ(differing, 0);
  SelectObject(shot, oldShot);
  SelectObject(drawn, oldDrawn);
  DeleteObject(shotBitmap);
  DeleteObject(drawnBitmap);
  DeleteDC(shot);
  DeleteDC(drawn);

  // The host moves and resizes the control: the window and the drawing follow.
  RECT moved = {30, 60, 130, 90};
  ASSERT_EQ(inPlace->SetObjectRects(&moved, &moved), S_OK);
  RECT now;
  GetWindowRect(hwnd, &now);
  MapWindowPoints(nullptr, site.form(), reinterpret_cast<POINT*>(&now), 2);
  EXPECT_EQ(now.left, 30);
  EXPECT_EQ(now.right - now.left, 100);
  EXPECT_EQ(now.bottom - now.top, 30);
  SIZEL extent = {};
  object->GetExtent(DVASPECT_CONTENT, &extent);
  EXPECT_EQ(extent.cx, MulDiv(100, 2540, 96));

  // Focus and keys reach the control, and the host hears of the focus.
  const int before = site.focusChanges;
  SetFocus(hwnd);
  EXPECT_EQ(GetFocus(), hwnd);
  // Taking the focus made the control the frame's active object.
  ComPtr<IOleInPlaceActiveObject> active;
  object->QueryInterface(IID_IOleInPlaceActiveObject, active.putVoid());
  EXPECT_EQ(site.frame().active(), active.get());
  SendMessageW(hwnd, WM_KEYDOWN, VK_RIGHT, 0);
  SendMessageW(hwnd, WM_CHAR, 'a', 0);
  SendMessageW(hwnd, WM_KEYUP, VK_RIGHT, 0);
  SetFocus(site.form());
  EXPECT_EQ(site.focusChanges, before + 2);
  EXPECT_EQ(d.getLong(L"Value"), 60);
  object->Close(OLECLOSE_NOSAVE);
  EXPECT_EQ(site.frame().active(), nullptr) << "deactivation clears the active object";
  object->SetClientSite(nullptr);
}

TEST(ProgressBarHost, HandlerMayDropTheLastReference) {
  auto object = Library::get().create();
  FormSite site;
  object->SetClientSite(&site);
  initNew(object.get());
  auto* sink = new EventSink;
  advise(object.get(), DIID___NxProgressBar, sink);
  HWND hwnd = activateInPlace(object.get(), site);
  ASSERT_TRUE(IsWindow(hwnd));
  // The form closes from the Click handler, as a host's "Unload" does.
  sink->onEvent = [&](DISPID id, DISPPARAMS*) {
    if (id != 1 || !object) return;
    object->Close(OLECLOSE_NOSAVE);
    object->SetClientSite(nullptr);
    object.reset();
  };
  SendMessageW(hwnd, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(3, 3));
  SendMessageW(hwnd, WM_LBUTTONUP, 0, MAKELPARAM(3, 3));
  EXPECT_FALSE(object);
  EXPECT_FALSE(IsWindow(hwnd));
  EXPECT_EQ(sink->count(1), 1);
  sink->Release();
}

TEST(ProgressBarHost, ColoursAndTypeInformationForClients) {
  auto object = Library::get().create();
  initNew(object.get());
  ComPtr<_NxProgressBar> bar;
  ASSERT_EQ(object->QueryInterface(IID__NxProgressBar, bar.putVoid()), S_OK);
  // A system colour (negative as a signed number) comes back unchanged, early and late bound.
  EXPECT_EQ(bar->put_BackColor(0x8000000F), S_OK);
  OLE_COLOR colour = 0;
  EXPECT_EQ(bar->get_BackColor(&colour), S_OK);
  EXPECT_EQ(colour, 0x8000000Fu);
  Dispatch d(object.get());
  EXPECT_EQ(static_cast<unsigned long>(d.getLong(L"BackColor")), 0x8000000Fu);
  // A script's negative number reaches an unsigned colour with its bits, and the caller's
  // argument is left as it was.
  VARIANT signedColour;
  V_VT(&signedColour) = VT_I4;
  V_I4(&signedColour) = static_cast<LONG>(0x80000012u);
  DISPID put = DISPID_PROPERTYPUT;
  DISPPARAMS params = {&signedColour, &put, 1, 1};
  ASSERT_EQ(
      d.raw()->Invoke(7, IID_NULL, 0, DISPATCH_PROPERTYPUT, &params, nullptr, nullptr, nullptr),
      S_OK);
  EXPECT_EQ(V_VT(&signedColour), VT_I4);
  EXPECT_EQ(static_cast<unsigned long>(d.getLong(L"BarColor")), 0x80000012u);
  // Clients asking for type information get the dispatch view of the dual interface.
  ComPtr<ITypeInfo> info;
  ASSERT_EQ(d.raw()->GetTypeInfo(0, 0, info.put()), S_OK);
  TYPEATTR* attr = nullptr;
  ASSERT_EQ(info->GetTypeAttr(&attr), S_OK);
  EXPECT_EQ(attr->typekind, TKIND_DISPATCH);
  EXPECT_EQ(attr->guid, IID__NxProgressBar);
  info->ReleaseTypeAttr(attr);
  // The class information names the default event interface.
  ComPtr<IProvideClassInfo2> classInfo;
  ASSERT_EQ(object->QueryInterface(IID_IProvideClassInfo2, classInfo.putVoid()), S_OK);
  GUID events = {};
  EXPECT_EQ(classInfo->GetGUID(GUIDKIND_DEFAULT_SOURCE_DISP_IID, &events), S_OK);
  EXPECT_EQ(events, DIID___NxProgressBar);
}
