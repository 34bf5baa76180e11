// The framework's capabilities under Wine, through nxprobe.ocx: a method with by-reference and
// optional arguments late- and early-bound, access keys and mnemonics, ambient changes, a text
// part typed to with keyboard messages, a timer that ticks and stops.
#include <windows.h>
// GUIDs of the generated header are defined in this file.
#include <initguid.h>

#include <gtest/gtest.h>
#include <ocidl.h>
#include <olectl.h>

#include <string>

#include "nxprobe_h.h"
#include "platform/win32/formhost/form_host.h"

using nx::formhost::ComPtr;
using nx::formhost::EventSink;
using nx::formhost::FormSite;

namespace {

using GetClassObjectFn = HRESULT(STDAPICALLTYPE*)(REFCLSID, REFIID, void**);

ComPtr<IOleObject> createProbe() {
  static HMODULE module = [] {
    OleInitialize(nullptr);
    return LoadLibraryA(NX_PROBE_PATH);
  }();
  auto get = reinterpret_cast<GetClassObjectFn>(
      reinterpret_cast<void*>(GetProcAddress(module, "DllGetClassObject")));
  ComPtr<IClassFactory> factory;
  ComPtr<IOleObject> object;
  if (!get || FAILED(get(CLSID_NxProbe, IID_IClassFactory, factory.putVoid()))) return object;
  factory->CreateInstance(nullptr, IID_IOleObject, object.putVoid());
  ComPtr<IPersistStreamInit> persist;
  if (object && SUCCEEDED(object->QueryInterface(IID_IPersistStreamInit, persist.putVoid())))
    persist->InitNew();
  return object;
}

DISPID idOf(IDispatch* d, const wchar_t* name) {
  DISPID id = DISPID_UNKNOWN;
  LPOLESTR names[] = {const_cast<LPOLESTR>(name)};
  d->GetIDsOfNames(IID_NULL, names, 1, LOCALE_USER_DEFAULT, &id);
  return id;
}

long getLong(IDispatch* d, const wchar_t* name) {
  DISPPARAMS none = {nullptr, nullptr, 0, 0};
  VARIANT out;
  VariantInit(&out);
  d->Invoke(idOf(d, name), IID_NULL, 0, DISPATCH_PROPERTYGET, &none, &out, nullptr, nullptr);
  VariantChangeType(&out, &out, 0, VT_I4);
  return V_VT(&out) == VT_I4 ? V_I4(&out) : -999;
}

std::wstring getText(IDispatch* d, const wchar_t* name) {
  DISPPARAMS none = {nullptr, nullptr, 0, 0};
  VARIANT out;
  VariantInit(&out);
  d->Invoke(idOf(d, name), IID_NULL, 0, DISPATCH_PROPERTYGET, &none, &out, nullptr, nullptr);
  std::wstring text = V_VT(&out) == VT_BSTR && V_BSTR(&out) ? V_BSTR(&out) : L"";
  VariantClear(&out);
  return text;
}

HRESULT putText(IDispatch* d, const wchar_t* name, const wchar_t* value) {
  VARIANT v;
  V_VT(&v) = VT_BSTR;
  V_BSTR(&v) = SysAllocString(value);
  DISPID named = DISPID_PROPERTYPUT;
  DISPPARAMS params = {&v, &named, 1, 1};
  const HRESULT hr = d->Invoke(idOf(d, name), IID_NULL, 0, DISPATCH_PROPERTYPUT, &params, nullptr,
                               nullptr, nullptr);
  VariantClear(&v);
  return hr;
}

HRESULT call(IDispatch* d, const wchar_t* name, VARIANT* argsReversed, UINT count,
             VARIANT* result = nullptr) {
  DISPPARAMS params = {argsReversed, nullptr, count, 0};
  return d->Invoke(idOf(d, name), IID_NULL, 0, DISPATCH_METHOD, &params, result, nullptr, nullptr);
}

void pumpFor(DWORD ms) {
  const DWORD end = GetTickCount() + ms;
  while (static_cast<LONG>(end - GetTickCount()) > 0) {
    MSG msg;
    while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
      TranslateMessage(&msg);
      DispatchMessageW(&msg);
    }
    Sleep(5);
  }
}

