// nxwidgets' registered type library against the tables of its classes, and the checker
// against deliberately wrong tables (it must see each kind of difference).
#include <windows.h>

#include <gtest/gtest.h>

#include <string>

#include "tests/support/probe_control.h"
#include "typelib_check.h"
#include "widgets/widget_classes.h"

namespace nx {
namespace {

std::wstring widen(const char* s) {
  return std::wstring(s, s + std::char_traits<char>::length(s));
}

std::string joined(const std::vector<std::string>& lines) {
  std::string out;
  for (const std::string& l : lines) out += l + "\n";
  return out;
}

class NxWidgetsTypeLib : public ::testing::Test {
 protected:
  static void SetUpTestSuite() {
    CoInitialize(nullptr);
    lib_ = test::registerAndLoad(widen(NX_OCX_PATH).c_str());
  }
  static void TearDownTestSuite() {
    if (lib_.module) {
      using Entry = HRESULT(STDAPICALLTYPE*)();
      auto unreg = reinterpret_cast<Entry>(
          reinterpret_cast<void*>(GetProcAddress(lib_.module, "DllUnregisterServer")));
      if (unreg) unreg();
    }
    lib_.release();
    CoUninitialize();
  }
  static test::RegisteredLibrary lib_;
};
test::RegisteredLibrary NxWidgetsTypeLib::lib_;

TEST_F(NxWidgetsTypeLib, EveryClassMatchesItsTable) {
  ASSERT_NE(lib_.typeLib, nullptr) << lib_.error;
  std::vector<std::string> diffs =
      test::compareHelpString(lib_.typeLib, "nx-Dev ActiveX Control Library 1.0");
  for (const ClassInfo* cls : nxwidgetsClasses()) {
    const auto more = test::compareClass(lib_.typeLib, *cls);
    diffs.insert(diffs.end(), more.begin(), more.end());
  }
  EXPECT_TRUE(diffs.empty()) << joined(diffs);
}

TEST(ProbeTypeLib, MatchesItsTable) {
  CoInitialize(nullptr);
  test::RegisteredLibrary lib = test::registerAndLoad(widen(NX_PROBE_PATH).c_str());
  ASSERT_NE(lib.typeLib, nullptr) << lib.error;
  std::vector<std::string> diffs = test::compareHelpString(lib.typeLib, "nx framework probe");
  const auto more = test::compareClass(lib.typeLib, test::NxProbe::classTable().info());
  diffs.insert(diffs.end(), more.begin(), more.end());
  EXPECT_TRUE(diffs.empty()) << joined(diffs);
  using Entry = HRESULT(STDAPICALLTYPE*)();
  if (auto unreg = reinterpret_cast<Entry>(
          reinterpret_cast<void*>(GetProcAddress(lib.module, "DllUnregisterServer"))))
    unreg();
  lib.release();
  CoUninitialize();
}

TEST_F(NxWidgetsTypeLib, TheCheckerSeesEveryKindOfDifference) {
  ASSERT_NE(lib_.typeLib, nullptr) << lib_.error;
  const ClassInfo& real = *nxwidgetsClasses().front();
  const auto differs = [&](auto change) {
    ClassInfo wrong = real;
    change(wrong);
    return !test::compareClass(lib_.typeLib, wrong).empty();
  };
  EXPECT_TRUE(differs([](ClassInfo& c) { c.members[1].name = "theme"; }));  // letter case
  EXPECT_TRUE(differs([](ClassInfo& c) { std::swap(c.members[1], c.members[2]); }));
  EXPECT_TRUE(differs([](ClassInfo& c) { c.members[3].dispid = 99; }));
  EXPECT_TRUE(differs([](ClassInfo& c) { c.members[3].type = types::Long; }));
  EXPECT_TRUE(differs([](ClassInfo& c) { c.members[5].type = types::Long; }));  // not OLE_COLOR
  EXPECT_TRUE(differs([](ClassInfo& c) { c.members[3].hidden = true; }));
  EXPECT_TRUE(differs([](ClassInfo& c) { c.members[0].readOnly = false; }));
  EXPECT_TRUE(differs([](ClassInfo& c) { c.members.pop_back(); }));
  EXPECT_TRUE(differs([](ClassInfo& c) {
    MemberInfo extra;
    extra.kind = MemberInfo::Kind::Method;
    extra.name = "Extra";
    c.members.push_back(extra);
  }));
  EXPECT_TRUE(differs([](ClassInfo& c) { std::swap(c.events[0], c.events[1]); }));
  EXPECT_TRUE(differs([](ClassInfo& c) { c.events[0].params.push_back({"x", types::Long}); }));
  EXPECT_TRUE(differs([](ClassInfo& c) { c.enums[0].members[1].second = 7; }));
  EXPECT_TRUE(differs([](ClassInfo& c) { c.enums[0].members.pop_back(); }));
  EXPECT_TRUE(differs([](ClassInfo& c) { c.defaultProperty = "Min"; }));
  EXPECT_TRUE(differs([](ClassInfo& c) { c.name = "NxNoSuchClass"; }));
  EXPECT_FALSE(test::compareHelpString(lib_.typeLib, "something else").empty());
}

}  // namespace
}  // namespace nx
