/* A self-registering test library: DllRegisterServer writes the value NX_DLL_NAME = "registered"
   under HKCU\Software\nxinstall_engine_test (after sleeping NX_SLEEP_MS), DllUnregisterServer
   deletes it. With NX_FAIL both report failure and change nothing. */
#include <windows.h>

#ifndef NX_DLL_NAME
#error NX_DLL_NAME must name the value
#endif
#ifndef NX_SLEEP_MS
#define NX_SLEEP_MS 0
#endif
#ifndef NX_FAIL
#define NX_FAIL 0
#endif

#define NX_TEST_KEY "Software\\nxinstall_engine_test"

__declspec(dllexport) HRESULT __stdcall DllRegisterServer(void) {
  HKEY key = NULL;
  LONG rc;
  static const char data[] = "registered";
  if (NX_SLEEP_MS > 0) Sleep(NX_SLEEP_MS);
  if (NX_FAIL) return E_FAIL;
  if (RegCreateKeyExA(HKEY_CURRENT_USER, NX_TEST_KEY, 0, NULL, 0, KEY_SET_VALUE, NULL, &key,
                      NULL) != ERROR_SUCCESS) {
    return E_FAIL;
  }
  rc = RegSetValueExA(key, NX_DLL_NAME, 0, REG_SZ, (const BYTE*)data, sizeof data);
  RegCloseKey(key);
  return rc == ERROR_SUCCESS ? S_OK : E_FAIL;
}

__declspec(dllexport) HRESULT __stdcall DllUnregisterServer(void) {
  HKEY key = NULL;
  if (NX_FAIL) return E_FAIL;
  if (RegOpenKeyExA(HKEY_CURRENT_USER, NX_TEST_KEY, 0, KEY_SET_VALUE, &key) != ERROR_SUCCESS) {
    return S_OK;
  }
  RegDeleteValueA(key, NX_DLL_NAME);
  RegCloseKey(key);
  return S_OK;
}
