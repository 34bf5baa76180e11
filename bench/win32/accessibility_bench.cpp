// Cost of one full accessibility walk of a form: the gallery form with one control of each of the
// nine classes (the five libraries), walked as a screen reader reads a form: for every child
// window of the form AccessibleObjectFromWindow, then role, name, value, description, states,
// default action and keyboard shortcut of the window's element and of each of its children
// (AccessibleChildren). Side by side: the same walk over a form of nine of the platform's own
// controls of the same kinds (check box, link text, progress bar, group box, push button, edit
// boxes), which the system's standard accessibility objects answer for.
//   accessibility_bench <nxwidgets.ocx> <nxpress.ocx> <nxslider.ocx> <nxcurrency.ocx>
//                       <nxtaxid.ocx>
// After the timing the bench checks that a walk read every element (at least the nine controls
// and the VAT number's three parts) and that walking drew nothing: no control window was
// invalidated or painted while the walks ran (answering costs no redraw).
// Exit status: 0 measured, 1 a library, the form or a control could not be made (or a check
// failed), 2 usage.
#include <windows.h>

#include <commctrl.h>
#include <oleacc.h>

#include <cstdio>
#include <string>
#include <vector>

#include "alternating_rounds.h"
#include "bench_windows.h"
#include "platform/win32/formhost/form.h"
#include "platform/win32/formhost/form_host.h"

using nx::bench::alternatingMedians;
using nx::bench::rectAt;
using nx::bench::WindowHandle;
using nx::formhost::ComPtr;
using nx::formhost::Form;
using nx::formhost::FormControl;
using nx::formhost::Library;
using nx::formhost::Placement;

namespace {

// Gathers the child windows EnumChildWindows reports.
BOOL CALLBACK collectWindow(HWND hwnd, LPARAM windows) {
  reinterpret_cast<std::vector<HWND>*>(windows)->push_back(hwnd);
  return TRUE;
}

int paints = 0;
LRESULT CALLBACK countPaints(int code, WPARAM wParam, LPARAM lParam) {
  const auto* msg = reinterpret_cast<const MSG*>(lParam);
  if (code == HC_ACTION && msg->message == WM_PAINT) ++paints;
  return CallNextHookEx(nullptr, code, wParam, lParam);
}

void pump() {
  MSG msg;
  while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
    TranslateMessage(&msg);
    DispatchMessageW(&msg);
  }
}

GUID guidOf(const std::wstring& path, const wchar_t* name) {
  ITypeLib* tl = nullptr;
  GUID out = GUID_NULL;
  if (FAILED(LoadTypeLibEx(path.c_str(), REGKIND_NONE, &tl))) return out;
  for (UINT i = 0; i < tl->GetTypeInfoCount(); ++i) {
    BSTR n = nullptr;
    if (FAILED(tl->GetDocumentation(static_cast<INT>(i), &n, nullptr, nullptr, nullptr))) continue;
    const bool match = n && std::wstring(n) == name;
    SysFreeString(n);
    ITypeInfo* ti = nullptr;
    if (match && SUCCEEDED(tl->GetTypeInfo(i, &ti))) {
      TYPEATTR* attr = nullptr;
      if (SUCCEEDED(ti->GetTypeAttr(&attr))) {
        out = attr->guid;
        ti->ReleaseTypeAttr(attr);
      }
      ti->Release();
    }
  }
  tl->Release();
  return out;
}

// Everything a reader reads of one element; returns 1.
int readElement(IAccessible* a, VARIANT id) {
  VARIANT v;
  VariantInit(&v);
  a->get_accRole(id, &v);
  VariantClear(&v);
  a->get_accState(id, &v);
  VariantClear(&v);
  BSTR b = nullptr;
  for (auto get :
       {&IAccessible::get_accName, &IAccessible::get_accValue, &IAccessible::get_accDescription,
        &IAccessible::get_accDefaultAction, &IAccessible::get_accKeyboardShortcut}) {
    b = nullptr;
    if ((a->*get)(id, &b) == S_OK) SysFreeString(b);
  }
  return 1;
}

