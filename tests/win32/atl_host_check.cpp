// Places nxwidgets.NxProgressBar in Wine's own ATL container window ("AtlAxWin", activated by
// ProgID), then talks to it through the container. Exit code 0 when everything held.
#include <windows.h>

#include <ocidl.h>

#include <cstdio>

namespace {

using AtlAxWinInitFn = BOOL(WINAPI*)();
using AtlAxGetControlFn = HRESULT(WINAPI*)(HWND, IUnknown**);

int fail(const char* what) {
  std::fprintf(stderr, "ATL host: %s\n", what);
  return 1;
}

}  // namespace

int main() {
  OleInitialize(nullptr);
  HMODULE atl = LoadLibraryW(L"atl.dll");
  if (!atl) return fail("atl.dll not found");
  auto init = reinterpret_cast<AtlAxWinInitFn>(
      reinterpret_cast<void*>(GetProcAddress(atl, "AtlAxWinInit")));
  auto getControl = reinterpret_cast<AtlAxGetControlFn>(
      reinterpret_cast<void*>(GetProcAddress(atl, "AtlAxGetControl")));
  if (!init || !getControl || !init()) return fail("AtlAxWinInit unavailable");

  HWND form = CreateWindowExW(0, L"STATIC", L"form", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 0, 0, 320,
                              120, nullptr, nullptr, nullptr, nullptr);
  HWND host = CreateWindowExW(0, L"AtlAxWin", L"nxwidgets.NxProgressBar", WS_CHILD | WS_VISIBLE, 10,
                              10, 200, 24, form, nullptr, nullptr, nullptr);
  if (!host) return fail("the container window was not created");

  int result = 0;
  IUnknown* control = nullptr;
  if (FAILED(getControl(host, &control)) || !control) {
    result = fail("no control in the container");
  } else {
    IDispatch* dispatch = nullptr;
    if (FAILED(control->QueryInterface(IID_IDispatch, reinterpret_cast<void**>(&dispatch)))) {
      result = fail("no IDispatch");
    } else {
      DISPID id = 0;
      LPOLESTR name = const_cast<LPOLESTR>(L"Value");
      VARIANT v;
      V_VT(&v) = VT_I4;
      V_I4(&v) = 250;
      DISPID named = DISPID_PROPERTYPUT;
      DISPPARAMS put = {&v, &named, 1, 1};
      DISPPARAMS none = {nullptr, nullptr, 0, 0};
      VARIANT out;
      VariantInit(&out);
      if (FAILED(dispatch->GetIDsOfNames(IID_NULL, &name, 1, 0, &id)) ||
          FAILED(dispatch->Invoke(id, IID_NULL, 0, DISPATCH_PROPERTYPUT, &put, nullptr, nullptr,
                                  nullptr)) ||
          FAILED(dispatch->Invoke(id, IID_NULL, 0, DISPATCH_PROPERTYGET, &none, &out, nullptr,
                                  nullptr)))
        result = fail("Value could not be set and read");
      else if (V_VT(&out) != VT_I4 || V_I4(&out) != 100)
        result = fail("Value was not clamped to 100");
      // The control is windowed: its own child window lives inside the container's.
      IOleWindow* window = nullptr;
      HWND hwnd = nullptr;
      if (SUCCEEDED(control->QueryInterface(IID_IOleWindow, reinterpret_cast<void**>(&window)))) {
        window->GetWindow(&hwnd);
        window->Release();
      }
      if (!hwnd || GetParent(hwnd) != host) result = fail("the control has no child window");
      dispatch->Release();
    }
    control->Release();
  }
  DestroyWindow(form);
  OleUninitialize();
  if (result == 0) std::printf("ATL host: control placed, Value clamped, window in place\n");
  return result;
}
