// What a client of controls needs besides a form: a control library loaded by its path, late
// bound calls by name, event connections, initialisation and in-place activation.
#pragma once

#include <windows.h>

#include <ocidl.h>
#include <olectl.h>

#include <span>
#include <string>

#include "platform/win32/com/com_ptr.h"
#include "platform/win32/com/variant.h"

namespace nx::formhost {

using win32::ComPtr;
using win32::Variant;

// A control library loaded from its file; objects come from its own class factory, so the
// library needs no registration. The module is freed with this object when the library says
// that it can be unloaded; otherwise it stays loaded for the rest of the process.
class Library {
 public:
  explicit Library(const char* path);
  explicit Library(const wchar_t* path);
  ~Library();
  Library(const Library&) = delete;
  Library& operator=(const Library&) = delete;

  // Whether the file loaded and exports DllGetClassObject.
  bool loaded() const { return getClassObject_ != nullptr; }
  HMODULE module() const { return module_; }
  HRESULT classObject(REFCLSID clsid, REFIID iid, void** out) const;
  // A new object of the class, queried for iid.
  HRESULT create(REFCLSID clsid, REFIID iid, void** out) const;
  template <class T>
  ComPtr<T> create(REFCLSID clsid, REFIID iid) const {
    ComPtr<T> out;
    create(clsid, iid, out.putVoid());
    return out;
  }
  // DllCanUnloadNow of the library; E_FAIL when it has none or did not load.
  HRESULT canUnloadNow() const;

 private:
  void bind();
  using GetClassObjectFn = HRESULT(STDAPICALLTYPE*)(REFCLSID, REFIID, void**);
  using CanUnloadFn = HRESULT(STDAPICALLTYPE*)();
  HMODULE module_ = nullptr;
  GetClassObjectFn getClassObject_ = nullptr;
  CanUnloadFn canUnload_ = nullptr;
};

// Late-bound calls on an automation object by name. Arguments are given in declaration order;
// a by-reference argument is a VARIANT made by `byRef`, which the callee may change.
class Dispatch {
 public:
  Dispatch() = default;
  explicit Dispatch(IUnknown* object);
  explicit operator bool() const { return static_cast<bool>(disp_); }
  IDispatch* raw() const { return disp_.get(); }

  // The member's DISPID, or DISPID_UNKNOWN.
  DISPID id(const wchar_t* name) const;
  HRESULT invoke(DISPID id, WORD flags, std::span<VARIANT> args, VARIANT* result,
                 EXCEPINFO* excep = nullptr) const;

  HRESULT get(const wchar_t* name, VARIANT& result, std::span<VARIANT> args = {}) const;
  // The property's value; VT_EMPTY when the get fails.
  VARIANT get(const wchar_t* name) const;
  // The property as a 32-bit number; `fallback` when it cannot be read or converted.
  long getLong(const wchar_t* name, long fallback = -99999) const;
  std::wstring getText(const wchar_t* name) const;
  HRESULT put(const wchar_t* name, VARIANT value, EXCEPINFO* excep = nullptr) const;
  HRESULT put(const wchar_t* name, long value) const;
  HRESULT call(const wchar_t* name, std::span<VARIANT> args, VARIANT* result = nullptr,
               EXCEPINFO* excep = nullptr) const;

 private:
  ComPtr<IDispatch> disp_;
};

// Argument and value helpers; the caller owns what they return.
VARIANT boolVariant(bool b);
VARIANT longVariant(long value);
VARIANT textVariant(const wchar_t* text);
// A by-reference argument that lets the callee change `target`.
VARIANT byRef(VARIANT& target);

// Connects `sink` to the object's connection point for iid.
HRESULT advise(IUnknown* object, REFIID iid, IUnknown* sink, DWORD* cookie);
HRESULT unadvise(IUnknown* object, REFIID iid, DWORD cookie);

// Initialises a new object: IPersistStreamInit::InitNew, else IPersistPropertyBag::InitNew.
// S_FALSE when the object has neither (it needs no initialisation).
HRESULT initNew(IUnknown* object);

// Activates the object in place on `parent` at `position` (pixels) through `site`; the control's
// window, or null when that failed.
HWND activateInPlace(IOleObject* object, IOleClientSite* site, HWND parent, const RECT& position);

// Twips and pixels on the screen.
double twipsPerPixelX();
double twipsPerPixelY();

}  // namespace nx::formhost