// One full walk of the form's child windows; the number of elements read.
int walk(HWND form) {
  std::vector<HWND> windows;
  EnumChildWindows(form, &collectWindow, reinterpret_cast<LPARAM>(&windows));
  int read = 0;
  for (HWND h : windows) {
    ComPtr<IAccessible> a;
    if (AccessibleObjectFromWindow(h, static_cast<DWORD>(OBJID_CLIENT), __uuidof(IAccessible),
                                   a.putVoid()) != S_OK)
      continue;
    VARIANT self;
    self.vt = VT_I4;
    self.lVal = CHILDID_SELF;
    read += readElement(a.get(), self);
    LONG count = 0;
    if (a->get_accChildCount(&count) != S_OK || count <= 0) continue;
    std::vector<VARIANT> kids(static_cast<std::size_t>(count));
    LONG got = 0;
    if (FAILED(AccessibleChildren(a.get(), 0, count, kids.data(), &got))) continue;
    for (LONG i = 0; i < got; ++i) {
      VARIANT& k = kids[static_cast<std::size_t>(i)];
      if (k.vt == VT_I4) {
        read += readElement(a.get(), k);
      } else if (k.vt == VT_DISPATCH && k.pdispVal) {
        ComPtr<IAccessible> c;
        k.pdispVal->QueryInterface(__uuidof(IAccessible), c.putVoid());
        if (c) read += readElement(c.get(), self);
      }
      VariantClear(&k);
    }
  }
  return read;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 6) {
    std::fprintf(stderr,
                 "usage: accessibility_bench <nxwidgets.ocx> <nxpress.ocx> <nxslider.ocx> "
                 "<nxcurrency.ocx> <nxtaxid.ocx>\n");
    return 2;
  }
  OleInitialize(nullptr);
  INITCOMMONCONTROLSEX icc{sizeof(icc), ICC_PROGRESS_CLASS | ICC_STANDARD_CLASSES};
  InitCommonControlsEx(&icc);
  std::vector<std::wstring> paths;
  for (int i = 1; i < 6; ++i) {
    const std::string p(argv[i]);
    paths.emplace_back(p.begin(), p.end());
  }
  std::vector<std::unique_ptr<Library>> libs;
  for (const std::wstring& p : paths) {
    libs.push_back(std::make_unique<Library>(p.c_str()));
    if (!libs.back()->loaded()) {
      std::fprintf(stderr, "accessibility_bench: cannot load %ls\n", p.c_str());
      return 1;
    }
  }
  int failures = 0;
  {
    Form form(L"nx gallery", 620, 300);
    struct Item {
      int lib;
      const wchar_t* cls;
      const wchar_t* name;
      RECT at;
    };
    const Item items[] = {{0, L"NxCheckBox", L"Agree", rectAt(10, 10, 190, 20)},
                          {0, L"NxHyperLink", L"Terms", rectAt(10, 40, 190, 20)},
                          {0, L"NxProgressBar", L"Upload", rectAt(10, 70, 190, 20)},
                          {0, L"NxMeter", L"Level", rectAt(10, 100, 190, 20)},
                          {0, L"NxGradFrame", L"Details", rectAt(220, 10, 380, 120)},
                          {1, L"NxButton", L"Save", rectAt(10, 150, 100, 30)},
                          {2, L"NxTracker", L"Load", rectAt(220, 150, 200, 100)},
                          {3, L"NxEuroBox", L"Total", rectAt(10, 200, 190, 20)},
                          {4, L"NxVATNumber", L"VatId", rectAt(10, 240, 190, 20)}};
    for (const Item& it : items) {
      Placement p;
      p.name = it.name;
      p.position = it.at;
      const HRESULT hr =
          form.add(*libs[static_cast<std::size_t>(it.lib)], guidOf(paths[it.lib], it.cls), p);
      if (FAILED(hr)) {
        std::fprintf(stderr, "accessibility_bench: cannot place %ls (hr 0x%08lx)\n", it.cls,
                     static_cast<unsigned long>(hr));
        return 1;
      }
    }
    // The platform's own controls of the same kinds.
    WindowHandle platform(CreateWindowExW(0, L"STATIC", L"platform",
                                          WS_OVERLAPPEDWINDOW | WS_VISIBLE, 640, 0, 620, 300,
                                          nullptr, nullptr, nullptr, nullptr));
    const struct {
      const wchar_t* cls;
      const wchar_t* text;
      DWORD style;
      RECT at;
    } natives[] = {{L"BUTTON", L"Agree", BS_AUTOCHECKBOX, rectAt(10, 10, 190, 20)},
                   {L"STATIC", L"Terms", SS_NOTIFY, rectAt(10, 40, 190, 20)},
                   {PROGRESS_CLASSW, L"", 0, rectAt(10, 70, 190, 20)},
                   {PROGRESS_CLASSW, L"", 0, rectAt(10, 100, 190, 20)},
                   {L"BUTTON", L"Details", BS_GROUPBOX, rectAt(220, 10, 380, 120)},
                   {L"BUTTON", L"Save", BS_PUSHBUTTON, rectAt(10, 150, 100, 30)},
                   {L"STATIC", L"Load", 0, rectAt(220, 150, 200, 100)},
                   {L"EDIT", L"0,00", WS_BORDER, rectAt(10, 200, 190, 20)},
                   {L"EDIT", L"", WS_BORDER, rectAt(10, 240, 190, 20)}};
    for (const auto& n : natives) {
      const RECT& r = n.at;
      if (!CreateWindowExW(0, n.cls, n.text, WS_CHILD | WS_VISIBLE | n.style, r.left, r.top,
                           r.right - r.left, r.bottom - r.top, platform.get(), nullptr, nullptr,
                           nullptr)) {
        std::fprintf(stderr, "accessibility_bench: cannot create a platform %ls\n", n.cls);
        return 1;
      }
    }
    UpdateWindow(form.hwnd());
    UpdateWindow(platform.get());
    pump();

    HHOOK hook = SetWindowsHookExW(WH_GETMESSAGE, &countPaints, nullptr, GetCurrentThreadId());
    paints = 0;
    int ours = 0, theirs = 0;
    const nx::bench::Timings t = alternatingMedians(
        [&] {
          ours = walk(form.hwnd());
          pump();
        },
        [&] {
          theirs = walk(platform.get());
          pump();
        },
        1);
    UnhookWindowsHookEx(hook);
    // The platform's controls may repaint themselves; ours must not: count the form's.
    int formPaints = paints;
    paints = 0;
    hook = SetWindowsHookExW(WH_GETMESSAGE, &countPaints, nullptr, GetCurrentThreadId());
    for (int i = 0; i < 10; ++i) {
      walk(form.hwnd());
      pump();
    }
    UnhookWindowsHookEx(hook);
    formPaints = paints;

    std::printf(
        "one full accessibility walk of the gallery form (9 controls, %d elements): "
        "%.0f us; the platform's 9 controls (%d elements): %.0f us (%.2fx)\n",
        ours, t.first, theirs, t.second, t.ratio());
    std::printf("paints while walking our form 10 times: %d\n", formPaints);
    if (ours < 9 + 3) {
      std::fprintf(stderr, "accessibility_bench: the walk read only %d elements\n", ours);
      ++failures;
    }
    if (formPaints != 0) {
      std::fprintf(stderr, "accessibility_bench: walking caused %d paints\n", formPaints);
      ++failures;
    }
  }
  OleUninitialize();
  return failures ? 1 : 0;
}
