// nxpress' registered type library against the table of its class.
#include <windows.h>

#include <gtest/gtest.h>

#include <string>

#include "press/press_classes.h"
#include "typelib_check.h"

namespace nx {
namespace {

std::wstring widen(const char* s) {
  return std::wstring(s, s + std::char_traits<char>::length(s));
}

TEST(NxPressTypeLib, TheButtonMatchesItsTable) {
  CoInitialize(nullptr);
  test::RegisteredLibrary lib = test::registerAndLoad(widen(NX_PRESS_PATH).c_str());
  ASSERT_NE(lib.typeLib, nullptr) << lib.error;
  std::vector<std::string> diffs = test::compareHelpString(lib.typeLib, "nx-Dev Button Control");
  for (const ClassInfo* cls : nxpressClasses()) {
    const auto more = test::compareClass(lib.typeLib, *cls);
    diffs.insert(diffs.end(), more.begin(), more.end());
  }
  std::string text;
  for (const std::string& d : diffs) text += d + "\n";
  EXPECT_TRUE(diffs.empty()) << text;
  using Entry = HRESULT(STDAPICALLTYPE*)();
  if (auto unreg = reinterpret_cast<Entry>(
          reinterpret_cast<void*>(GetProcAddress(lib.module, "DllUnregisterServer"))))
    unreg();
  lib.release();
  CoUninitialize();
}

}  // namespace
}  // namespace nx
