#include "platform/win32/com/registration.h"

#include <oleauto.h>

#include "platform/win32/com/com_ptr.h"
#include "platform/win32/com/reg_key.h"

namespace nx::win32 {

namespace {


std::wstring progId(const LibraryEntry& library, const ClassEntry& entry) {
  return std::wstring(library.name) + L"." + entry.className;
}

}  // namespace

std::wstring guidString(const GUID& guid) {
  return guidText(guid);
}

std::vector<RegistryEntry> registryEntries(const LibraryEntry& library,
                                           const std::wstring& modulePath) {
  std::vector<RegistryEntry> entries;
  const std::wstring version =
      std::to_wstring(library.major) + L"." + std::to_wstring(library.minor);
  for (const ClassEntry& c : library.classes) {
    const std::wstring clsidKey = L"CLSID\\" + guidString(*c.clsid);
    const std::wstring prog = progId(library, c);
    entries.push_back({clsidKey, L"", c.description});
    entries.push_back({clsidKey + L"\\InprocServer32", L"", modulePath});
    entries.push_back({clsidKey + L"\\InprocServer32", L"ThreadingModel", L"Apartment"});
    entries.push_back({clsidKey + L"\\ProgID", L"", prog});
    entries.push_back({clsidKey + L"\\VersionIndependentProgID", L"", prog});
    entries.push_back({clsidKey + L"\\TypeLib", L"", guidString(*library.libid)});
    entries.push_back({clsidKey + L"\\Version", L"", version});
    entries.push_back({clsidKey + L"\\Control", L"", L"", false});
    entries.push_back({clsidKey + L"\\ToolboxBitmap32", L"",
                       modulePath + L", " + std::to_wstring(c.toolboxBitmapId)});
    entries.push_back({clsidKey + L"\\MiscStatus", L"", L"0"});
    entries.push_back({clsidKey + L"\\MiscStatus\\1", L"", std::to_wstring(c.miscStatus)});
    entries.push_back({prog, L"", c.description});
    entries.push_back({prog + L"\\CLSID", L"", guidString(*c.clsid)});
  }
  return entries;
}

std::vector<std::wstring> ownedKeys(const LibraryEntry& library) {
  std::vector<std::wstring> keys;
  for (const ClassEntry& c : library.classes) {
    keys.push_back(L"CLSID\\" + guidString(*c.clsid));
    keys.push_back(progId(library, c));
  }
  return keys;
}

HRESULT registerLibrary(const LibraryEntry& library, const std::wstring& modulePath) {
  for (const RegistryEntry& e : registryEntries(library, modulePath)) {
    RegKey key;
    LONG rc = RegCreateKeyExW(HKEY_CLASSES_ROOT, e.key.c_str(), 0, nullptr, 0, KEY_WRITE, nullptr,
                              key.put(), nullptr);
    if (rc != ERROR_SUCCESS) return HRESULT_FROM_WIN32(rc);
    if (!e.hasValue) continue;
    rc = RegSetValueExW(key.get(), e.name.empty() ? nullptr : e.name.c_str(), 0, REG_SZ,
                        reinterpret_cast<const BYTE*>(e.value.c_str()),
                        static_cast<DWORD>((e.value.size() + 1) * sizeof(wchar_t)));
    if (rc != ERROR_SUCCESS) return HRESULT_FROM_WIN32(rc);
  }
  ComPtr<ITypeLib> typeLib;
  const HRESULT hr = LoadTypeLibEx(modulePath.c_str(), REGKIND_REGISTER, typeLib.put());
  return FAILED(hr) ? hr : S_OK;
}

HRESULT unregisterLibrary(const LibraryEntry& library, const std::wstring& /*modulePath*/) {
  HRESULT result = S_OK;
  for (const std::wstring& key : ownedKeys(library)) {
    const LONG rc = RegDeleteTreeW(HKEY_CLASSES_ROOT, key.c_str());
    if (rc == ERROR_SUCCESS) RegDeleteKeyW(HKEY_CLASSES_ROOT, key.c_str());
    if (rc != ERROR_SUCCESS && rc != ERROR_FILE_NOT_FOUND) result = HRESULT_FROM_WIN32(rc);
  }
  const SYSKIND kind = sizeof(void*) == 8 ? SYS_WIN64 : SYS_WIN32;
  const HRESULT hr = UnRegisterTypeLib(*library.libid, library.major, library.minor, 0, kind);
  if (FAILED(hr) && hr != TYPE_E_REGISTRYACCESS && hr != TYPE_E_CANTLOADLIBRARY) result = hr;
  return result;
}

}  // namespace nx::win32
