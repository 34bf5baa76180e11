// nxcore.VatEngine loaded straight from nxcore.dll (no registration): the array calls with
// arrays as spreadsheets and other clients pass them, their errors, references written back,
// memory over many calls, and the members its type library describes.
#include <windows.h>
// GUIDs of the generated header are defined in this file.
#include <initguid.h>

#include <gtest/gtest.h>
#include <psapi.h>

#include <chrono>
#include <set>
#include <string>
#include <vector>

#include "nxcore_h.h"
#include "platform/win32/com/com_ptr.h"

using nx::win32::ComPtr;

namespace {

// A VARIANT cleared at the end of its scope.
struct Var {
  VARIANT v;
  Var() { VariantInit(&v); }
  ~Var() { VariantClear(&v); }
  Var(const Var&) = delete;
  Var& operator=(const Var&) = delete;
};

// The argument a client leaves out.
VARIANT missing() {
  VARIANT v;
  VariantInit(&v);
  V_VT(&v) = VT_ERROR;
  V_ERROR(&v) = DISP_E_PARAMNOTFOUND;
  return v;
}

VARIANT text(const wchar_t* s) {
  VARIANT v;
  VariantInit(&v);
  V_VT(&v) = VT_BSTR;
  V_BSTR(&v) = SysAllocString(s);
  return v;
}

class Engine : public ::testing::Test {
 protected:
  void SetUp() override {
    CoInitialize(nullptr);
    module_ = LoadLibraryA(NX_CORE_PATH);
    ASSERT_NE(module_, nullptr) << NX_CORE_PATH;
    using GetClassObject = HRESULT(STDAPICALLTYPE*)(REFCLSID, REFIID, void**);
    auto get = reinterpret_cast<GetClassObject>(
        reinterpret_cast<void*>(GetProcAddress(module_, "DllGetClassObject")));
    ASSERT_NE(get, nullptr);
    ComPtr<IClassFactory> factory;
    ASSERT_EQ(get(CLSID_VatEngine, IID_IClassFactory, factory.putVoid()), S_OK);
    ASSERT_EQ(factory->CreateInstance(nullptr, IID_IVatEngine, engine_.putVoid()), S_OK);
  }
  void TearDown() override {
    engine_.reset();
    if (module_) {
      using CanUnload = HRESULT(STDAPICALLTYPE*)();
      auto canUnload = reinterpret_cast<CanUnload>(
          reinterpret_cast<void*>(GetProcAddress(module_, "DllCanUnloadNow")));
      EXPECT_EQ(canUnload(), S_OK) << "objects left alive";
      FreeLibrary(module_);
    }
    CoUninitialize();
  }

  // The description of the calling thread's error object.
  static std::wstring lastError() {
    ComPtr<IErrorInfo> info;
    if (GetErrorInfo(0, info.put()) != S_OK || !info) return L"";
    BSTR description = nullptr;
    info->GetDescription(&description);
    std::wstring s = description ? description : L"";
    SysFreeString(description);
    return s;
  }

  // checkArray through the vtable with `numbers` as given.
  HRESULT checkArray(VARIANT numbers, VARIANT country, Var& result) {
    return engine_->checkArray(numbers, country, &result.v);
  }

