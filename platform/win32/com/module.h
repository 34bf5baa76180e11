// The in-process server's module state: its instance handle, the count of live objects and
// server locks that DllCanUnloadNow answers from, and the library's class table.
#pragma once

#include <windows.h>

#include <span>

namespace nx::win32 {

// Creates an object of one class and queries it for iid.
using CreateFunction = HRESULT (*)(REFIID iid, void** out);

struct ClassEntry {
  const CLSID* clsid;
  const wchar_t* className;    // "NxProgressBar"
  const wchar_t* description;  // shown by hosts in their control lists
  int toolboxBitmapId;         // resource id of the 16x15 toolbox picture
  DWORD miscStatus;            // OLEMISC_* flags
  CreateFunction create;
};

struct LibraryEntry {
  const GUID* libid;
  const wchar_t* name;  // "nxwidgets": ProgIDs are "<name>.<class>"
  WORD major;
  WORD minor;
  std::span<const ClassEntry> classes;
};

class Module {
 public:
  static void setInstance(HINSTANCE instance) { instance_ = instance; }
  static HINSTANCE instance() { return instance_; }

  static void setLibrary(const LibraryEntry* library) { library_ = library; }
  static const LibraryEntry& library() { return *library_; }

  static void objectCreated() { InterlockedIncrement(&objects_); }
  static void objectDestroyed() { InterlockedDecrement(&objects_); }
  static void lock(bool on) { on ? InterlockedIncrement(&locks_) : InterlockedDecrement(&locks_); }
  static LONG liveObjects() { return objects_; }
  static bool canUnload() { return objects_ == 0 && locks_ == 0; }

 private:
  static inline HINSTANCE instance_ = nullptr;
  static inline const LibraryEntry* library_ = nullptr;
  static inline LONG objects_ = 0;
  static inline LONG locks_ = 0;
};

// Keeps the module's object count for the lifetime of a COM object.
class ModuleObject {
 public:
  ModuleObject() { Module::objectCreated(); }
  ~ModuleObject() { Module::objectDestroyed(); }
  ModuleObject(const ModuleObject&) = delete;
  ModuleObject& operator=(const ModuleObject&) = delete;
};

// The class table of the library being built: each library defines it once; the shared entry
// points (library_exports.cpp) hand it to the module.
const LibraryEntry& nxLibrary();

// The four entry points of a self-registering library, for the library's exports to call.
HRESULT moduleGetClassObject(REFCLSID clsid, REFIID iid, void** out);
HRESULT moduleCanUnloadNow();
HRESULT moduleRegister();
HRESULT moduleUnregister();

}  // namespace nx::win32