TEST(Probe, MethodWithByReferenceAndOptionalArgumentsLateAndEarlyBound) {
  ComPtr<IOleObject> object = createProbe();
  ASSERT_TRUE(object);
  ComPtr<IDispatch> d;
  ASSERT_EQ(object->QueryInterface(IID_IDispatch, d.putVoid()), S_OK);

  // Add(3, total) with total = 10 by reference and step left out (default 1).
  LONG total = 10;
  VARIANT args[2];
  V_VT(&args[0]) = VT_I4 | VT_BYREF;
  V_I4REF(&args[0]) = &total;
  V_VT(&args[1]) = VT_I4;
  V_I4(&args[1]) = 3;
  VARIANT result;
  VariantInit(&result);
  ASSERT_EQ(call(d.get(), L"Add", args, 2, &result), S_OK);
  EXPECT_EQ(total, 13);
  EXPECT_EQ(V_VT(&result), VT_BOOL);
  EXPECT_EQ(V_BOOL(&result), VARIANT_TRUE);

  // All three, the total passed as a reference to a variant (as script engines pass them).
  VARIANT boxed;
  V_VT(&boxed) = VT_I4;
  V_I4(&boxed) = 1;
  VARIANT three[3];
  V_VT(&three[0]) = VT_I4;
  V_I4(&three[0]) = 5;
  V_VT(&three[1]) = VT_VARIANT | VT_BYREF;
  V_VARIANTREF(&three[1]) = &boxed;
  V_VT(&three[2]) = VT_I2;
  V_I2(&three[2]) = 2;
  ASSERT_EQ(call(d.get(), L"Add", three, 3, &result), S_OK);
  VariantChangeType(&boxed, &boxed, 0, VT_I4);
  EXPECT_EQ(V_I4(&boxed), 11);

  // Early bound through the vtable.
  ComPtr<_NxProbe> probe;
  ASSERT_EQ(object->QueryInterface(IID__NxProbe, probe.putVoid()), S_OK);
  LONG t = 100;
  VARIANT_BOOL ok = VARIANT_FALSE;
  EXPECT_EQ(probe->Add(7, &t, 3, &ok), S_OK);
  EXPECT_EQ(t, 121);
  EXPECT_EQ(ok, VARIANT_TRUE);
  EXPECT_EQ(probe->Add(1, nullptr, 1, &ok), E_POINTER);

  // An earlier identifier of the default interface gives the same interface.
  const IID earlier = {
      0x9B6C0981, 0x2917, 0x459B, {0xBF, 0x73, 0x33, 0x36, 0x82, 0x38, 0x29, 0xD9}};
  ComPtr<IDispatch> viaAlias;
  ASSERT_EQ(object->QueryInterface(earlier, viaAlias.putVoid()), S_OK);
  EXPECT_EQ(static_cast<void*>(viaAlias.get()), static_cast<void*>(probe.get()));
  object->Close(OLECLOSE_NOSAVE);
}

TEST(Probe, AccessKeyMnemonicAndAmbientChanges) {
  ComPtr<IOleObject> object = createProbe();
  ASSERT_TRUE(object);
  ComPtr<IDispatch> d;
  object->QueryInterface(IID_IDispatch, d.putVoid());
  ComPtr<IOleControl> control;
  ASSERT_EQ(object->QueryInterface(IID_IOleControl, control.putVoid()), S_OK);

  CONTROLINFO info = {};
  info.cb = sizeof(info);
  ASSERT_EQ(control->GetControlInfo(&info), S_OK);
  ASSERT_EQ(info.cAccel, 2);
  ACCEL entries[2] = {};
  ASSERT_EQ(CopyAcceleratorTableW(info.hAccel, entries, 2), 2);
  EXPECT_EQ(entries[0].key, 'P');
  EXPECT_EQ(entries[0].fVirt & FALT, FALT);

  ASSERT_EQ(putText(d.get(), L"Caption", L"Save &As"), S_OK);
  ASSERT_EQ(control->GetControlInfo(&info), S_OK);
  ASSERT_EQ(CopyAcceleratorTableW(info.hAccel, entries, 2), 2);
  EXPECT_EQ(entries[0].key, 'A');
  ASSERT_EQ(putText(d.get(), L"Caption", L"No key && none"), S_OK);
  ASSERT_EQ(control->GetControlInfo(&info), S_OK);
  EXPECT_EQ(info.cAccel, 0);

  MSG msg = {};
  EXPECT_EQ(control->OnMnemonic(&msg), S_OK);
  EXPECT_EQ(getLong(d.get(), L"Mnemonics"), 1);
  EXPECT_EQ(control->OnAmbientPropertyChange(DISPID_AMBIENT_USERMODE), S_OK);
  EXPECT_EQ(control->OnAmbientPropertyChange(DISPID_AMBIENT_DISPLAYASDEFAULT), S_OK);
  EXPECT_EQ(control->OnAmbientPropertyChange(DISPID_AMBIENT_BACKCOLOR), S_OK);  // not ours
  EXPECT_EQ(getText(d.get(), L"AmbientLog"), L"UserMode;DisplayAsDefault;");
  object->Close(OLECLOSE_NOSAVE);
}