  HMODULE module_ = nullptr;
  ComPtr<IVatEngine> engine_;
};

// A 2-D array of BSTR with bounds (1 to rows, lower2 to lower2 + cols - 1).
SAFEARRAY* bstrGrid(const std::vector<std::vector<const wchar_t*>>& rows, LONG lower2) {
  SAFEARRAYBOUND bounds[2] = {{static_cast<ULONG>(rows.size()), 1},
                              {static_cast<ULONG>(rows[0].size()), lower2}};
  SAFEARRAY* a = SafeArrayCreate(VT_BSTR, 2, bounds);
  for (LONG r = 0; r < static_cast<LONG>(rows.size()); ++r) {
    for (LONG c = 0; c < static_cast<LONG>(rows[0].size()); ++c) {
      LONG at[2] = {1 + r, lower2 + c};
      BSTR b = rows[r][c] ? SysAllocString(rows[r][c]) : nullptr;
      SafeArrayPutElement(a, at, b);
      SysFreeString(b);
    }
  }
  return a;
}

bool verdictAt(SAFEARRAY* a, LONG i, LONG j) {
  LONG at[2] = {i, j};
  VARIANT v;
  VariantInit(&v);
  EXPECT_EQ(SafeArrayGetElement(a, at, &v), S_OK);
  EXPECT_EQ(V_VT(&v), VT_BOOL) << i << "," << j;
  const bool b = V_BOOL(&v) == VARIANT_TRUE;
  VariantClear(&v);
  return b;
}

TEST_F(Engine, CheckArrayOfBstrKeepsShapeAndBounds) {
  Var numbers;
  V_VT(&numbers.v) = VT_ARRAY | VT_BSTR;
  V_ARRAY(&numbers.v) = bstrGrid({{L"PT501964843", L"PT501964844"},
                                  {L"de136587438", nullptr},
                                  {L"  ATU13585627", L"ESX1234567"}},
                                 -5);
  Var result;
  ASSERT_EQ(checkArray(numbers.v, missing(), result), S_OK) << lastError();
  ASSERT_EQ(V_VT(&result.v), VT_ARRAY | VT_VARIANT);
  SAFEARRAY* r = V_ARRAY(&result.v);
  ASSERT_EQ(SafeArrayGetDim(r), 2u);
  LONG lo = 0, hi = 0;
  SafeArrayGetLBound(r, 1, &lo);
  SafeArrayGetUBound(r, 1, &hi);
  EXPECT_EQ(lo, 1);
  EXPECT_EQ(hi, 3);
  SafeArrayGetLBound(r, 2, &lo);
  SafeArrayGetUBound(r, 2, &hi);
  EXPECT_EQ(lo, -5);
  EXPECT_EQ(hi, -4);
  EXPECT_TRUE(verdictAt(r, 1, -5));
  EXPECT_FALSE(verdictAt(r, 1, -4));
  EXPECT_TRUE(verdictAt(r, 2, -5));
  EXPECT_FALSE(verdictAt(r, 2, -4)) << "a null BSTR is an empty cell";
  EXPECT_TRUE(verdictAt(r, 3, -5));
  EXPECT_FALSE(verdictAt(r, 3, -4));

  // The same numbers for one country: checked as given, so only national numbers pass.
  Var pt;
  Var code;
  code.v = text(L"pt");
  ASSERT_EQ(checkArray(numbers.v, code.v, pt), S_OK);
  EXPECT_FALSE(verdictAt(V_ARRAY(&pt.v), 1, -5));
}

TEST_F(Engine, CheckArrayTakesReferencesAndMixedCells) {
  // As a spreadsheet passes a range's values: a referenced 1-based array of VARIANT holding
  // texts, numbers, empty cells, error values and references to variants.
  SAFEARRAYBOUND bound = {6, 1};
  SAFEARRAY* a = SafeArrayCreate(VT_VARIANT, 1, &bound);
  auto* cells = static_cast<VARIANT*>(nullptr);
  ASSERT_EQ(SafeArrayAccessData(a, reinterpret_cast<void**>(&cells)), S_OK);
  cells[0] = text(L"501964843");
  V_VT(&cells[1]) = VT_R8;
  V_R8(&cells[1]) = 501964843.0;
  V_VT(&cells[2]) = VT_ERROR;
  V_ERROR(&cells[2]) = static_cast<SCODE>(0x800A07FA);  // #N/A
  VARIANT referenced = text(L"501964844");
  V_VT(&cells[4]) = VT_BYREF | VT_VARIANT;
  V_VARIANTREF(&cells[4]) = &referenced;
  cells[5] = text(L"501964843 ");
  SafeArrayUnaccessData(a);

  VARIANT byRef;
  VariantInit(&byRef);
  V_VT(&byRef) = VT_BYREF | VT_ARRAY | VT_VARIANT;
  V_ARRAYREF(&byRef) = &a;
  VARIANT country;
  VariantInit(&country);
  V_VT(&country) = VT_I4;
  V_I4(&country) = 22;
  Var result;
  ASSERT_EQ(checkArray(byRef, country, result), S_OK) << lastError();
  SAFEARRAY* r = V_ARRAY(&result.v);
  const bool expected[] = {true, true, false, false, false, false};
  for (LONG i = 0; i < 6; ++i) {
    LONG at = i + 1;
    Var cell;
    ASSERT_EQ(SafeArrayGetElement(r, &at, &cell.v), S_OK);
    ASSERT_EQ(V_VT(&cell.v), VT_BOOL);
    EXPECT_EQ(V_BOOL(&cell.v) == VARIANT_TRUE, expected[i]) << "cell " << at;
  }
  V_VT(&cells[4]) = VT_EMPTY;  // the reference points at a local
  VariantClear(&referenced);
  SafeArrayDestroy(a);
}

TEST_F(Engine, ArrayCallsRejectWhatTheyCannotRead) {
  Var result;
  // Not an array.
  VARIANT number;
  VariantInit(&number);
  V_VT(&number) = VT_I4;
  V_I4(&number) = 5;
  EXPECT_EQ(checkArray(number, missing(), result), DISP_E_TYPEMISMATCH);
  EXPECT_NE(lastError().find(L"1- or 2-dimensional array"), std::wstring::npos) << lastError();
  EXPECT_EQ(V_VT(&result.v), VT_EMPTY);

  // Three dimensions.
  SAFEARRAYBOUND cube[3] = {{2, 0}, {2, 0}, {2, 0}};
  Var three;
  V_VT(&three.v) = VT_ARRAY | VT_VARIANT;
  V_ARRAY(&three.v) = SafeArrayCreate(VT_VARIANT, 3, cube);
  EXPECT_EQ(checkArray(three.v, missing(), result), E_INVALIDARG);
  EXPECT_NE(lastError().find(L"3 dimensions"), std::wstring::npos) << lastError();

  // An array of another element type.
  SAFEARRAYBOUND row = {3, 0};
  Var longs;
  V_VT(&longs.v) = VT_ARRAY | VT_I4;
  V_ARRAY(&longs.v) = SafeArrayCreate(VT_I4, 1, &row);
  EXPECT_EQ(checkArray(longs.v, missing(), result), DISP_E_TYPEMISMATCH);

  // An object among the cells, named by its subscripts.
  SAFEARRAYBOUND grid[2] = {{2, 1}, {2, 1}};
  Var cells;
  V_VT(&cells.v) = VT_ARRAY | VT_VARIANT;
  V_ARRAY(&cells.v) = SafeArrayCreate(VT_VARIANT, 2, grid);
  LONG at[2] = {2, 1};
  VARIANT object;
  VariantInit(&object);
  V_VT(&object) = VT_UNKNOWN;
  V_UNKNOWN(&object) = engine_.get();
  ASSERT_EQ(SafeArrayPutElement(V_ARRAY(&cells.v), at, &object), S_OK);
  EXPECT_EQ(checkArray(cells.v, missing(), result), DISP_E_TYPEMISMATCH);
  EXPECT_NE(lastError().find(L"numbers(2, 1): Unknown"), std::wstring::npos) << lastError();
  EXPECT_EQ(V_VT(&result.v), VT_EMPTY);

  // An unknown country, and a country of no usable kind.
  Var ok;
  V_VT(&ok.v) = VT_ARRAY | VT_BSTR;
  V_ARRAY(&ok.v) = bstrGrid({{L"x"}}, 0);
  Var code;
  code.v = text(L"ZZ");
  EXPECT_EQ(checkArray(ok.v, code.v, result), E_INVALIDARG);
  EXPECT_NE(lastError().find(L"'ZZ'"), std::wstring::npos);
  EXPECT_EQ(checkArray(ok.v, object, result), DISP_E_TYPEMISMATCH);

  ComPtr<ISupportErrorInfo> support = engine_.as<ISupportErrorInfo>(IID_ISupportErrorInfo);
  ASSERT_TRUE(support);
  EXPECT_EQ(support->InterfaceSupportsErrorInfo(IID_IVatEngine), S_OK);
}

TEST_F(Engine, ErrorsReachDispatchClientsAsExceptions) {
  DISPID id = 0;
  LPOLESTR name = const_cast<LPOLESTR>(L"CHECKARRAY");
  ASSERT_EQ(engine_->GetIDsOfNames(IID_NULL, &name, 1, 0, &id), S_OK);
  SAFEARRAYBOUND cube[3] = {{1, 0}, {1, 0}, {1, 0}};
  Var three;
  V_VT(&three.v) = VT_ARRAY | VT_VARIANT;
  V_ARRAY(&three.v) = SafeArrayCreate(VT_VARIANT, 3, cube);
  DISPPARAMS params = {&three.v, nullptr, 1, 0};
  EXCEPINFO exception = {};
  Var result;
  const HRESULT hr =
      engine_->Invoke(id, IID_NULL, 0, DISPATCH_METHOD, &params, &result.v, &exception, nullptr);
  EXPECT_EQ(hr, DISP_E_EXCEPTION);
  EXPECT_EQ(exception.scode, E_INVALIDARG);
  ASSERT_NE(exception.bstrDescription, nullptr);
  EXPECT_NE(std::wstring(exception.bstrDescription).find(L"3 dimensions"), std::wstring::npos);
  SysFreeString(exception.bstrDescription);
  SysFreeString(exception.bstrSource);
  SysFreeString(exception.bstrHelpFile);
}

TEST_F(Engine, SplitCountryPrefixWritesThroughTypedReferences) {
  // As late-bound macro code passes a String and an Integer variable.
  BSTR number = SysAllocString(L"  pt\u00e0bc12345 ");
  SHORT index = 99;
  Var args[3];
  V_VT(&args[0].v) = VT_BOOL;  // strip (arguments run right to left)
  V_BOOL(&args[0].v) = VARIANT_TRUE;
  V_VT(&args[1].v) = VT_BYREF | VT_I2;
  V_I2REF(&args[1].v) = &index;
  V_VT(&args[2].v) = VT_BYREF | VT_BSTR;
  V_BSTRREF(&args[2].v) = &number;
  DISPID id = 0;
  LPOLESTR name = const_cast<LPOLESTR>(L"splitCountryPrefix");
  ASSERT_EQ(engine_->GetIDsOfNames(IID_NULL, &name, 1, 0, &id), S_OK);
  VARIANTARG raw[3] = {args[0].v, args[1].v, args[2].v};
  DISPPARAMS params = {raw, nullptr, 3, 0};
  EXPECT_EQ(engine_->Invoke(id, IID_NULL, 0, DISPATCH_METHOD, &params, nullptr, nullptr, nullptr),
            S_OK);
  EXPECT_EQ(std::wstring(number), L"\u00c0BC12345") << "trimmed, upper-cased, prefix stripped";
  EXPECT_EQ(index, 22);
  SysFreeString(number);
  for (Var& a : args) VariantInit(&a.v);  // the references point at locals

  // Plain variants through the vtable, with a character outside the basic plane kept whole.
  Var text2;
  text2.v = text(L"xx\U0001F600-1234567");
  Var where;
  EXPECT_EQ(engine_->splitCountryPrefix(&text2.v, &where.v, VARIANT_TRUE), S_OK);
  EXPECT_EQ(std::wstring(V_BSTR(&text2.v)), L"XX\U0001F600-1234567");
  EXPECT_EQ(V_VT(&where.v), VT_I4);
  EXPECT_EQ(V_I4(&where.v), -1);

  // A typed reference that cannot take an index leaves both arguments as they were.
  BSTR date = nullptr;
  Var wrongIndex;
  V_VT(&wrongIndex.v) = VT_BYREF | VT_BSTR;
  V_BSTRREF(&wrongIndex.v) = &date;
  Var kept;
  kept.v = text(L"pt501964843");
  EXPECT_EQ(engine_->splitCountryPrefix(&kept.v, &wrongIndex.v, VARIANT_TRUE), DISP_E_TYPEMISMATCH);
  EXPECT_EQ(std::wstring(V_BSTR(&kept.v)), L"pt501964843");
  VariantInit(&wrongIndex.v);
}

TEST_F(Engine, PortugueseNamesAreUtf16) {
  BSTR name = nullptr;
  ASSERT_EQ(engine_->countryName(0, 1, &name), S_OK);
  EXPECT_EQ(std::wstring(name), L"\u00c1ustria");
  SysFreeString(name);
  ASSERT_EQ(engine_->countryName(11, 1, &name), S_OK);
  EXPECT_EQ(std::wstring(name), L"Fran\u00e7a");
  SysFreeString(name);
  ASSERT_EQ(engine_->countryName(11, 0, &name), S_OK);
  EXPECT_EQ(std::wstring(name), L"France");
  SysFreeString(name);
}

// The process's private memory.
SIZE_T privateBytes() {
  PROCESS_MEMORY_COUNTERS_EX counters = {};
  counters.cb = sizeof counters;
  GetProcessMemoryInfo(GetCurrentProcess(), reinterpret_cast<PROCESS_MEMORY_COUNTERS*>(&counters),
                       sizeof counters);
  return counters.PrivateUsage;
}

TEST_F(Engine, ManyCallsDoNotGrowMemoryAndTenThousandNumbersAreFast) {
  constexpr ULONG kCount = 10000;
  SAFEARRAYBOUND bound = {kCount, 1};
  Var numbers;
  V_VT(&numbers.v) = VT_ARRAY | VT_VARIANT;
  V_ARRAY(&numbers.v) = SafeArrayCreate(VT_VARIANT, 1, &bound);
  VARIANT* cells = nullptr;
  ASSERT_EQ(SafeArrayAccessData(V_ARRAY(&numbers.v), reinterpret_cast<void**>(&cells)), S_OK);
  for (ULONG i = 0; i < kCount; ++i) cells[i] = text(i % 2 ? L"PT501964843" : L"DE136587439");
  SafeArrayUnaccessData(V_ARRAY(&numbers.v));

  const auto start = std::chrono::steady_clock::now();
  {
    Var result;
    ASSERT_EQ(checkArray(numbers.v, missing(), result), S_OK);
    LONG at = 2;
    Var cell;
    SafeArrayGetElement(V_ARRAY(&result.v), &at, &cell.v);
    EXPECT_EQ(V_BOOL(&cell.v), VARIANT_TRUE);
  }
  const auto took = std::chrono::steady_clock::now() - start;
  EXPECT_LT(took, std::chrono::seconds(1)) << "10000 numbers in one call";

  // Warm up the allocators, then 1000 calls (a thousand numbers each, errors among them).
  SAFEARRAYBOUND small = {1000, 0};
  Var some;
  V_VT(&some.v) = VT_ARRAY | VT_VARIANT;
  V_ARRAY(&some.v) = SafeArrayCreate(VT_VARIANT, 1, &small);
  ASSERT_EQ(SafeArrayAccessData(V_ARRAY(&some.v), reinterpret_cast<void**>(&cells)), S_OK);
  for (ULONG i = 0; i < 1000; ++i) cells[i] = text(L"ATU13585627");
  SafeArrayUnaccessData(V_ARRAY(&some.v));
  Var code;
  code.v = text(L"nowhere");
  auto round = [&] {
    Var result;
    EXPECT_EQ(checkArray(some.v, missing(), result), S_OK);
    Var failed;
    EXPECT_EQ(checkArray(some.v, code.v, failed), E_INVALIDARG);
    Var completed;
    EXPECT_EQ(engine_->completeArray(some.v, missing(), &completed.v), S_OK);
  };
  for (int i = 0; i < 50; ++i) round();
  const SIZE_T before = privateBytes();
  for (int i = 0; i < 1000; ++i) round();
  const SIZE_T after = privateBytes();
  EXPECT_LT(after, before + 2 * 1024 * 1024) << "grew from " << before << " to " << after;
}

TEST_F(Engine, TypeLibraryDescribesEveryMember) {
  ComPtr<ITypeInfo> info;
  ASSERT_EQ(engine_->GetTypeInfo(0, 0, info.put()), S_OK);
  TYPEATTR* attr = nullptr;
  ASSERT_EQ(info->GetTypeAttr(&attr), S_OK);
  EXPECT_TRUE(attr->wTypeFlags & TYPEFLAG_FDUAL);
  EXPECT_EQ(attr->guid, IID_IVatEngine);
  std::set<std::wstring> names;
  for (UINT i = 0; i < attr->cFuncs; ++i) {
    FUNCDESC* func = nullptr;
    ASSERT_EQ(info->GetFuncDesc(i, &func), S_OK);
    BSTR name = nullptr, doc = nullptr;
    info->GetDocumentation(func->memid, &name, &doc, nullptr, nullptr);
    // The dispatch view lists IDispatch's own methods too; the engine's have ids 1 and up.
    if (func->memid >= 1 && func->memid < 100) {
      names.insert(name);
      EXPECT_TRUE(doc && SysStringLen(doc) > 10) << "no help string on " << func->memid;
    }
    SysFreeString(name);
    SysFreeString(doc);
    info->ReleaseFuncDesc(func);
  }
  info->ReleaseTypeAttr(attr);
  const std::set<std::wstring> expected = {L"checkNumber", L"completeNumber", L"countryCode",
                                           L"countryName", L"countryIndex",   L"splitCountryPrefix",
                                           L"checkArray",  L"completeArray",  L"countryCount"};
  EXPECT_EQ(names, expected);

  ComPtr<ITypeLib> library;
  UINT index = 0;
  ASSERT_EQ(info->GetContainingTypeLib(library.put(), &index), S_OK);
  BSTR help = nullptr;
  library->GetDocumentation(-1, nullptr, &help, nullptr, nullptr);
  EXPECT_EQ(std::wstring(help ? help : L""), L"nx core VAT engine");
  SysFreeString(help);
}

}  // namespace
