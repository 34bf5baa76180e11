// The registered type library of each library with one class table per class (nxpress,
// nxslider, nxcurrency, nxtaxid) against those tables.
#include <windows.h>

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "press/press_classes.h"
#include "typelib_check.h"
#ifdef NX_SLIDER_PATH
#include "slider/slider_classes.h"
#endif
#ifdef NX_CURRENCY_PATH
#include "currency/currency_classes.h"
#endif
#ifdef NX_TAXID_PATH
#include "taxid/taxid_classes.h"
#endif

namespace nx {
namespace {

std::wstring widen(const char* s) {
  return std::wstring(s, s + std::char_traits<char>::length(s));
}

// Registers the library, compares its type library with the tables and unregisters it.
void expectLibraryMatches(const char* path, const char* helpString,
                          const std::vector<const ClassInfo*>& classes) {
  CoInitialize(nullptr);
  test::RegisteredLibrary lib = test::registerAndLoad(widen(path).c_str());
  ASSERT_NE(lib.typeLib, nullptr) << lib.error;
  std::vector<std::string> diffs = test::compareHelpString(lib.typeLib, helpString);
  for (const ClassInfo* cls : classes) {
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

TEST(LibraryTypeLib, NxPressMatchesItsTable) {
  expectLibraryMatches(NX_PRESS_PATH, "nx-Dev Button Control", nxpressClasses());
}

#ifdef NX_SLIDER_PATH
TEST(LibraryTypeLib, NxSliderMatchesItsTable) {
  expectLibraryMatches(NX_SLIDER_PATH, "nx-Dev Tracker Control", nxsliderClasses());
}
#endif

#ifdef NX_CURRENCY_PATH
TEST(LibraryTypeLib, NxCurrencyMatchesItsTable) {
  expectLibraryMatches(NX_CURRENCY_PATH, "nx-Dev EuroBox Control", nxcurrencyClasses());
}
#endif

#ifdef NX_TAXID_PATH
TEST(LibraryTypeLib, NxTaxidMatchesItsTable) {
  expectLibraryMatches(NX_TAXID_PATH, "nx-Dev VATNumber Control", nxtaxidClasses());
}
#endif

}  // namespace
}  // namespace nx