TEST(Probe, TextPartFiltersTypedKeysAndTimerTicks) {
  ComPtr<IOleObject> object = createProbe();
  ASSERT_TRUE(object);
  ComPtr<IDispatch> d;
  object->QueryInterface(IID_IDispatch, d.putVoid());
  FormSite site;
  site.position = {10, 10, 310, 40};
  auto* sink = new EventSink;
  // The host changes '7' into '8' through the by-reference argument.
  sink->onEvent = [](DISPID id, DISPPARAMS* params) {
    if (id != 3 || params->cArgs != 1) return;
    VARIANT& a = params->rgvarg[0];
    if (V_VT(&a) == (VT_I2 | VT_BYREF) && *V_I2REF(&a) == '7') *V_I2REF(&a) = '8';
  };
  ComPtr<IConnectionPointContainer> cpc;
  ComPtr<IConnectionPoint> cp;
  DWORD cookie = 0;
  ASSERT_EQ(object->QueryInterface(IID_IConnectionPointContainer, cpc.putVoid()), S_OK);
  ASSERT_EQ(cpc->FindConnectionPoint(DIID___NxProbe, cp.put()), S_OK);
  ASSERT_EQ(cp->Advise(sink, &cookie), S_OK);

  ASSERT_EQ(
      object->DoVerb(OLEIVERB_INPLACEACTIVATE, nullptr, &site, 0, site.form(), &site.position),
      S_OK);
  ComPtr<IOleInPlaceObject> inPlace;
  object->QueryInterface(IID_IOleInPlaceObject, inPlace.putVoid());
  HWND hwnd = nullptr;
  ASSERT_EQ(inPlace->GetWindow(&hwnd), S_OK);
  HWND edit = FindWindowExW(hwnd, nullptr, L"Edit", nullptr);
  ASSERT_NE(edit, nullptr);
  SetFocus(edit);
  for (wchar_t ch : std::wstring(L"1.5ab7x")) PostMessageW(edit, WM_CHAR, ch, 0);
  pumpFor(50);
  EXPECT_EQ(getText(d.get(), L"Text"), L"1,58x");
  EXPECT_EQ(sink->count(3), 7);

  VARIANT ms;
  V_VT(&ms) = VT_I4;
  V_I4(&ms) = 20;
  ASSERT_EQ(call(d.get(), L"StartTimer", &ms, 1), S_OK);
  for (int i = 0; i < 100 && getLong(d.get(), L"Ticks") < 3; ++i) pumpFor(20);
  EXPECT_GE(getLong(d.get(), L"Ticks"), 3);
  EXPECT_GE(sink->count(2), 3);
  ASSERT_EQ(call(d.get(), L"StopTimer", nullptr, 0), S_OK);
  const long stopped = getLong(d.get(), L"Ticks");
  pumpFor(150);
  EXPECT_EQ(getLong(d.get(), L"Ticks"), stopped);

  cp->Unadvise(cookie);
  object->Close(OLECLOSE_NOSAVE);
  object->SetClientSite(nullptr);
  sink->Release();
}

// Several probes on one form: each walks the form's controls from inside through its extender's
// Parent.Controls; Alt+letter typed on the form reaches the control with that access key; a
// UserMode switch of the form reaches every control.
TEST(Probe, OnAFormWithOthers) {
  createProbe();  // loads the library and OLE for this thread
  nx::formhost::Library lib(NX_PROBE_PATH);
  nx::formhost::Form form(L"probes", 500, 200);
  nx::formhost::FormControl* controls[3] = {};
  const wchar_t* names[3] = {L"First", L"Second", L"Third"};
  for (int i = 0; i < 3; ++i) {
    nx::formhost::Placement where;
    where.name = names[i];
    where.position = {10, 10 + 40 * i, 310, 40 + 40 * i};
    ASSERT_EQ(form.add(lib, CLSID_NxProbe, where, &controls[i]), S_OK);
    controls[i]->dispatch().put(L"Value", 10L * (i + 1));
  }
  ASSERT_EQ(putText(controls[1]->dispatch().raw(), L"Caption", L"&Second"), S_OK);
  ASSERT_EQ(putText(controls[2]->dispatch().raw(), L"Caption", L"T&hird"), S_OK);
  EXPECT_EQ(controls[0]->dispatch().getLong(L"FormControls"), 3);
  EXPECT_EQ(controls[2]->dispatch().getLong(L"FormSum"), 60);

  // Alt+H, typed to the focused first control, goes to the third one.
  ASSERT_TRUE(form.focus(controls[0]));
  HWND focus = GetFocus();
  PostMessageW(focus, WM_SYSKEYDOWN, 'H', 0x20000000);
  PostMessageW(focus, WM_SYSKEYUP, 'H', 0xE0000000);
  form.pumpMessages();
  EXPECT_EQ(controls[2]->dispatch().getLong(L"Mnemonics"), 1);
  EXPECT_EQ(controls[1]->dispatch().getLong(L"Mnemonics"), 0);
  EXPECT_EQ(controls[0]->dispatch().getLong(L"Mnemonics"), 0);

  form.setUserMode(false);
  for (auto* c : controls) EXPECT_EQ(c->dispatch().getText(L"AmbientLog"), L"UserMode;");
  for (auto* c : controls) form.remove(c);
}

}  // namespace
