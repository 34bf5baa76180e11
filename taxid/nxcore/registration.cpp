#include "registration.h"

#include <oleauto.h>

#include "nxcore_h.h"
#include "platform/win32/com/com_ptr.h"
#include "platform/win32/com/reg_key.h"
#include "vat_engine.h"

namespace nx::nxcore {

namespace {

using win32::guidText;
using win32::RegKey;



constexpr wchar_t kDescription[] = L"nx core VAT engine";
constexpr WORD kMajor = 1;
constexpr WORD kMinor = 0;

HRESULT writeValues(const std::wstring& path) {
  for (const RegistryValue& e : registryValues(path)) {
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
  return S_OK;
}

}  // namespace

std::wstring modulePath() {
  std::wstring path(MAX_PATH, L'\0');
  for (;;) {
    const DWORD n =
        GetModuleFileNameW(moduleInstance(), path.data(), static_cast<DWORD>(path.size()));
    if (n == 0) return {};
    if (n < path.size()) {
      path.resize(n);
      return path;
    }
    path.resize(path.size() * 2);
  }
}

std::vector<RegistryValue> registryValues(const std::wstring& path) {
  const std::wstring clsid = L"CLSID\\" + guidText(CLSID_VatEngine);
  const std::wstring clsidText = guidText(CLSID_VatEngine);
  return {
      {clsid, L"", kDescription},
      {clsid + L"\\InprocServer32", L"", path},
      // Stateless objects over a stateless engine: callable from any apartment without a proxy.
      {clsid + L"\\InprocServer32", L"ThreadingModel", L"Both"},
      {clsid + L"\\ProgID", L"", kVersionedProgId},
      {clsid + L"\\VersionIndependentProgID", L"", kProgId},
      {clsid + L"\\TypeLib", L"", guidText(LIBID_nxcore)},
      {clsid + L"\\Version", L"", std::to_wstring(kMajor) + L"." + std::to_wstring(kMinor)},
      {clsid + L"\\Programmable", L"", L"", false},
      {kProgId, L"", kDescription},
      {std::wstring(kProgId) + L"\\CLSID", L"", clsidText},
      {std::wstring(kProgId) + L"\\CurVer", L"", kVersionedProgId},
      {kVersionedProgId, L"", kDescription},
      {std::wstring(kVersionedProgId) + L"\\CLSID", L"", clsidText},
  };
}

std::vector<std::wstring> ownedKeys() {
  return {L"CLSID\\" + guidText(CLSID_VatEngine), kProgId, kVersionedProgId};
}

HRESULT registerServer() {
  const std::wstring path = modulePath();
  if (path.empty()) return HRESULT_FROM_WIN32(GetLastError());
  HRESULT hr = writeValues(path);
  if (SUCCEEDED(hr)) {
    std::wstring directory = path.substr(0, path.find_last_of(L"\\/") + 1);
    win32::ComPtr<ITypeLib> library;
    hr = LoadTypeLibEx(path.c_str(), REGKIND_NONE, library.put());
    if (SUCCEEDED(hr))
      hr = RegisterTypeLib(library.get(), const_cast<wchar_t*>(path.c_str()), directory.data());
  }
  if (FAILED(hr)) unregisterServer();
  return FAILED(hr) ? hr : S_OK;
}

HRESULT unregisterServer() {
  HRESULT result = S_OK;
  for (const std::wstring& key : ownedKeys()) {
    const LONG rc = RegDeleteTreeW(HKEY_CLASSES_ROOT, key.c_str());
    if (rc == ERROR_SUCCESS) RegDeleteKeyW(HKEY_CLASSES_ROOT, key.c_str());
    if (rc != ERROR_SUCCESS && rc != ERROR_FILE_NOT_FOUND) result = HRESULT_FROM_WIN32(rc);
  }
  const SYSKIND kind = sizeof(void*) == 8 ? SYS_WIN64 : SYS_WIN32;
  const HRESULT hr = UnRegisterTypeLib(LIBID_nxcore, kMajor, kMinor, 0, kind);
  if (FAILED(hr) && hr != TYPE_E_REGISTRYACCESS && hr != TYPE_E_CANTLOADLIBRARY) result = hr;
  return result;
}

}  // namespace nx::nxcore
