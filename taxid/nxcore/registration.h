// What nxcore.dll writes to the registry, so that unregistration removes exactly that.
#pragma once

#include <windows.h>

#include <string>
#include <vector>

namespace nx::nxcore {

inline constexpr wchar_t kProgId[] = L"nxcore.VatEngine";
inline constexpr wchar_t kVersionedProgId[] = L"nxcore.VatEngine.1";

// One value under HKEY_CLASSES_ROOT; `name` empty for the key's default value, hasValue false
// for a key that is only created.
struct RegistryValue {
  std::wstring key;
  std::wstring name;
  std::wstring value;
  bool hasValue = true;
};

// Path of the loaded nxcore.dll.
std::wstring modulePath();

// The class's keys and values (the type library's own keys are written by the system's type
// library registration).
std::vector<RegistryValue> registryValues(const std::wstring& modulePath);

// The top-level keys registration creates; unregistration deletes them with all below them.
std::vector<std::wstring> ownedKeys();

HRESULT registerServer();
HRESULT unregisterServer();

}  // namespace nx::nxcore
