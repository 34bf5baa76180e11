// Registry entries of a control library, computed from its class table, so that
// unregistration removes exactly what registration wrote.
#pragma once

#include <windows.h>

#include <string>
#include <vector>

#include "platform/win32/com/module.h"

namespace nx::win32 {

// One value under HKEY_CLASSES_ROOT: `key` relative to it, `name` empty for the default value.
// A key with no value to set has hasValue false (it is only created).
struct RegistryEntry {
  std::wstring key;
  std::wstring name;
  std::wstring value;
  bool hasValue = true;
};

std::wstring guidString(const GUID& guid);

// Every key and value the library writes for its classes (the type library's own keys are
// written by the system's type library registration).
std::vector<RegistryEntry> registryEntries(const LibraryEntry& library,
                                           const std::wstring& modulePath);

// The top-level keys that registration creates and unregistration deletes with everything
// below them.
std::vector<std::wstring> ownedKeys(const LibraryEntry& library);

HRESULT registerLibrary(const LibraryEntry& library, const std::wstring& modulePath);
HRESULT unregisterLibrary(const LibraryEntry& library, const std::wstring& modulePath);

}  // namespace nx::win32
